#include "render/draw.h"

#include <algorithm>
#include <cmath>

#include "base/console.h"
#include "render/image.h"
#include "render/shaders.h"

bool trimSprites = true;

namespace {

// A quad wholly beyond one edge of the viewport would draw no pixel: most of
// a large wave stands far ahead of the hero.
bool outOfSight(const Element& e) {
  bool left = true, right = true, above = true, below = true;
  for (int corner = 0; corner < 4; ++corner) {
    const float x = e.vertices[corner * 3];
    const float y = e.vertices[corner * 3 + 1];
    left = left && x < -1.0f;
    right = right && x > 1.0f;
    above = above && y > 1.0f;
    below = below && y < -1.0f;
  }
  return left || right || above || below;
}

// The flash of a fighter struck by a blow: how far toward white, by ms since the blow.
struct FlashStep {
  double until;
  float whiteness;
};
constexpr FlashStep kHitFlash[] = {{50.0, 0.75f}, {100.0, 0.45f}};

// A trimmed sprite is drawn in bands of window rows, each with its own span
// across: a figure is narrower at the head than at the feet. Every band is
// one more draw, which costs about as much as shading a tenth of a sprite,
// so a sprite of the usual size gets two.
constexpr int kBandRows = 48;
constexpr int kMostBands = 2;

// The deepest mip level a draw of the quad can sample: the level of detail
// is log2 of the texels a pixel spans, and trilinear filtering reads the
// level past it too. A quarter of a level is added for the driver's
// approximation of log2.
size_t deepestLevel(const std::vector<VisibleRows>& levels, float texelsAcross, float pixelsAcross,
                    float texelsDown, float pixelsDown) {
  const size_t last = levels.size() - 1;
  if (!(pixelsAcross >= 1.0f && pixelsDown >= 1.0f)) return last;
  const float rho = std::fmax(texelsAcross / pixelsAcross, texelsDown / pixelsDown);
  const float level = std::floor(std::log2(std::fmax(rho, 0.5f)) + 0.25f) + 1.0f;
  return std::min(last, static_cast<size_t>(std::fmax(level, 1.0f)));
}

// Draws the bound sprite in bands of window rows, each limited by a scissor
// to the pixels where its picture can show, one pixel wider each way. The
// quad and its texture coordinates are left as they are, so every pixel drawn
// is shaded exactly as over the whole quad, the bands share no pixel, and
// every pixel left out would have blended a texel of alpha 0 (no change).
// False, having drawn nothing, when the texture's visible rows are unknown or
// the quad is not an upright rectangle.
bool drawTrimmed(const Element& e) {
  const std::vector<VisibleRows>* levels = visibleRowsOf(e.texture);
  if (levels == nullptr) return false;
  const float* p = e.vertices;   // top right, bottom right, bottom left, top left
  const float* t = e.texCoords;  // the same corners
  const bool upright = p[0] == p[3] && p[6] == p[9] && p[1] == p[10] && p[4] == p[7] && t[0] == t[2] &&
                       t[4] == t[6] && t[1] == t[7] && t[3] == t[5] && p[0] != p[6] && p[1] != p[4] &&
                       t[0] != t[6] && t[1] != t[3];
  if (!upright) return false;
  GLint view[4];
  glGetIntegerv(GL_VIEWPORT, view);
  // Window x of texture coordinate u across, window y of v down, and back.
  const float xLeft = static_cast<float>(view[0]) + (p[6] + 1.0f) * 0.5f * static_cast<float>(view[2]);
  const float xRight = static_cast<float>(view[0]) + (p[0] + 1.0f) * 0.5f * static_cast<float>(view[2]);
  const float yTop = static_cast<float>(view[1]) + (p[1] + 1.0f) * 0.5f * static_cast<float>(view[3]);
  const float yBottom = static_cast<float>(view[1]) + (p[4] + 1.0f) * 0.5f * static_cast<float>(view[3]);
  const float uLeft = t[6], uRight = t[0], vTop = t[1], vBottom = t[3];
  const auto xAt = [&](float u) { return xLeft + (u - uLeft) / (uRight - uLeft) * (xRight - xLeft); };
  const auto vAt = [&](float y) { return vTop + (y - yTop) / (yBottom - yTop) * (vBottom - vTop); };

  const size_t deepest =
      deepestLevel(*levels, std::fabs(uRight - uLeft) * static_cast<float>((*levels)[0].width), std::fabs(xRight - xLeft),
                   std::fabs(vBottom - vTop) * static_cast<float>((*levels)[0].height), std::fabs(yBottom - yTop));
  const int low = static_cast<int>(std::floor(std::fmin(yTop, yBottom))) - 1;
  const int high = static_cast<int>(std::ceil(std::fmax(yTop, yBottom))) + 1;
  const int bands = std::clamp((high - low) / kBandRows, 1, kMostBands);
  glEnable(GL_SCISSOR_TEST);
  for (int band = 0; band < bands; ++band) {
    const int from = low + (high - low) * band / bands;
    const int to = low + (high - low) * (band + 1) / bands;
    const float va = vAt(static_cast<float>(from)), vb = vAt(static_cast<float>(to));
    float u0 = 0.0f, u1 = 0.0f;
    if (!visibleSpan(*levels, deepest, std::fmin(va, vb), std::fmax(va, vb), u0, u1)) continue;
    const float xa = xAt(u0), xb = xAt(u1);
    const int x0 = static_cast<int>(std::floor(std::fmin(xa, xb))) - 1;
    const int x1 = static_cast<int>(std::ceil(std::fmax(xa, xb))) + 1;
    glScissor(x0, from, x1 - x0, to - from);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
  }
  glDisable(GL_SCISSOR_TEST);
  return true;
}

}  // namespace

void drawSprite(Element& e) {
  if (e.vao == 0) {
    consoleLine("fallo nulo");
    // Drawing with vertex array 0 would read indices from address 0.
    return;
  }
  if (outOfSight(e)) return;
  glBindVertexArray(e.vao);
  glBindBuffer(GL_ARRAY_BUFFER, e.vbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof(e.vertices), e.vertices, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
  glEnableVertexAttribArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, e.texVbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof(e.texCoords), e.texCoords, GL_STATIC_DRAW);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
  glEnableVertexAttribArray(2);
  glBindTexture(GL_TEXTURE_2D, e.texture);
  if (trimSprites && drawTrimmed(e)) return;
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}

float hitFlash(const Character& fighter) {
  if (!fighter.struck) return 0.0f;
  const double elapsed = elapsedMs(gameClock(), fighter.struckAt);
  for (const FlashStep& step : kHitFlash) {
    if (!(elapsed > step.until)) return step.whiteness;
  }
  return 0.0f;
}

void drawFighter(Character& fighter) {
  const float flash = hitFlash(fighter);
  if (flash == 0.0f) {
    drawSprite(fighter);
    return;
  }
  setSpriteFlash(flash);
  drawSprite(fighter);
  setSpriteFlash(0.0f);
}

void drawAll(std::vector<Character>& list) {
  for (size_t i = 0; i < list.size(); ++i) drawFighter(list[i]);
}
