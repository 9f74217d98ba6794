#include "art/canvas.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace art {

Rgba hex(unsigned rgb, float alpha) {
  return {float((rgb >> 16) & 0xff) / 255.0f, float((rgb >> 8) & 0xff) / 255.0f,
          float(rgb & 0xff) / 255.0f, alpha};
}

Rgba mix(Rgba a, Rgba b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

Rgba scaled(Rgba c, float k) {
  return {clamp01(c.r * k), clamp01(c.g * k), clamp01(c.b * k), c.a};
}

Rgba withAlpha(Rgba c, float alpha) { return {c.r, c.g, c.b, alpha}; }

Paint verticalGradient(float y0, Rgba c0, float y1, Rgba c1) {
  return [=](Vec2 p) { return mix(c0, c1, clamp01((p.y - y0) / (y1 - y0))); };
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width),
      height_(height),
      pixels_(size_t(width) * height, Rgba{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a}) {}

void Canvas::blend(int x, int y, Rgba c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const float a = clamp01(c.a * coverage);
  Rgba& d = pixels_[size_t(y) * width_ + x];
  d.r = c.r * a + d.r * (1 - a);
  d.g = c.g * a + d.g * (1 - a);
  d.b = c.b * a + d.b * (1 - a);
  d.a = a + d.a * (1 - a);
}

void Canvas::addLight(int x, int y, Rgba c, float amount) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Rgba& d = pixels_[size_t(y) * width_ + x];
  d.r = std::min(d.a, d.r + c.r * amount * d.a);
  d.g = std::min(d.a, d.g + c.g * amount * d.a);
  d.b = std::min(d.a, d.b + c.b * amount * d.a);
}

Rgba Canvas::pixel(int x, int y) const {
  const Rgba& p = pixels_[size_t(y) * width_ + x];
  if (p.a <= 0) return {0, 0, 0, 0};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::draw(const Canvas& other, int x, int y, float opacity) {
  for (int j = 0; j < other.height(); ++j)
    for (int i = 0; i < other.width(); ++i) {
      const Rgba c = other.pixel(i, j);
      if (c.a > 0) blend(x + i, y + j, c, opacity);
    }
}

static unsigned char toByte(float v) { return (unsigned char)std::lround(clamp01(v) * 255.0f); }

bool Canvas::savePng(const std::string& path, Rgba matte) const {
  std::vector<unsigned char> bytes(size_t(width_) * height_ * 4);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      Rgba c = pixel(x, y);
      if (toByte(c.a) == 0) c = withAlpha(matte, 0);
      unsigned char* out = &bytes[(size_t(y) * width_ + x) * 4];
      out[0] = toByte(c.r);
      out[1] = toByte(c.g);
      out[2] = toByte(c.b);
      out[3] = toByte(c.a);
    }
  if (!stbi_write_png(path.c_str(), width_, height_, 4, bytes.data(), width_ * 4)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

namespace {

unsigned long crc32Of(const unsigned char* data, size_t size, unsigned long crc = 0) {
  static const auto table = [] {
    std::vector<unsigned long> t(256);
    for (unsigned long n = 0; n < 256; ++n) {
      unsigned long c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320UL ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc ^= 0xffffffffUL;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
  return crc ^ 0xffffffffUL;
}

void putBigEndian(std::vector<unsigned char>& out, unsigned long value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>((value >> shift) & 0xff));
}

void putChunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& body) {
  putBigEndian(png, body.size());
  std::vector<unsigned char> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  png.insert(png.end(), typed.begin(), typed.end());
  putBigEndian(png, crc32Of(typed.data(), typed.size()));
}

}  // namespace

bool Canvas::savePngStored(const std::string& path) const {
  std::vector<unsigned char> rows;  // each row: filter 0 (none), then its RGBA bytes
  rows.reserve((size_t(width_) * 4 + 1) * height_);
  for (int y = 0; y < height_; ++y) {
    rows.push_back(0);
    for (int x = 0; x < width_; ++x) {
      const Rgba c = pixel(x, y);
      const unsigned char alpha = toByte(c.a);
      rows.push_back(alpha == 0 ? 0 : toByte(c.r));
      rows.push_back(alpha == 0 ? 0 : toByte(c.g));
      rows.push_back(alpha == 0 ? 0 : toByte(c.b));
      rows.push_back(alpha);
    }
  }
  // zlib stream of stored deflate blocks, at most 65535 bytes each.
  std::vector<unsigned char> zlib = {0x78, 0x01};
  for (size_t at = 0; at < rows.size() || at == 0; at += 65535) {
    const size_t length = std::min<size_t>(65535, rows.size() - at);
    zlib.push_back(at + length >= rows.size() ? 1 : 0);
    zlib.push_back(length & 0xff);
    zlib.push_back(length >> 8);
    zlib.push_back(~length & 0xff);
    zlib.push_back((~length >> 8) & 0xff);
    zlib.insert(zlib.end(), rows.begin() + at, rows.begin() + at + length);
    if (rows.empty()) break;
  }
  unsigned long a = 1, b = 0;
  for (unsigned char byte : rows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian(zlib, (b << 16) | a);

  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<unsigned char> header;
  putBigEndian(header, width_);
  putBigEndian(header, height_);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filters, no interlace
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlib);
  putChunk(png, "IEND", {});
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const bool written = file != nullptr && std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (file != nullptr && std::fclose(file) != 0) return false;
  if (!written) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return written;
}

bool Canvas::savePngRgb(const std::string& path) const {
  std::vector<unsigned char> bytes(size_t(width_) * height_ * 3);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Rgba& p = pixels_[size_t(y) * width_ + x];  // premultiplied over black
      unsigned char* out = &bytes[(size_t(y) * width_ + x) * 3];
      out[0] = toByte(p.r);
      out[1] = toByte(p.g);
      out[2] = toByte(p.b);
    }
  if (!stbi_write_png(path.c_str(), width_, height_, 3, bytes.data(), width_ * 3)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

float circleDistance(Vec2 p, Vec2 centre, float radius) { return length(p - centre) - radius; }

float ellipseDistance(Vec2 p, Vec2 centre, float rx, float ry) {
  // First-order estimate, good enough for anti-aliasing.
  const Vec2 q = p - centre;
  const float k0 = length({q.x / rx, q.y / ry});
  const float k1 = length({q.x / (rx * rx), q.y / (ry * ry)});
  if (k1 <= 0) return -std::min(rx, ry);
  return k0 * (k0 - 1.0f) / k1;
}

float segmentParam(Vec2 p, Vec2 a, Vec2 b) {
  const Vec2 ab = b - a;
  const float len2 = dot(ab, ab);
  return len2 > 0 ? clamp01(dot(p - a, ab) / len2) : 0.0f;
}

float capsuleDistance(Vec2 p, Vec2 a, Vec2 b, float ra, float rb) {
  const float t = segmentParam(p, a, b);
  return length(p - lerp(a, b, t)) - (ra + (rb - ra) * t);
}

float polygonDistance(Vec2 p, const std::vector<Vec2>& poly) {
  float best = 1e30f;
  bool inside = false;
  const size_t n = poly.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const Vec2 a = poly[j], b = poly[i];
    const float t = segmentParam(p, a, b);
    best = std::min(best, length(p - lerp(a, b, t)));
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y))
      inside = !inside;
  }
  return inside ? -best : best;
}

float roundedBoxDistance(Vec2 p, Vec2 c, float hx, float hy, float radius) {
  const float qx = std::fabs(p.x - c.x) - hx + radius, qy = std::fabs(p.y - c.y) - hy + radius;
  return length({std::max(qx, 0.0f), std::max(qy, 0.0f)}) + std::min(std::max(qx, qy), 0.0f) - radius;
}

void fillPolygon(Canvas& canvas, const std::vector<Vec2>& poly, const Paint& paint, float opacity) {
  if (poly.size() < 3) return;
  constexpr int kSubRows = 4;
  float top = 1e30f, bottom = -1e30f;
  for (const Vec2& v : poly) {
    top = std::min(top, v.y);
    bottom = std::max(bottom, v.y);
  }
  const int y0 = std::max(0, int(std::floor(top)));
  const int y1 = std::min(canvas.height(), int(std::ceil(bottom)) + 1);
  const int width = canvas.width();
  std::vector<float> row(size_t(width) + 1);
  std::vector<std::pair<float, int>> crossings;
  for (int y = y0; y < y1; ++y) {
    std::fill(row.begin(), row.end(), 0.0f);
    int minX = width, maxX = -1;
    for (int s = 0; s < kSubRows; ++s) {
      const float sy = y + (s + 0.5f) / kSubRows;
      crossings.clear();
      for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Vec2 a = poly[j], b = poly[i];
        if ((a.y > sy) == (b.y > sy)) continue;
        crossings.push_back({a.x + (b.x - a.x) * (sy - a.y) / (b.y - a.y), b.y > a.y ? 1 : -1});
      }
      std::sort(crossings.begin(), crossings.end());
      int winding = 0;
      for (size_t k = 0; k + 1 < crossings.size(); ++k) {
        winding += crossings[k].second;
        if (winding == 0) continue;
        const float xa = std::max(0.0f, crossings[k].first);
        const float xb = std::min(float(width), crossings[k + 1].first);
        if (xb <= xa) continue;
        const int ia = int(xa), ib = std::min(width - 1, int(xb));
        minX = std::min(minX, ia);
        maxX = std::max(maxX, ib);
        for (int x = ia; x <= ib; ++x) {
          const float overlap = std::min(xb, x + 1.0f) - std::max(xa, float(x));
          if (overlap > 0) row[x] += overlap / kSubRows;
        }
      }
    }
    for (int x = minX; x <= maxX; ++x)
      if (row[x] > 0) canvas.blend(x, y, paint({x + 0.5f, y + 0.5f}), std::min(1.0f, row[x]) * opacity);
  }
}

void fillRect(Canvas& canvas, float x0, float y0, float x1, float y1, const Paint& paint, float opacity) {
  fillPolygon(canvas, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, paint, opacity);
}

void fillCircle(Canvas& canvas, Vec2 c, float r, Rgba colour) {
  fillSdf(canvas, boxAround(c, c, r + 1), [&](Vec2 p) { return circleDistance(p, c, r); },
          [&](Vec2) { return colour; });
}

void fillEllipse(Canvas& canvas, Vec2 c, float rx, float ry, Rgba colour) {
  fillSdf(canvas, boxAround(c, c, std::max(rx, ry) + 1),
          [&](Vec2 p) { return ellipseDistance(p, c, rx, ry); }, [&](Vec2) { return colour; });
}

void fillCapsule(Canvas& canvas, Vec2 a, Vec2 b, float ra, float rb, Rgba colour) {
  const Vec2 lo{std::min(a.x, b.x), std::min(a.y, b.y)}, hi{std::max(a.x, b.x), std::max(a.y, b.y)};
  fillSdf(canvas, boxAround(lo, hi, std::max(ra, rb) + 1),
          [&](Vec2 p) { return capsuleDistance(p, a, b, ra, rb); }, [&](Vec2) { return colour; });
}

void addGlow(Canvas& canvas, Vec2 c, float radius, Rgba colour, float strength) {
  const Box box = boxAround(c, c, radius);
  for (int y = std::max(0, box.y0); y < std::min(canvas.height(), box.y1); ++y)
    for (int x = std::max(0, box.x0); x < std::min(canvas.width(), box.x1); ++x) {
      const float d = length(Vec2{x + 0.5f, y + 0.5f} - c) / radius;
      if (d >= 1) continue;
      const float falloff = (1 - d) * (1 - d);
      canvas.addLight(x, y, colour, strength * falloff);
    }
}

}  // namespace art
