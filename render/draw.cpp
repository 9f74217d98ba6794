#include "render/draw.h"

#include <algorithm>
#include <cmath>

#include "base/console.h"
#include "render/frames.h"
#include "render/image.h"
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

// Enemies close in on the hero and stop on one spot, so a pile of them would
// be one figure. Each enemy is drawn at least this far (screen units, 24
// pixels: the broadest head and a little air) beyond the one in front of it
// on its side of the hero; the rules keep their own places.
constexpr float kPileStep = 0.06f;

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
bool drawTrimmed(const Drawing& drawing, const Element& e, GLuint texture) {
  const std::vector<VisibleRows>* levels = visibleRowsOf(drawing, texture);
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

// Where an enemy is drawn: its own place, or pushed out from the hero to
// stand a pile step behind the one in front of it.
struct SeenPlace {
  float shift = 0.0f;  // added to its quad's x when drawn (stage and screen units run alike across)
  size_t pile = 0;     // roster index of its pile's front enemy
  float depth = 0.0f;  // how far out from the hero it is drawn
};

bool falling(const Character& enemy) { return enemy.dying || enemy.dead; }

std::vector<SeenPlace> seenPlaces(const std::vector<Character>& list, float heroX) {
  std::vector<SeenPlace> places(list.size());
  for (size_t i = 0; i < list.size(); ++i) places[i].pile = i;
  for (const bool right : {true, false}) {
    // Outward from the hero, nearest first; at one spot, in roster order.
    std::vector<size_t> side;
    std::vector<float> outward(list.size(), 0.0f);
    for (size_t i = 0; i < list.size(); ++i) {
      const float x = list[i].getPosition().getX();
      if (!std::isfinite(x) || (x >= heroX) != right) continue;
      outward[i] = right ? x - heroX : heroX - x;
      side.push_back(i);
    }
    std::stable_sort(side.begin(), side.end(), [&](size_t a, size_t b) { return outward[a] < outward[b]; });
    // The piles: each enemy whose own place a pile step behind the last would
    // cover joins the pile in front of it.
    std::vector<std::vector<size_t>> piles;
    float lastSeen = -INFINITY;
    for (size_t i : side) {
      if (!(outward[i] < lastSeen + kPileStep)) piles.emplace_back();
      piles.back().push_back(i);
      lastSeen = std::fmax(outward[i], lastSeen + kPileStep);
    }
    // Within a pile the fighters stand nearest the hero and the dying behind
    // them: the ones he fights are drawn where they fight him.
    lastSeen = -INFINITY;
    for (std::vector<size_t>& pile : piles) {
      std::stable_partition(pile.begin(), pile.end(), [&](size_t i) { return !falling(list[i]); });
      for (size_t i : pile) {
        places[i].depth = std::fmax(outward[i], lastSeen + kPileStep);
        places[i].pile = pile.front();
        lastSeen = places[i].depth;
      }
      for (size_t i : pile) {
        const float shift = places[i].depth - outward[i];
        places[i].shift = right ? shift : -shift;
      }
    }
  }
  return places;
}

}  // namespace

void drawSprite(const Drawing& drawing, const Element& e) {
  const Quad& sprites = drawing.sprites;
  if (sprites.vao == 0) {
    consoleLine("fallo nulo");
    // Drawing with vertex array 0 would read indices from address 0.
    return;
  }
  if (outOfSight(e)) return;
  glBindVertexArray(sprites.vao);
  glBindBuffer(GL_ARRAY_BUFFER, sprites.positionVbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof(e.vertices), e.vertices, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
  glEnableVertexAttribArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, sprites.texCoordVbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof(e.texCoords), e.texCoords, GL_STATIC_DRAW);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
  glEnableVertexAttribArray(2);
  const GLuint texture = textureOf(drawing, e.shown);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (drawing.trimSprites && drawTrimmed(drawing, e, texture)) return;
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}

float hitFlash(const Character& fighter, ClockTicks now) {
  if (!fighter.struck) return 0.0f;
  const double elapsed = elapsedMs(now, fighter.struckAt);
  for (const FlashStep& step : kHitFlash) {
    if (!(elapsed > step.until)) return step.whiteness;
  }
  return 0.0f;
}

void drawFighter(const Drawing& drawing, const Character& fighter, ClockTicks now) {
  const float flash = hitFlash(fighter, now);
  if (flash == 0.0f) {
    drawSprite(drawing, fighter);
    return;
  }
  setSpriteFlash(drawing, flash);
  drawSprite(drawing, fighter);
  setSpriteFlash(drawing, 0.0f);
}

void drawAll(const Drawing& drawing, const std::vector<Character>& list, float heroX, ClockTicks now) {
  const std::vector<SeenPlace> places = seenPlaces(list, heroX);
  // Roster order, but a pile takes its turn at its first enemy in the roster
  // and is drawn back to front, so the one nearest the hero covers the rest.
  std::vector<size_t> firstOfPile(list.size());
  for (size_t i = list.size(); i-- > 0;) firstOfPile[places[i].pile] = i;
  std::vector<size_t> order(list.size());
  for (size_t i = 0; i < list.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const size_t turnA = firstOfPile[places[a].pile], turnB = firstOfPile[places[b].pile];
    return turnA != turnB ? turnA < turnB : places[a].depth > places[b].depth;
  });
  for (size_t i : order) {
    if (places[i].shift == 0.0f) {
      drawFighter(drawing, list[i], now);
      continue;
    }
    Character seen = list[i];  // the rules' quad stays as it is
    seen.shiftVertices(false, places[i].shift);
    drawFighter(drawing, seen, now);
  }
}
