// Full-window pictures: the pause menu (one picture per highlighted choice)
// and the game-over screen; and the sign over a replay paused by its viewer.
#include "art/art.h"

namespace art {
namespace {

constexpr int kScreenW = 800, kScreenH = 600;

// A deep backdrop shared by the pause pictures: ink-dark night blue with a
// faded red sun and a panel in the middle.
void drawPauseBackdrop(Canvas& c) {
  fillRect(c, 0, 0, kScreenW, kScreenH, verticalGradient(0, hex(0x141226), kScreenH, hex(0x07060c)));
  fillCircle(c, {400, 250}, 230, hex(0x5a1420, 0.35f));
  fillCircle(c, {400, 250}, 200, hex(0x6a1826, 0.25f));
  // Brush-like horizontal streaks.
  Random rng(7);
  for (int i = 0; i < 14; ++i) {
    const float y = rng.uniform(40, 560), x = rng.uniform(-100, 700), len = rng.uniform(120, 420);
    fillCapsule(c, {x, y}, {x + len, y + rng.uniform(-6, 6)}, rng.uniform(1, 3), rng.uniform(0.5f, 2),
                hex(0x2a2840, 0.35f));
  }
  // Panel with a thin gold frame.
  const Vec2 mid{400, 330};
  fillSdf(c, {160, 190, 640, 480}, [&](Vec2 p) { return roundedBoxDistance(p, mid, 226, 132, 14); },
          [](Vec2) { return hex(0xc89a3c); });
  fillSdf(c, {160, 190, 640, 480}, [&](Vec2 p) { return roundedBoxDistance(p, mid, 222, 128, 12); },
          verticalGradient(200, hex(0x1e1a2c), 460, hex(0x100e18)));
}

void drawChoice(Canvas& c, const Font& font, const std::string& label, float y, bool selected) {
  const Vec2 mid{400, y};
  if (selected) {
    fillSdf(c, {190, int(y) - 40, 610, int(y) + 40}, [&](Vec2 p) { return roundedBoxDistance(p, mid, 180, 32, 8); },
            [](Vec2) { return hex(0xf0c050); });
    fillSdf(c, {190, int(y) - 40, 610, int(y) + 40}, [&](Vec2 p) { return roundedBoxDistance(p, mid, 177, 29, 6); },
            verticalGradient(y - 30, hex(0xc0242c), y + 30, hex(0x6e0c14)));
    for (float side : {-1.0f, 1.0f}) {  // arrow markers pointing at the choice
      const float tip = 400 + side * 196, back = tip + side * 22;
      fillPolygon(c, {{back, y - 14}, {tip, y}, {back, y + 14}}, solid(hex(0xf0c050)));
    }
  }
  TextStyle style;
  style.size = 40;
  style.spacing = 2;
  style.outlineWidth = 2;
  style.shadowOffset = selected ? 3 : 2;
  if (selected) {
    style.top = hex(0xffffff);
    style.bottom = hex(0xffe49a);
    style.outline = hex(0x3a0408);
  } else {
    style.top = hex(0x8a8698);
    style.bottom = hex(0x5e5a6c);
    style.outline = hex(0x0c0a12);
    style.shadow = hex(0, 0.3f);
  }
  drawTextCentred(c, font, label, mid.x, mid.y, style);
}

// The gold lettering of the word PAUSA, in the menu and on a replay's sign.
TextStyle pauseTitle(float size, float spacing, float shadowOffset) {
  TextStyle title;
  title.size = size;
  title.spacing = spacing;
  title.top = hex(0xfff0b8);
  title.bottom = hex(0xe0a030);
  title.outline = hex(0x2a1404);
  title.outlineWidth = 3;
  title.shadowOffset = shadowOffset;
  return title;
}

// The small spaced capitals under a screen's title.
TextStyle subtitle(Rgba top, Rgba bottom, Rgba outline) {
  TextStyle small;
  small.size = 28;
  small.spacing = 3;
  small.top = top;
  small.bottom = bottom;
  small.outline = outline;
  small.shadowOffset = 2;
  return small;
}

bool writePauseMenu(const std::string& dir, const Font& font, bool continueSelected) {
  Canvas c(kScreenW, kScreenH, hex(0));
  drawPauseBackdrop(c);
  drawTextCentred(c, font, "PAUSA", 400, 110, pauseTitle(96, 8, 5));
  fillCapsule(c, {250, 180}, {550, 180}, 1.5f, 1.5f, hex(0xc89a3c));
  drawChoice(c, font, "CONTINUAR", 280, continueSelected);
  drawChoice(c, font, "SALIR", 390, !continueSelected);
  return c.savePng(dir + (continueSelected ? "/continuar.png" : "/salir.png"));
}

// A replay paused by its viewer is not the player's pause: no choices, the
// pause's title on a panel of the menu's gold and night, and below it that
// this is a replay. Drawn over the frozen picture, which shows round it.
bool writeReplayPause(const std::string& dir, const Font& font) {
  constexpr int kSignW = 400, kSignH = 200;
  const Vec2 mid{kSignW / 2.0f, kSignH / 2.0f};
  Canvas c(kSignW, kSignH);
  const Box all{0, 0, kSignW, kSignH};
  fillSdf(c, all, [&](Vec2 p) { return roundedBoxDistance(p, mid, 190, 90, 14); }, [](Vec2) { return hex(0xc89a3c); });
  fillSdf(c, all, [&](Vec2 p) { return roundedBoxDistance(p, mid, 186, 86, 12); },
          verticalGradient(14, hex(0x1e1a2c, 0.92f), kSignH - 14, hex(0x100e18, 0.92f)));
  drawTextCentred(c, font, "PAUSA", mid.x, 78, pauseTitle(72, 6, 4));
  fillCapsule(c, {110, 124}, {290, 124}, 1.5f, 1.5f, hex(0xc89a3c));
  drawTextCentred(c, font, "REPETICIÓN", mid.x, 154, subtitle(hex(0xe8e4f0), hex(0xa8a4bc), hex(0x0c0a12)));
  return c.savePng(dir + "/repeticion.png");
}

bool writeGameOver(const std::string& dir, const Font& font) {
  Canvas c(kScreenW, kScreenH, hex(0));
  // Dark red, brightest behind the title, falling off to near black.
  for (int y = 0; y < kScreenH; ++y)
    for (int x = 0; x < kScreenW; ++x) {
      const float d = length(Vec2{(x - 400.0f) / 520.0f, (y - 260.0f) / 380.0f});
      c.blend(x, y, mix(hex(0x8a0e12), hex(0x0c0204), smoothstep(0.0f, 1.1f, d)), 1.0f);
    }
  // A big setting sun cut by horizontal bars, and drifting embers.
  for (int i = 0; i < 7; ++i) {
    const float y0 = 330 + i * 16.0f;
    fillRect(c, 0, y0, kScreenW, y0 + 6 + i, solid(hex(0x1a0406, 0.5f)));
  }
  Random rng(1234);
  for (int i = 0; i < 70; ++i) {
    const Vec2 p{rng.uniform(0, kScreenW), rng.uniform(0, kScreenH)};
    const float r = rng.uniform(0.8f, 2.6f);
    addGlow(c, p, r * 4, hex(0xff7020), 0.25f);
    fillCircle(c, p, r, hex(0xffb060, rng.uniform(0.4f, 0.9f)));
  }
  TextStyle big;
  big.size = 84;
  big.widthScale = 0.92f;
  big.spacing = 2;
  big.top = hex(0xffe0c8);
  big.bottom = hex(0xff4030);
  big.outline = hex(0x200204);
  big.outlineWidth = 4;
  big.shadowOffset = 6;
  drawTextCentred(c, font, "FIN DEL JUEGO", 400, 250, big);
  drawTextCentred(c, font, "TU CAMINO TERMINA AQUÍ", 400, 340, subtitle(hex(0xe8c8b0), hex(0xb08878), hex(0x200204)));
  return c.savePng(dir + "/gameover.png");
}

}  // namespace

bool makeScreenPictures(const std::string& dir, const Font& font) {
  bool ok = writePauseMenu(dir, font, true);
  ok = writePauseMenu(dir, font, false) && ok;
  ok = writeGameOver(dir, font) && ok;
  ok = writeReplayPause(dir, font) && ok;
  return ok;
}

}  // namespace art
