#include "screens/hud.h"

#include <algorithm>
#include <string>

#include "render/draw.h"
#include "render/frames.h"
#include "render/shaders.h"

namespace {

constexpr float kBarLitEdge = 0.65f;
constexpr float kBarWindow = 1.05f;

// Score digits: right-aligned at the right of the band, each a cell of the digit strip.
constexpr float kScoreRight = 0.95f;
constexpr float kDigitWidth = 0.04f;
constexpr int kDigitCells = 10;

// The level in the HUD: the word's picture (96 by 32) above the first
// hearts, its number in the score's digits after it.
constexpr float kLevelLeft = -0.6f;
constexpr float kLevelTop = -0.56f;
constexpr float kLevelBottom = -0.66f;
constexpr float kLevelWordWidth = 0.24f;
constexpr float kLevelGap = 0.02f;

// The replay's pause sign (400 by 200), centred over the sky of the stage so
// that the frozen fight shows below it.
constexpr float kSignLeft = -0.5f;
constexpr float kSignRight = 0.5f;
constexpr float kSignTop = 0.93f;
constexpr float kSignBottom = kSignTop - 2.0f * 200 / 600;

// Rows of a label from the labels picture left of the middle and its number
// right of it. The game-over screen's rows sit below its words: the level
// reached, the run's total, the best, and the mark of a new best under them,
// centred. The level that begins shows in the sky as a stage is cleared.
struct LabelRow {
  float top;
  float bottom;
  int labelRow;  // row of the labels picture
};
constexpr LabelRow kLevelReachedRow = {-0.29f, -0.45f, 3};
constexpr LabelRow kRunTotalRow = {-0.45f, -0.61f, 0};
constexpr LabelRow kBestTotalRow = {-0.61f, -0.77f, 1};
constexpr LabelRow kNewBestRow = {-0.78f, -0.94f, 2};
constexpr LabelRow kNextLevelRow = {0.9f, 0.74f, 3};
constexpr int kLabelRows = 4;
constexpr float kLabelWidth = 0.8f;     // the picture's 320 pixels in an 800-wide window
constexpr float kLabelRight = 0.1f;  // the labels' cells end here, the numbers start a little after their words
constexpr float kNumberLeft = -0.06f;
constexpr float kBigDigitWidth = 0.05f;
constexpr float kBigDigitInset = 0.02f;  // the number's digits are a little lower than its label

// Draws rows t0 to t1 of a picture (0 top, 1 bottom) over a box of the window.
void drawPicture(const Drawing& drawing, GLuint texture, float left, float right, float top, float bottom,
                 float t0 = 0.0f, float t1 = 1.0f) {
  if (texture == 0) return;
  const float points[12] = {right, top, 0.0f, right, bottom, 0.0f, left, bottom, 0.0f, left, top, 0.0f};
  const float coords[8] = {1.0f, t0, 1.0f, t1, 0.0f, t1, 0.0f, t0};
  refillPositions(drawing.scoreQuad, points);
  refillTexCoords(drawing.scoreQuad, coords);
  drawQuad(drawing.scoreQuad, texture);
}

void drawLabel(const Drawing& drawing, const LabelRow& row, float left) {
  const float t0 = static_cast<float>(row.labelRow) / kLabelRows;
  drawPicture(drawing, drawing.recordLabelsTexture, left, left + kLabelWidth, row.top, row.bottom, t0, t0 + 1.0f / kLabelRows);
}

long long levelNumber(float level) { return static_cast<long long>(level); }

void drawLabelledNumber(const Drawing& drawing, const LabelRow& row, long long number) {
  drawLabel(drawing, row, kLabelRight - kLabelWidth);
  const float width = static_cast<float>(std::to_string(number < 0 ? 0 : number).size()) * kBigDigitWidth;
  drawNumber(drawing, number,
             {kNumberLeft + width, row.top - kBigDigitInset, row.bottom + kBigDigitInset, kBigDigitWidth});
}

}  // namespace

// The stage picture is opaque: drawn without blending.
void drawOpaqueStage(const Drawing& drawing) {
  glDisable(GL_BLEND);
  drawQuad(drawing.quads.fondo, drawing.stageTexture);
  glEnable(GL_BLEND);
}

// The window onto the stage picture is a quarter of it wide.
void scrollStage(const Drawing& drawing, float heroX) {
  const float left = heroX / 8.0f;
  const float coords[8] = {left + 0.25f, 0.0f, left + 0.25f, 1.0f, left, 1.0f, left, 0.0f};
  refillTexCoords(drawing.quads.fondo, coords);
}

void drawStage(const Drawing& drawing, float heroX) {
  scrollStage(drawing, heroX);
  useShaderProgram(drawing);
  drawOpaqueStage(drawing);
}

// The bar's picture is lit left of kBarLitEdge and dark right of it; the
// quad shows a window kBarWindow wide onto it, clamped at its edges. The
// window sits so that the lit part is health / 500 of the bar: all of it at
// full health, none at 0 or below.
void healthBarTexCoords(int health, float texCoordsB[8]) {
  const float lit = std::clamp(static_cast<float>(health) / static_cast<float>(kPlayerHealth), 0.0f, 1.0f);
  const float left = kBarLitEdge - lit * kBarWindow;
  const float right = left + kBarWindow;
  const float coords[8] = {right, 0.0f, right, 1.0f, left, 1.0f, left, 0.0f};
  for (int i = 0; i < 8; ++i) texCoordsB[i] = coords[i];
}

// A number in the HUD's digits, its last digit ending at `right`.
void drawNumber(const Drawing& drawing, long long number, const DigitRow& row) {
  if (drawing.digitsTexture == 0) return;
  const std::string digits = std::to_string(number < 0 ? 0 : number);
  float right = row.right;
  for (size_t i = digits.size(); i-- > 0;) {
    const float left = right - row.digitWidth;
    const float points[12] = {right, row.top, 0.0f, right, row.bottom, 0.0f,
                              left, row.bottom, 0.0f, left, row.top, 0.0f};
    const float s0 = static_cast<float>(digits[i] - '0') / kDigitCells;
    const float s1 = s0 + 1.0f / kDigitCells;
    const float coords[8] = {s1, 0.0f, s1, 1.0f, s0, 1.0f, s0, 0.0f};
    refillPositions(drawing.scoreQuad, points);
    refillTexCoords(drawing.scoreQuad, coords);
    drawQuad(drawing.scoreQuad, drawing.digitsTexture);
    right = left;
  }
}

void drawScore(const Drawing& drawing, long long score) {
  drawNumber(drawing, score, {kScoreRight, kHudTop, kHudBottom, kDigitWidth});
}

void drawLevel(const Drawing& drawing, float level) {
  const float wordRight = kLevelLeft + kLevelWordWidth;
  drawPicture(drawing, drawing.levelWordTexture, kLevelLeft, wordRight, kLevelTop, kLevelBottom);
  const long long number = levelNumber(level);
  const float width = static_cast<float>(std::to_string(number).size()) * kDigitWidth;
  drawNumber(drawing, number, {wordRight + kLevelGap + width, kLevelTop, kLevelBottom, kDigitWidth});
}

void drawReplayPauseSign(const Drawing& drawing) {
  useShaderProgram(drawing);
  drawPicture(drawing, drawing.replayPauseTexture, kSignLeft, kSignRight, kSignTop, kSignBottom);
}

void menuFrame(const Drawing& drawing, bool exitSelected) {
  const FrameList& menuFrames = drawing.menuFrames;
  const size_t frame = exitSelected ? kMenuExitFrame : kMenuContinueFrame;
  drawQuad(drawing.quads.menu, frame < menuFrames.size() ? menuFrames[frame] : 0);
}

void gameOverFrame(const Drawing& drawing, float level, const RunRecord& record) {
  useShaderProgram(drawing);
  // The picture over the whole viewport.
  drawPicture(drawing, drawing.gameOverTexture, -1.0f, 1.0f, 1.0f, -1.0f);
  // The level reached, the run's total and the best over the picture.
  drawLabelledNumber(drawing, kLevelReachedRow, levelNumber(level));
  drawLabelledNumber(drawing, kRunTotalRow, record.total);
  drawLabelledNumber(drawing, kBestTotalRow, record.best);
  if (record.newBest) drawLabel(drawing, kNewBestRow, -kLabelWidth / 2);
}

// The hero's pose is chosen by the stage-clear ticks; over him, the level
// that begins when the poses end (in the frame whose ticks ended them, it has
// begun already).
void stageClearFrame(const Drawing& drawing, const Run& run) {
  const Player& hero = *run.tovan;
  drawStage(drawing, hero.getPosition().getX());
  drawSprite(drawing, hero);
  drawLabelledNumber(drawing, kNextLevelRow, levelNumber(run.level) + (run.stageOver ? 1 : 0));
}
