// The stage: a temple street at dusk, one long picture the game scrolls over.
#include "art/art.h"

namespace art {
namespace {

constexpr int kStageW = 3200, kStageH = 450;
constexpr float kGroundY = 374;   // where the fighters' feet stand
constexpr float kGateX = 2781;    // the stage ends in this gate's opening

void drawSky(Canvas& c) {
  fillRect(c, 0, 0, kStageW, 300, [](Vec2 p) {
    const float t = p.y / 300.0f;
    if (t < 0.55f) return mix(hex(0x1c1640), hex(0x6a3460), t / 0.55f);
    return mix(hex(0x6a3460), hex(0xf08a4a), (t - 0.55f) / 0.45f);
  });
}

void drawGround(Canvas& c) {
  fillRect(c, 0, 330, kStageW, kStageH, verticalGradient(330, hex(0x6a5a50), kStageH, hex(0x3a302c)));
}

void drawGate(Canvas& c) {
  const Rgba red = hex(0xc8241c);
  for (float side : {-1.0f, 1.0f}) fillRect(c, kGateX + side * 95 - 11, 120, kGateX + side * 95 + 11, kGroundY + 4, solid(red));
  fillRect(c, kGateX - 150, 110, kGateX + 150, 128, solid(hex(0x1e1a1a)));
  fillRect(c, kGateX - 125, 160, kGateX + 125, 172, solid(red));
}

}  // namespace

bool makeStagePicture(const std::string& dir) {
  Canvas c(kStageW, kStageH, hex(0));
  drawSky(c);
  drawGround(c);
  drawGate(c);
  return c.savePng(dir + "/lvl.png");
}

}  // namespace art
