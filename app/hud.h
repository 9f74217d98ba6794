#pragma once
// The heads-up display and the screens that are not play: hearts, health
// bar, score, pause menu, game over and the stage-clear pose.

#include <GL/glew.h>

#include <vector>

#include "app/game_state.h"

extern std::vector<Element> hearts;
extern GLuint stageTexture;
extern GLuint hpBarTexture;
extern GLuint heartTexture;
extern GLuint digitsTexture;
extern GLuint recordLabelsTexture;  // the game-over screen's words for its numbers

constexpr int kStartLives = 5;

// The row of hearts, one per life, from x -0.6 to -0.1.
void buildHearts();
// The bar's window onto its strip, from the hero's health.
void healthBarTexCoords(int health, float texCoordsB[8]);
// Where a number goes: its last digit ends at `right`; each digit is a cell
// of the digit strip, digitWidth wide.
struct DigitRow {
  float right;
  float top;
  float bottom;
  float digitWidth;
};
// A number in the HUD's digits.
void drawNumber(Game& game, long long number, const DigitRow& row);
// The score in the bottom band, right of the health bar.
void drawScore(Game& game, long long score);

// Moves the stage picture's window to the hero's x.
void scrollStage(Game& game, float heroX);
// Scrolls the stage to the hero's x and draws it (stage clear).
void drawStage(Game& game, float heroX);
// Draws the stage quad as it is scrolled now.
void drawOpaqueStage(const Quad& fondo);

void menuFrame(Game& game);
void gameOverFrame(Game& game);
void stageClearFrame(Game& game);

// Stage-clear timeline: past each time (ms since the stage ended) the pose changes.
struct PoseStep {
  double after;
  int endFrame;
};
constexpr PoseStep kStageClearPoses[] = {{0, 0}, {200, 1}, {400, 0}, {600, 1}, {800, 2}, {1000, 3}};
constexpr double kStageClearLasts = 1000.0;
