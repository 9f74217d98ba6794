#include "screens/hud.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "player_files/player_files.h"
#include "render/draw.h"
#include "render/frames.h"
#include "render/shaders.h"
#include "rules/control_rules.h"
#include "shell/game.h"

GLuint stageTexture = 0;
GLuint hpBarTexture = 0;
GLuint digitsTexture = 0;
GLuint recordLabelsTexture = 0;
GLuint levelWordTexture = 0;
GLuint replayPauseTexture = 0;

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
void drawPicture(Game& game, GLuint texture, float left, float right, float top, float bottom, float t0 = 0.0f,
                 float t1 = 1.0f) {
  if (texture == 0) return;
  const float points[12] = {right, top, 0.0f, right, bottom, 0.0f, left, bottom, 0.0f, left, top, 0.0f};
  const float coords[8] = {1.0f, t0, 1.0f, t1, 0.0f, t1, 0.0f, t0};
  refillPositions(game.scoreQuad, points);
  refillTexCoords(game.scoreQuad, coords);
  drawQuad(game.scoreQuad, texture);
}

void drawLabel(Game& game, const LabelRow& row, float left) {
  const float t0 = static_cast<float>(row.labelRow) / kLabelRows;
  drawPicture(game, recordLabelsTexture, left, left + kLabelWidth, row.top, row.bottom, t0, t0 + 1.0f / kLabelRows);
}

long long levelNumber(float level) { return static_cast<long long>(level); }

void drawLabelledNumber(Game& game, const LabelRow& row, long long number) {
  drawLabel(game, row, kLabelRight - kLabelWidth);
  const float width = static_cast<float>(std::to_string(number < 0 ? 0 : number).size()) * kBigDigitWidth;
  drawNumber(game, number,
             {kNumberLeft + width, row.top - kBigDigitInset, row.bottom + kBigDigitInset, kBigDigitWidth});
}

}  // namespace

// The stage picture is opaque: drawn without blending.
void drawOpaqueStage(const Quad& fondo) {
  glDisable(GL_BLEND);
  drawQuad(fondo, stageTexture);
  glEnable(GL_BLEND);
}

// The window onto the stage picture is a quarter of it wide.
void scrollStage(Game& game, float heroX) {
  const float left = heroX / 8.0f;
  const float coords[8] = {left + 0.25f, 0.0f, left + 0.25f, 1.0f, left, 1.0f, left, 0.0f};
  std::memcpy(game.texCoords2, coords, sizeof(coords));
  refillTexCoords(game.quads.fondo, game.texCoords2);
}

void drawStage(Game& game, float heroX) {
  scrollStage(game, heroX);
  useShaderProgram(game.shaderProgram);
  drawOpaqueStage(game.quads.fondo);
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
void drawNumber(Game& game, long long number, const DigitRow& row) {
  if (digitsTexture == 0) return;
  const std::string digits = std::to_string(number < 0 ? 0 : number);
  float right = row.right;
  for (size_t i = digits.size(); i-- > 0;) {
    const float left = right - row.digitWidth;
    const float points[12] = {right, row.top, 0.0f, right, row.bottom, 0.0f,
                              left, row.bottom, 0.0f, left, row.top, 0.0f};
    const float s0 = static_cast<float>(digits[i] - '0') / kDigitCells;
    const float s1 = s0 + 1.0f / kDigitCells;
    const float coords[8] = {s1, 0.0f, s1, 1.0f, s0, 1.0f, s0, 0.0f};
    refillPositions(game.scoreQuad, points);
    refillTexCoords(game.scoreQuad, coords);
    drawQuad(game.scoreQuad, digitsTexture);
    right = left;
  }
}

void drawScore(Game& game, long long score) { drawNumber(game, score, {kScoreRight, kHudTop, kHudBottom, kDigitWidth}); }

void drawLevel(Game& game, float level) {
  const float wordRight = kLevelLeft + kLevelWordWidth;
  drawPicture(game, levelWordTexture, kLevelLeft, wordRight, kLevelTop, kLevelBottom);
  const long long number = levelNumber(level);
  const float width = static_cast<float>(std::to_string(number).size()) * kDigitWidth;
  drawNumber(game, number, {wordRight + kLevelGap + width, kLevelTop, kLevelBottom, kDigitWidth});
}

void drawReplayPauseSign(Game& game) {
  useShaderProgram(game.shaderProgram);
  drawPicture(game, replayPauseTexture, kSignLeft, kSignRight, kSignTop, kSignBottom);
}

void menuFrame(Game& game) {
  drawQuad(game.quads.menu, menuFrames[game.exitSelected ? kMenuExitFrame : kMenuContinueFrame]);
}

void gameOverFrame(Game& game) {
  game.points[4] = -1.0f;  // y of the bottom corners: the whole viewport
  game.points[7] = -1.0f;
  refillPositions(game.quads.fondo, game.points);
  for (int i = 0; i < 8; ++i) game.texCoords2[i] = kUprightTexCoords[i];
  refillTexCoords(game.quads.fondo, game.texCoords2);
  useShaderProgram(game.shaderProgram);
  drawQuad(game.quads.fondo, game.gameOverTexture);
  // The level reached, the run's total and the best over the picture.
  drawLabelledNumber(game, kLevelReachedRow, levelNumber(game.level));
  drawLabelledNumber(game, kRunTotalRow, runRecord.total);
  drawLabelledNumber(game, kBestTotalRow, runRecord.best);
  if (runRecord.newBest) drawLabel(game, kNewBestRow, -kLabelWidth / 2);
}

// The hero's pose is chosen by the stage-clear ticks; over him, the level
// that begins when the poses end (in the frame whose ticks ended them, it has
// begun already).
void stageClearFrame(Game& game) {
  Player& hero = *game.tovan;
  drawStage(game, hero.getPosition().getX());
  drawSprite(hero);
  drawLabelledNumber(game, kNextLevelRow, levelNumber(game.level) + (game.stageOver ? 1 : 0));
}
