#include "art/text.h"

#include <stb_truetype.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace art {

struct Font::Info {
  stbtt_fontinfo font;
};

bool Font::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "font not found: %s (install the fonts-dejavu-core package)\n", path.c_str());
    return false;
  }
  data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  info_ = std::make_shared<Info>();
  if (data_.empty() || !stbtt_InitFont(&info_->font, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0))) {
    std::fprintf(stderr, "cannot read font %s\n", path.c_str());
    info_.reset();
    return false;
  }
  return true;
}

static std::vector<int> decodeUtf8(const std::string& text) {
  std::vector<int> out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = text[i];
    int cp = c, extra = 0;
    if (c >= 0xf0) cp = c & 0x07, extra = 3;
    else if (c >= 0xe0) cp = c & 0x0f, extra = 2;
    else if (c >= 0xc0) cp = c & 0x1f, extra = 1;
    ++i;
    for (; extra > 0 && i < text.size(); --extra, ++i) cp = (cp << 6) | (text[i] & 0x3f);
    out.push_back(cp);
  }
  return out;
}

Mask Font::render(const std::string& text, float pixelHeight, float widthScale, float letterSpacing) const {
  Mask mask;
  if (!info_) return mask;
  const stbtt_fontinfo& font = info_->font;
  const float scaleY = stbtt_ScaleForMappingEmToPixels(&font, pixelHeight);
  const float scaleX = scaleY * widthScale;
  int ascent, descent, lineGap;
  stbtt_GetFontVMetrics(&font, &ascent, &descent, &lineGap);
  const std::vector<int> codepoints = decodeUtf8(text);

  // Lay out first to size the mask, then draw each glyph into place.
  constexpr int kPad = 2;
  std::vector<float> pen;
  float x = kPad;
  for (size_t i = 0; i < codepoints.size(); ++i) {
    pen.push_back(x);
    int advance, bearing;
    stbtt_GetCodepointHMetrics(&font, codepoints[i], &advance, &bearing);
    x += advance * scaleX + letterSpacing;
    if (i + 1 < codepoints.size())
      x += stbtt_GetCodepointKernAdvance(&font, codepoints[i], codepoints[i + 1]) * scaleX;
  }
  const float baseline = kPad + ascent * scaleY;
  mask.width = int(std::ceil(x)) + kPad;
  mask.height = int(std::ceil(baseline - descent * scaleY)) + kPad;
  mask.value.assign(size_t(mask.width) * mask.height, 0.0f);

  for (size_t i = 0; i < codepoints.size(); ++i) {
    const float shiftX = pen[i] - std::floor(pen[i]);
    const float shiftY = baseline - std::floor(baseline);
    int x0, y0, x1, y1;
    stbtt_GetCodepointBitmapBoxSubpixel(&font, codepoints[i], scaleX, scaleY, shiftX, shiftY, &x0, &y0, &x1, &y1);
    const int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0) continue;
    std::vector<unsigned char> glyph(size_t(w) * h);
    stbtt_MakeCodepointBitmapSubpixel(&font, glyph.data(), w, h, w, scaleX, scaleY, shiftX, shiftY, codepoints[i]);
    const int ox = int(std::floor(pen[i])) + x0, oy = int(std::floor(baseline)) + y0;
    for (int gy = 0; gy < h; ++gy)
      for (int gx = 0; gx < w; ++gx) {
        const int mx = ox + gx, my = oy + gy;
        if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height) continue;
        float& v = mask.value[size_t(my) * mask.width + mx];
        v = std::min(1.0f, v + glyph[size_t(gy) * w + gx] / 255.0f);
      }
  }
  return mask;
}

Mask dilate(const Mask& mask, float radius) {
  const int r = int(std::ceil(radius)) + 1;
  Mask out;
  out.width = mask.width + 2 * r;
  out.height = mask.height + 2 * r;
  out.value.assign(size_t(out.width) * out.height, 0.0f);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      float best = 0;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          // Soft pen edge so the grown outline stays anti-aliased.
          const float weight = clamp01(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)));
          if (weight > 0) best = std::max(best, weight * mask.at(x - r + dx, y - r + dy));
        }
      out.value[size_t(y) * out.width + x] = best;
    }
  return out;
}

Box inkBounds(const Mask& mask, float threshold) {
  Box b{mask.width, mask.height, 0, 0};
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x)
      if (mask.at(x, y) > threshold) {
        b.x0 = std::min(b.x0, x);
        b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x + 1);
        b.y1 = std::max(b.y1, y + 1);
      }
  if (b.x1 <= b.x0) return {0, 0, 0, 0};
  return b;
}

void drawMask(Canvas& canvas, const Mask& mask, float x, float y, const Paint& paint, float opacity) {
  // Whole-pixel placement keeps the glyph's own anti-aliasing crisp.
  const int ox = int(std::lround(x)), oy = int(std::lround(y));
  for (int j = 0; j < mask.height; ++j)
    for (int i = 0; i < mask.width; ++i) {
      const float v = mask.at(i, j);
      if (v > 0) canvas.blend(ox + i, oy + j, paint({float(ox + i) + 0.5f, float(oy + j) + 0.5f}), v * opacity);
    }
}

void drawTextCentred(Canvas& canvas, const Font& font, const std::string& text, float cx, float cy,
                     const TextStyle& style) {
  const Mask body = font.render(text, style.size, style.widthScale, style.spacing);
  const Box ink = inkBounds(body);
  const float x = std::round(cx - (ink.x0 + ink.x1) * 0.5f);
  const float y = std::round(cy - (ink.y0 + ink.y1) * 0.5f);
  const int grow = int(std::ceil(style.outlineWidth)) + 1;
  const Mask outline = dilate(body, style.outlineWidth);
  if (style.shadow.a > 0)
    drawMask(canvas, outline, x - grow + style.shadowOffset, y - grow + style.shadowOffset, solid(style.shadow));
  drawMask(canvas, outline, x - grow, y - grow, solid(style.outline));
  drawMask(canvas, body, x, y, verticalGradient(y + ink.y0, style.top, y + ink.y1, style.bottom));
}

}  // namespace art
