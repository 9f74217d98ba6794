// The small pictures of the heads-up display: heart, health bar, score digits,
// the word of the level, and the tiny test picture the game loads first.
#include "art/art.h"

namespace art {
namespace {

constexpr int kHeartW = 40, kHeartH = 32;
constexpr int kBarW = 100, kBarH = 32;
// The game slides a window over the bar texture: columns left of this read
// as health, the rest as lost health.
constexpr int kBarFullColumns = 65;
constexpr int kDigitW = 16, kDigitH = 32;

// Heart of unit size: tip at the origin, lobes up to y = 1.1, |x| up to 0.6.
float unitHeartDistance(Vec2 p) {
  p.x = std::fabs(p.x);
  if (p.x + p.y > 1.0f) return length(p - Vec2{0.25f, 0.75f}) - std::sqrt(2.0f) / 4.0f;
  const float m = 0.5f * std::max(p.x + p.y, 0.0f);
  const float d = std::min(dot(p - Vec2{0, 1}, p - Vec2{0, 1}), dot(p - Vec2{m, m}, p - Vec2{m, m}));
  return std::sqrt(d) * (p.x - p.y > 0 ? 1.0f : -1.0f);
}

bool writeHeart(const std::string& dir) {
  Canvas c(kHeartW, kHeartH);
  const float sx = 35.0f / 1.21f, sy = 29.5f / 1.11f, tipY = 31.0f;
  const float centreX = kHeartW / 2.0f;
  // Symmetric by construction: everything is a function of |x - centre|.
  auto local = [&](Vec2 p) { return Vec2{std::fabs(p.x - centreX) / sx, (tipY - p.y) / sy}; };
  auto dist = [&](Vec2 p) { return unitHeartDistance(local(p)) * std::min(sx, sy); };
  const Box all{0, 0, kHeartW, kHeartH};
  fillSdf(c, all, dist, [](Vec2) { return hex(0x4a0608); });
  fillSdf(c, all, [&](Vec2 p) { return dist(p) + 1.6f; }, [&](Vec2 p) {
    // Deeper red toward the tip and the outer rim.
    const float depth = clamp01(-dist(p) / 8.0f);
    const float rise = clamp01((tipY - p.y) / 29.0f);
    return mix(hex(0xa8101c), mix(hex(0xe02430), hex(0xff5a5a), rise), depth);
  });
  for (float side : {-1.0f, 1.0f}) {  // a soft shine on each lobe
    const Vec2 shine{centreX + side * 9.5f, 9.0f};
    fillSdf(c, all, [&](Vec2 p) { return ellipseDistance(p, shine, 3.6f, 2.6f); },
            [](Vec2) { return hex(0xffd0d0, 0.75f); });
  }
  return c.savePng(dir + "/corazon.png", hex(0x4a0608));
}

// The bar's colour by row: the same in every column of each half.
Rgba barRow(int row, bool full) {
  if (row == 0) return full ? hex(0xffd8a0) : hex(0x6a6a6a);
  if (row >= kBarH - 2) return full ? hex(0x5a0c04) : hex(0x101010);
  const float t = float(row - 1) / float(kBarH - 3);  // 0 top .. 1 bottom
  if (!full) return mix(hex(0x3a3a3e), hex(0x1c1c20), t);
  const float shine = std::exp(-((t - 0.22f) * (t - 0.22f)) / 0.012f);
  return mix(mix(hex(0xff9a2a), hex(0xc81808), t), hex(0xffe0a0), 0.55f * shine);
}

bool writeHealthBar(const std::string& dir) {
  Canvas c(kBarW, kBarH);
  for (int y = 0; y < kBarH; ++y)
    for (int x = 0; x < kBarW; ++x) c.blend(x, y, barRow(y, x < kBarFullColumns), 1.0f);
  return c.savePng(dir + "/hp_bar.png");
}

// The HUD's lettering: gold digits and capitals with a dark rim, all set on
// the line of the digit "0" so that a word and a number beside it match.
constexpr float kHudEm = 30.0f, kHudOutline = 1.4f;
constexpr float kDigitSqueeze = 0.66f, kWordSqueeze = 0.8f;

// The row at which the ink of "0" sits centred in a picture kDigitH high.
struct HudLine {
  float top;
  Box zero;
};
HudLine hudLine(const Font& font) {
  const Box zero = inkBounds(font.render("0", kHudEm, kDigitSqueeze));
  return {std::round((kDigitH - (zero.y1 - zero.y0)) / 2.0f) - zero.y0, zero};
}

// Draws the text's ink centred in the cell [cellLeft, cellLeft + cellWidth).
void drawHudText(Canvas& c, const Font& font, const std::string& text, float squeeze, float cellLeft,
                 float cellWidth, const HudLine& line) {
  const Mask glyph = font.render(text, kHudEm, squeeze);
  const Box ink = inkBounds(glyph);
  const float left = std::round(cellLeft + (cellWidth - (ink.x1 - ink.x0)) / 2.0f) - ink.x0;
  const Mask rim = dilate(glyph, kHudOutline);
  const int grow = int(std::ceil(kHudOutline)) + 1;
  drawMask(c, rim, left - grow, line.top - grow, solid(hex(0x2a1204)));
  drawMask(c, glyph, left, line.top,
           verticalGradient(line.top + line.zero.y0, hex(0xfff6c8), line.top + line.zero.y1, hex(0xf0a828)));
}

bool writeDigits(const std::string& dir, const Font& font) {
  Canvas c(kDigitW * 10, kDigitH);
  const HudLine line = hudLine(font);
  for (int d = 0; d < 10; ++d) drawHudText(c, font, std::string(1, char('0' + d)), kDigitSqueeze, kDigitW * d, kDigitW, line);
  return c.savePng(dir + "/digitos.png", hex(0x2a1204));
}

// The word before the level's number in the HUD, in the digits' lettering.
bool writeLevelWord(const std::string& dir, const Font& font) {
  constexpr int kWordW = 96;
  Canvas c(kWordW, kDigitH);
  drawHudText(c, font, "NIVEL", kWordSqueeze, 0, kWordW, hudLine(font));
  return c.savePng(dir + "/nivel.png", hex(0x2a1204));
}

// The words for the numbers drawn over the screens, one row each: the run's
// total, the best total, the mark of a new best (game over), and the level
// (game over, and the one that begins as a stage is cleared).
bool writeRecordLabels(const std::string& dir, const Font& font) {
  constexpr int kLabelW = 320, kLabelH = 48, kRows = 4;
  const char* const labels[kRows] = {"PUNTOS", "RÉCORD", "¡NUEVO RÉCORD!", "NIVEL"};
  Canvas c(kLabelW, kLabelH * kRows);
  for (int row = 0; row < kRows; ++row) {
    TextStyle style;
    style.size = 30;
    style.spacing = 2;
    style.top = row == 2 ? hex(0xfff6c8) : hex(0xe8c8b0);
    style.bottom = row == 2 ? hex(0xf0a828) : hex(0xb08878);
    style.outline = hex(0x200204);
    style.outlineWidth = 2;
    style.shadowOffset = 2;
    drawTextCentred(c, font, labels[row], kLabelW / 2.0f, kLabelH * (row + 0.5f), style);
  }
  return c.savePng(dir + "/records.png");
}

bool writeTestPicture(const std::string& dir) {
  Canvas c(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      c.blend(x, y, ((x / 4 + y / 4) % 2) ? hex(0xd41c1c) : hex(0xf4f1ea), 1.0f);
  return c.savePngRgb(dir + "/prueba.png");
}

}  // namespace

bool makeHudPictures(const std::string& dir, const Font& font) {
  bool ok = writeTestPicture(dir);
  ok = writeHeart(dir) && ok;
  ok = writeHealthBar(dir) && ok;
  ok = writeDigits(dir, font) && ok;
  ok = writeLevelWord(dir, font) && ok;
  ok = writeRecordLabels(dir, font) && ok;
  return ok;
}

}  // namespace art
