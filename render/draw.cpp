#include "render/draw.h"

#include "base/console.h"
#include "render/shaders.h"

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
