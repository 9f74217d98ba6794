// The stage: a temple street at dusk, one long picture the game scrolls over.
// Painted back to front: sky, sun, mountains, hills with cedars, the street's
// houses with lit paper screens and lanterns, the paved street, and the red
// gate at the end with the shrine stairs behind it.
#include <vector>

#include "art/art.h"

namespace art {
namespace {

constexpr int kStageW = 3200, kStageH = 450;
constexpr float kGroundY = 374;   // where the fighters' feet stand
constexpr float kStreetTop = 336; // the back edge of the street (house fronts)
constexpr float kGateX = 2781;    // the stage ends in this gate's opening
constexpr float kShrineLeft = 2560, kShrineRight = 3010;  // no houses here

void rect(Canvas& c, float x0, float y0, float x1, float y1, Rgba colour) {
  fillRect(c, x0, y0, x1, y1, solid(colour));
}

// A smooth, deterministic skyline from a few sine waves and sharp peaks.
struct Ridge {
  float base, amplitude;
  float phase[4], frequency[4];
  Ridge(float baseY, float amp, float scale, unsigned seed) : base(baseY), amplitude(amp) {
    Random rng(seed);
    for (int i = 0; i < 4; ++i) {
      phase[i] = rng.uniform(0, 2 * kPi);
      frequency[i] = scale * (1 << i) * rng.uniform(0.8f, 1.25f);
    }
  }
  float operator()(float x) const {
    float h = 0, weight = 1;
    for (int i = 0; i < 4; ++i, weight *= 0.45f) {
      const float s = std::sin(x * frequency[i] + phase[i]);
      h += weight * (i == 0 ? s : 1.0f - 2.0f * std::fabs(s));  // ridged detail
    }
    return base - amplitude * h;
  }
};

std::vector<Vec2> ridgePolygon(const Ridge& ridge, float bottom) {
  std::vector<Vec2> pts;
  for (float x = -8; x <= kStageW + 8; x += 4) pts.push_back({x, ridge(x)});
  pts.push_back({kStageW + 8.0f, bottom});
  pts.push_back({-8, bottom});
  return pts;
}

void drawSky(Canvas& c) {
  fillRect(c, 0, 0, kStageW, kStreetTop, [](Vec2 p) {
    const float t = p.y / 290.0f;
    if (t < 0.5f) return mix(hex(0x15123a), hex(0x4e2a62), t / 0.5f);
    if (t < 0.8f) return mix(hex(0x4e2a62), hex(0xb4506a), (t - 0.5f) / 0.3f);
    return mix(hex(0xb4506a), hex(0xf49a5a), clamp01((t - 0.8f) / 0.2f));
  });
  Random rng(11);
  for (int i = 0; i < 160; ++i) {  // first stars, only high up
    const Vec2 p{rng.uniform(0, kStageW), rng.uniform(0, 90)};
    fillCircle(c, p, rng.uniform(0.5f, 1.1f), hex(0xfff4e0, rng.uniform(0.3f, 0.8f) * (1 - p.y / 100)));
  }
  // The setting sun with a wide glow, and long thin clouds lit from below.
  const Vec2 sun{1480, 196};
  addGlow(c, sun, 520, hex(0xff8a50), 0.35f);
  fillCircle(c, sun, 64, hex(0xffc070));
  fillCircle(c, sun, 58, hex(0xffd890));
  for (int i = 0; i < 26; ++i) {
    const float y = rng.uniform(60, 215), x = rng.uniform(-100, kStageW), len = rng.uniform(120, 380);
    const float glow = clamp01((y - 60) / 160);
    const Rgba cloud = mix(hex(0x6a3a78), hex(0xf0a070), glow);
    fillCapsule(c, {x, y}, {x + len, y}, rng.uniform(2, 5), rng.uniform(1, 3), withAlpha(cloud, 0.7f));
    fillCapsule(c, {x + len * 0.2f, y - 3}, {x + len * 0.7f, y - 3}, 3, 2, withAlpha(scaled(cloud, 1.08f), 0.5f));
  }
}

// Mountain range: backlit rim at the top, fading into the haze below.
void drawRange(Canvas& c, const Ridge& ridge, Rgba body, Rgba rim, Rgba haze, float hazeY) {
  fillPolygon(c, ridgePolygon(ridge, kStreetTop), [&](Vec2 p) {
    const float fromTop = p.y - ridge(p.x);
    const Rgba base = mix(body, haze, smoothstep(ridge.base - 20, hazeY, p.y));
    return mix(rim, base, clamp01(fromTop / 3.0f));
  });
}

void drawPagoda(Canvas& c, float cx, float groundY, float scale, Rgba colour) {
  float y = groundY, w = 34 * scale;
  for (int tier = 0; tier < 5; ++tier) {
    const float h = 14 * scale;
    rect(c, cx - w * 0.55f, y - h, cx + w * 0.55f, y, colour);
    const float roofY = y - h, span = w * 0.95f;
    fillPolygon(c, {{cx - span, roofY - 1 * scale}, {cx - span * 0.75f, roofY + 1 * scale}, {cx + span * 0.75f, roofY + 1 * scale},
                    {cx + span, roofY - 1 * scale}, {cx + span * 0.45f, roofY - 6 * scale}, {cx - span * 0.45f, roofY - 6 * scale}},
                solid(colour));
    y = roofY - 5 * scale;
    w *= 0.84f;
  }
  fillCapsule(c, {cx, y}, {cx, y - 22 * scale}, 1.2f * scale, 0.6f * scale, colour);
}

void drawCedar(Canvas& c, float x, float baseY, float height, Rgba colour) {
  const int layers = 5;
  for (int i = 0; i < layers; ++i) {
    const float t = float(i) / layers;
    const float y = baseY - height * t * 0.85f, w = height * 0.26f * (1 - t * 0.8f);
    fillPolygon(c, {{x - w, y}, {x, y - height * 0.32f}, {x + w, y}}, solid(colour));
  }
  rect(c, x - 1.5f, baseY - 6, x + 1.5f, baseY + 4, colour);
}

void drawBackdrop(Canvas& c) {
  drawRange(c, Ridge(190, 58, 0.0022f, 3), hex(0x7a5a8e), hex(0xf0b090), hex(0xc87a82), 300);
  drawPagoda(c, 980, 232, 1.2f, hex(0x6a4a7c));
  drawRange(c, Ridge(236, 26, 0.0035f, 5), hex(0x4a3460), hex(0xd08a80), hex(0x8a5a70), 330);
  drawPagoda(c, 2260, 250, 1.6f, hex(0x3e2c52));
  Ridge hills(286, 14, 0.006f, 9);
  drawRange(c, hills, hex(0x2c2240), hex(0x8a5a6a), hex(0x3c2c48), 340);
  Random rng(21);
  for (float x = 10; x < kStageW; x += rng.uniform(14, 46))
    drawCedar(c, x, hills(x) + 14, rng.uniform(30, 62), hex(0x211a32));
}

// ---- the street's houses ----------------------------------------------------

const Rgba kTimber = hex(0x2e1c16), kPlaster = hex(0x9a7a6e), kRoof = hex(0x2a2a3a);
const Rgba kPaper = hex(0xf4c878), kPaperDim = hex(0xb08050);

void drawLattice(Canvas& c, float x0, float y0, float x1, float y1, bool lit) {
  fillRect(c, x0, y0, x1, y1, verticalGradient(y0, lit ? kPaper : kPaperDim, y1, lit ? hex(0xe8a860) : hex(0x8a6040)));
  for (float x = x0; x <= x1 + 0.1f; x += (x1 - x0) / 4) rect(c, x - 0.8f, y0, x + 0.8f, y1, kTimber);
  for (float y = y0; y <= y1 + 0.1f; y += (y1 - y0) / 5) rect(c, x0, y - 0.8f, x1, y + 0.8f, kTimber);
}

// A tiled roof: eave at eaveY, ridge height above, ends flicking up.
void drawRoof(Canvas& c, float x0, float x1, float eaveY, float height) {
  const float over = 22;
  std::vector<Vec2> roof = {{x0 - over - 6, eaveY - 9}, {x0 - over, eaveY}, {x1 + over, eaveY}, {x1 + over + 6, eaveY - 9},
                            {x1 - 10, eaveY - height}, {x0 + 10, eaveY - height}};
  fillPolygon(c, roof, [&](Vec2 p) {
    const float t = clamp01((eaveY - p.y) / height);
    const float rows = 0.9f + 0.1f * std::cos(p.x * 0.9f);  // tile ridges
    return scaled(mix(hex(0x3e3c52), kRoof, t), rows);
  });
  rect(c, x0 + 6, eaveY - height - 4, x1 - 6, eaveY - height + 2, hex(0x1c1c28));       // ridge cap
  fillCapsule(c, {x0 - over, eaveY}, {x1 + over, eaveY}, 2.2f, 2.2f, hex(0x504c60));   // lit eave edge
  rect(c, x0 - 6, eaveY + 2, x1 + 6, eaveY + 8, hex(0x150e0e));                        // shadow under eave
}

void drawHangingLantern(Canvas& c, Vec2 top, float size) {
  const Vec2 centre = top + Vec2{0, 10 + size};
  rect(c, top.x - 0.6f, top.y, top.x + 0.6f, centre.y - size, hex(0x1a1010));
  addGlow(c, centre, size * 7, hex(0xff9040), 0.45f);
  fillEllipse(c, centre, size * 0.8f, size, hex(0xd8301c));
  fillEllipse(c, centre + Vec2{-size * 0.2f, -size * 0.15f}, size * 0.45f, size * 0.7f, hex(0xff7050));
  for (float k : {-0.5f, 0.0f, 0.5f})
    rect(c, centre.x - size * 0.78f * std::sqrt(1 - k * k), centre.y + k * size - 0.4f,
         centre.x + size * 0.78f * std::sqrt(1 - k * k), centre.y + k * size + 0.4f, hex(0x8a1810));
  rect(c, centre.x - size * 0.45f, centre.y - size - 2, centre.x + size * 0.45f, centre.y - size + 1, hex(0x1a1010));
  rect(c, centre.x - size * 0.45f, centre.y + size - 1, centre.x + size * 0.45f, centre.y + size + 2, hex(0x1a1010));
}

void drawStoneLantern(Canvas& c, float x, float baseY, float scale) {
  const Rgba stone = hex(0x6a6470), dark = hex(0x403a48);
  auto s = [&](float v) { return v * scale; };
  rect(c, x - s(12), baseY - s(6), x + s(12), baseY, dark);
  rect(c, x - s(5), baseY - s(40), x + s(5), baseY - s(6), stone);
  rect(c, x - s(11), baseY - s(46), x + s(11), baseY - s(40), dark);
  addGlow(c, {x, baseY - s(54)}, s(60), hex(0xffa040), 0.5f);
  rect(c, x - s(9), baseY - s(62), x + s(9), baseY - s(46), stone);
  rect(c, x - s(5), baseY - s(59), x + s(5), baseY - s(49), hex(0xffd070));
  fillPolygon(c, {{x - s(18), baseY - s(60)}, {x + s(18), baseY - s(60)}, {x + s(6), baseY - s(72)}, {x - s(6), baseY - s(72)}},
              solid(dark));
  fillCircle(c, {x, baseY - s(75)}, s(4), stone);
}

void drawBanner(Canvas& c, float x, float baseY, Rgba cloth) {
  rect(c, x - 1.5f, baseY - 190, x + 1.5f, baseY, hex(0x2a1a12));
  fillRect(c, x + 1.5f, baseY - 180, x + 26, baseY - 40, [&](Vec2 p) {
    const float wave = 0.92f + 0.08f * std::sin(p.y * 0.08f + p.x * 0.02f);
    return scaled(cloth, wave);
  });
  rect(c, x + 1.5f, baseY - 186, x + 30, baseY - 180, hex(0x2a1a12));
  for (float y = baseY - 165; y < baseY - 55; y += 22) fillCircle(c, {x + 14, y}, 4.5f, hex(0xf4ecd8));
}

struct House {
  float x0, x1;
  bool twoStoreys;
};

void drawHouse(Canvas& c, const House& h, Random& rng) {
  const float wallTop = h.twoStoreys ? 238 : 226;
  if (h.twoStoreys) {  // set-back upper storey with its own roof
    const float ux0 = h.x0 + 30, ux1 = h.x1 - 30;
    fillRect(c, ux0, 170, ux1, wallTop, verticalGradient(170, kPlaster, wallTop, scaled(kPlaster, 0.7f)));
    for (float x = ux0 + 18; x + 36 < ux1; x += 58) drawLattice(c, x, 186, x + 36, 214, rng.next() % 3 != 0);
    drawRoof(c, ux0, ux1, 170, 34);
  }
  fillRect(c, h.x0, wallTop, h.x1, kStreetTop, verticalGradient(wallTop, kPlaster, kStreetTop, scaled(kPlaster, 0.55f)));
  // Bays between posts: lit screens, dark shutters or an open doorway with a curtain.
  const int bays = std::max(2, int((h.x1 - h.x0) / 64));
  const float bay = (h.x1 - h.x0) / bays;
  for (int i = 0; i < bays; ++i) {
    const float bx0 = h.x0 + i * bay + 7, bx1 = bx0 + bay - 14;
    const unsigned kind = rng.next() % 5;
    if (kind == 0) {
      rect(c, bx0, wallTop + 18, bx1, kStreetTop, hex(0x1e1210));
      addGlow(c, {(bx0 + bx1) / 2, kStreetTop - 20}, 40, hex(0xffa050), 0.35f);
      for (float x = bx0; x < bx1 - 2; x += (bx1 - bx0) / 3)
        rect(c, x + 1, wallTop + 18, x + (bx1 - bx0) / 3 - 1, wallTop + 48, hex(0x28306a));
    } else if (kind == 1) {
      fillRect(c, bx0, wallTop + 20, bx1, kStreetTop - 8, verticalGradient(wallTop, hex(0x5a3a2c), kStreetTop, hex(0x3a241c)));
      for (float y = wallTop + 24; y < kStreetTop - 8; y += 6) rect(c, bx0, y, bx1, y + 1, hex(0x2a1810));
    } else {
      drawLattice(c, bx0, wallTop + 24, bx1, kStreetTop - 14, true);
      addGlow(c, {(bx0 + bx1) / 2, (wallTop + kStreetTop) / 2}, 46, hex(0xffb060), 0.25f);
    }
  }
  for (int i = 0; i <= bays; ++i) rect(c, h.x0 + i * bay - 3, wallTop, h.x0 + i * bay + 3, kStreetTop, kTimber);
  rect(c, h.x0, wallTop + 12, h.x1, wallTop + 17, kTimber);
  rect(c, h.x0 - 2, kStreetTop - 6, h.x1 + 2, kStreetTop, hex(0x3a3038));  // stone footing
  drawRoof(c, h.x0, h.x1, wallTop, h.twoStoreys ? 26 : 40);
  for (float x = h.x0 + bay / 2; x < h.x1; x += bay * 2) drawHangingLantern(c, {x, wallTop + 8}, 8);
}

// A plastered wall with a small tiled coping, between houses.
void drawWall(Canvas& c, float x0, float x1) {
  fillRect(c, x0, 290, x1, kStreetTop, verticalGradient(290, hex(0x8a7068), kStreetTop, hex(0x54443e)));
  fillPolygon(c, {{x0 - 4, 292}, {x1 + 4, 292}, {x1, 280}, {x0, 280}}, solid(hex(0x2e2c3c)));
  rect(c, x0, kStreetTop - 8, x1, kStreetTop, hex(0x3a3038));
}

void drawHouses(Canvas& c) {
  Random rng(5);
  std::vector<float> lanterns;
  float x = 60;
  while (x < kStageW) {
    const float width = rng.uniform(240, 400);
    const float gap = rng.uniform(70, 150);
    if (x + width > kShrineLeft && x < kShrineRight) {
      x = kShrineRight + 60;
      continue;
    }
    drawWall(c, x - gap, x);
    drawHouse(c, {x, std::min(x + width, float(kStageW) + 40), rng.next() % 2 == 0}, rng);
    if (x + width + gap / 2 < kShrineLeft || x > kShrineRight) lanterns.push_back(x + width + gap / 2 + 10);
    x += width + gap;
  }
  drawWall(c, kShrineLeft - 140, kShrineLeft);
  for (float lx : lanterns) drawStoneLantern(c, lx, kStreetTop + 2, 0.9f);
}

// ---- the shrine at the end -------------------------------------------------

void drawShrine(Canvas& c) {
  // Wooded hill, stone stairs up through the middle, and the hall on top.
  fillPolygon(c, {{kShrineLeft - 40, kStreetTop}, {kShrineLeft + 60, 250}, {kGateX - 60, 214}, {kGateX + 160, 218},
                  {kShrineRight + 40, 262}, {kShrineRight + 120, kStreetTop}},
              verticalGradient(210, hex(0x2c2236), kStreetTop, hex(0x1c1624)));
  Random rng(33);
  for (float x = kShrineLeft - 20; x < kShrineRight + 100; x += rng.uniform(16, 30))
    if (std::fabs(x - kGateX) > 70) drawCedar(c, x, rng.uniform(250, 300), rng.uniform(46, 80), hex(0x191426));
  const float stairTop = 226;
  for (float y = stairTop; y < kStreetTop; y += 5) {
    const float t = (y - stairTop) / (kStreetTop - stairTop);
    const float half = 26 + 34 * t;
    rect(c, kGateX - half, y, kGateX + half, y + 3.2f, mix(hex(0x6a5c66), hex(0x9a8a88), t));
    rect(c, kGateX - half, y + 3.2f, kGateX + half, y + 5, hex(0x2a2230));
  }
  // The hall.
  const float hx0 = kGateX - 110, hx1 = kGateX + 110, floorY = 226;
  rect(c, hx0, floorY - 56, hx1, floorY, hex(0x6a2a22));
  for (float x = hx0 + 12; x + 34 < hx1; x += 44) drawLattice(c, x, floorY - 46, x + 34, floorY - 6, true);
  addGlow(c, {kGateX, floorY - 30}, 140, hex(0xffa050), 0.35f);
  for (float x = hx0; x <= hx1; x += 44) rect(c, x - 3, floorY - 56, x + 3, floorY, hex(0x8a2018));
  drawRoof(c, hx0, hx1, floorY - 56, 58);
  for (float side : {-1.0f, 1.0f}) drawStoneLantern(c, kGateX + side * 82, kStreetTop + 4, 1.0f);
}

// Cherry trees on the far side of the gate: dark trunk, clouds of blossom.
void drawCherryTree(Canvas& c, float x, float baseY, unsigned seed) {
  Random rng(seed);
  const Rgba bark = hex(0x2a1a1c);
  fillCapsule(c, {x, baseY}, {x - 8, baseY - 90}, 7, 4, bark);
  fillCapsule(c, {x - 8, baseY - 90}, {x - 50, baseY - 130}, 4, 2, bark);
  fillCapsule(c, {x - 8, baseY - 90}, {x + 40, baseY - 140}, 4, 2, bark);
  for (int i = 0; i < 40; ++i) {
    const Vec2 p{x + rng.uniform(-80, 80), baseY - rng.uniform(100, 170)};
    const float r = rng.uniform(10, 22);
    fillCircle(c, p, r, mix(hex(0xc86a8a), hex(0xf4b0c4), rng.uniform(0, 1)));
  }
}

// ---- the street -------------------------------------------------------------

void drawStreet(Canvas& c) {
  fillRect(c, 0, kStreetTop, kStageW, kStageH, verticalGradient(kStreetTop, hex(0x7a6a6a), kStageH, hex(0x3a3036)));
  rect(c, 0, kStreetTop, kStageW, kStreetTop + 6, hex(0x4a3e44));  // gutter along the houses
  // Flagstone rows, taller toward the viewer; joints staggered row to row.
  Random rng(17);
  float y = kStreetTop + 6, h = 7;
  while (y < kStageH) {
    const float t = (y - kStreetTop) / (kStageH - kStreetTop);
    rect(c, 0, y, kStageW, y + 1.0f + t, hex(0x2e262c, 0.7f));
    for (float x = rng.uniform(-60, 0); x < kStageW;) {
      const float w = rng.uniform(36, 80) * (1 + t);
      const float tint = rng.uniform(0.9f, 1.08f);
      fillRect(c, x + 1, y + 1.5f + t, x + w - 1, y + h, [=](Vec2 p) {
        return scaled(mix(hex(0x8a7a78), hex(0x443a40), clamp01((p.y - kStreetTop) / (kStageH - kStreetTop))), tint);
      }, 0.55f);
      rect(c, x + w - 1, y, x + w, y + h, hex(0x2e262c, 0.6f));
      x += w;
    }
    y += h;
    h *= 1.18f;
  }
  // The worn, lighter path where everyone walks.
  fillRect(c, 0, kGroundY - 16, kStageW, kGroundY + 14, [](Vec2 p) {
    return hex(0xc8a890, 0.12f * (1 - std::fabs(p.y - kGroundY) / 16));
  });
}

void drawStreetLights(Canvas& c) {
  // Lantern light pooled on the stones and a cool falloff to the front edge.
  fillRect(c, 0, 410, kStageW, kStageH, verticalGradient(410, hex(0x140c14, 0), kStageH, hex(0x140c14, 0.45f)));
}

// ---- the gate --------------------------------------------------------------

void drawGate(Canvas& c) {
  const Rgba red = hex(0xd2301e), redDark = hex(0x8a1a12), black = hex(0x1a1616);
  const float pillarX = 104, pillarHalf = 12, baseY = kGroundY + 8;
  auto redShade = [=](float x0, float x1) {
    return [=](Vec2 p) { return mix(hex(0xf05a3a), redDark, clamp01((p.x - x0) / (x1 - x0))); };
  };
  // Shadows on the ground, then the pillars leaning slightly inward.
  for (float side : {-1.0f, 1.0f}) {
    const float x = kGateX + side * pillarX;
    fillEllipse(c, {x + 10, baseY}, 30, 5, hex(0x100810, 0.45f));
    fillPolygon(c, {{x - pillarHalf - 1, baseY}, {x + pillarHalf + 1, baseY}, {x + pillarHalf - 1 - side * 3, 118},
                    {x - pillarHalf + 1 - side * 3, 118}},
                redShade(x - pillarHalf, x + pillarHalf));
    rect(c, x - pillarHalf - 3, baseY - 22, x + pillarHalf + 3, baseY, black);  // black foot wrap
    rect(c, x - pillarHalf - 5, baseY - 4, x + pillarHalf + 5, baseY, hex(0x3a3438));
  }
  // Tie beam, then the curved top beam with its black cap.
  const float nukiY = 168;
  fillRect(c, kGateX - 150, nukiY, kGateX + 150, nukiY + 14, verticalGradient(nukiY, hex(0xe84a30), nukiY + 14, redDark));
  std::vector<Vec2> top, cap;
  for (int i = 0; i <= 40; ++i) {
    const float u = -1 + 2.0f * i / 40;  // -1..1 across the beam
    const float x = kGateX + u * 186, lift = 16 * u * u * u * u;
    top.push_back({x, 122 - lift});
    cap.push_back({x, 106 - lift - 4 * u * u});
  }
  std::vector<Vec2> beam = top;
  for (int i = 40; i >= 0; --i) beam.push_back({top[i].x, top[i].y - 16});
  fillPolygon(c, beam, verticalGradient(100, hex(0xe84a30), 122, redDark));
  std::vector<Vec2> capShape = cap;
  for (int i = 40; i >= 0; --i) capShape.push_back({cap[i].x + (i - 20) * 0.15f, cap[i].y - 10});
  fillPolygon(c, capShape, verticalGradient(90, hex(0x3a3438), 108, black));
  // Name plaque between the beams.
  rect(c, kGateX - 6, 122, kGateX + 6, nukiY, red);
  rect(c, kGateX - 20, 126, kGateX + 20, 160, hex(0xc8a040));
  rect(c, kGateX - 17, 129, kGateX + 17, 157, hex(0x1c1418));
  for (float y = 135; y < 154; y += 9) rect(c, kGateX - 8, y, kGateX + 8, y + 3, hex(0xe0c060));
  addGlow(c, {kGateX, 250}, 180, hex(0xffb070), 0.12f);
}

}  // namespace

bool makeStagePicture(const std::string& dir) {
  Canvas c(kStageW, kStageH, hex(0));
  drawSky(c);
  drawBackdrop(c);
  drawShrine(c);
  drawCherryTree(c, 3080, kStreetTop, 8);
  drawHouses(c);
  drawCherryTree(c, 3180, kStreetTop + 4, 9);
  drawBanner(c, 520, kStreetTop + 10, hex(0xc8281c));
  drawBanner(c, 760, kStreetTop + 10, hex(0x24306a));
  drawStreet(c);
  drawGate(c);
  drawStreetLights(c);
  return c.savePngStored(dir + "/lvl.png");
}

}  // namespace art
