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

// Where texture coordinate t falls between two corners' positions a (at ta) and b (at tb).
float along(float a, float ta, float b, float tb, float t) { return a + (t - ta) / (tb - ta) * (b - a); }

// The deepest mip level a draw of the quad can sample, with room to spare:
// the level of detail is log2 of the texels a pixel spans, and trilinear
// filtering reads the level below it too; one more covers the driver's
// approximations.
size_t deepestLevel(const TextureAreas& areas, float xl, float xr, float ul, float ur, float yt, float yb, float vt,
                    float vb) {
  const float pixelsAcross = std::fabs(xr - xl), pixelsDown = std::fabs(yb - yt);
  const float texelsAcross = std::fabs(ur - ul) * static_cast<float>(areas.width);
  const float texelsDown = std::fabs(vb - vt) * static_cast<float>(areas.height);
  const size_t last = areas.byLevel.size() - 1;
  if (!(pixelsAcross >= 1.0f && pixelsDown >= 1.0f)) return last;
  const float rho = std::fmax(texelsAcross / pixelsAcross, texelsDown / pixelsDown);
  const float level = std::floor(std::log2(std::fmax(rho, 0.5f))) + 2.0f;
  return std::min(last, static_cast<size_t>(std::fmax(level, 1.0f)));
}

// Limits drawing to the window pixels where the sprite's texture can show,
// one pixel wider each way. The quad and its texture coordinates are left as
// they are, so every pixel inside is shaded exactly as before, and every pixel
// outside would have blended a texel of alpha 0 (no change). False when the
// texture's visible area is unknown or the quad is not an upright rectangle.
bool scissorToVisible(const Element& e) {
  const TextureAreas* areas = visibleAreasOf(e.texture);
  if (areas == nullptr) return false;
  const float* p = e.vertices;   // top right, bottom right, bottom left, top left
  const float* t = e.texCoords;  // the same corners
  const bool upright = p[0] == p[3] && p[6] == p[9] && p[1] == p[10] && p[4] == p[7] && t[0] == t[2] &&
                       t[4] == t[6] && t[1] == t[7] && t[3] == t[5] && t[0] != t[6] && t[1] != t[3];
  if (!upright) return false;
  GLint view[4];
  glGetIntegerv(GL_VIEWPORT, view);
  const auto windowX = [&](float x) { return static_cast<float>(view[0]) + (x + 1.0f) * 0.5f * static_cast<float>(view[2]); };
  const auto windowY = [&](float y) { return static_cast<float>(view[1]) + (y + 1.0f) * 0.5f * static_cast<float>(view[3]); };
  const float xl = windowX(p[6]), xr = windowX(p[0]), yt = windowY(p[1]), yBottom = windowY(p[4]);
  const VisibleArea* area = &areas->byLevel[deepestLevel(*areas, xl, xr, t[6], t[0], yt, yBottom, t[1], t[3])];
  const float xa = windowX(along(p[6], t[6], p[0], t[0], area->left));
  const float xb = windowX(along(p[6], t[6], p[0], t[0], area->right));
  const float ya = windowY(along(p[1], t[1], p[4], t[3], area->top));
  const float yb = windowY(along(p[1], t[1], p[4], t[3], area->bottom));
  const int x0 = static_cast<int>(std::floor(std::fmin(xa, xb))) - 1;
  const int x1 = static_cast<int>(std::ceil(std::fmax(xa, xb))) + 1;
  const int y0 = static_cast<int>(std::floor(std::fmin(ya, yb))) - 1;
  const int y1 = static_cast<int>(std::ceil(std::fmax(ya, yb))) + 1;
  glEnable(GL_SCISSOR_TEST);
  if (area->empty) {
    glScissor(0, 0, 0, 0);
  } else {
    glScissor(x0, y0, x1 - x0, y1 - y0);
  }
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
  const bool trimmed = trimSprites && scissorToVisible(e);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
  if (trimmed) glDisable(GL_SCISSOR_TEST);
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
