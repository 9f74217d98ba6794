#pragma once
// The heads-up display and the screens that are not play: hearts, health
// bar, score, level, pause menu, game over, the stage-clear pose, and the
// sign over a replay paused by its viewer.

#include <GL/glew.h>

#include <vector>

#include "shell/game.h"

extern GLuint stageTexture;
extern GLuint hpBarTexture;
extern GLuint digitsTexture;
extern GLuint recordLabelsTexture;  // the screens' words for their numbers
extern GLuint levelWordTexture;     // the HUD's word before the level's number
extern GLuint replayPauseTexture;   // the sign over a replay paused by its viewer

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
// "NIVEL" and the level's number, above the hearts.
void drawLevel(Game& game, float level);
// The sign that a replay is paused, over the frozen picture.
void drawReplayPauseSign(Game& game);

// Moves the stage picture's window to the hero's x.
void scrollStage(Game& game, float heroX);
// Scrolls the stage to the hero's x and draws it (stage clear).
void drawStage(Game& game, float heroX);
// Draws the stage quad as it is scrolled now.
void drawOpaqueStage(const Quad& fondo);

void menuFrame(Game& game);
void gameOverFrame(Game& game);
void stageClearFrame(Game& game);
