#pragma once
// The heads-up display and the screens that are not play: hearts, health
// bar, score, level, pause menu, game over, the stage-clear pose, and the
// sign over a replay paused by its viewer.

#include <GL/glew.h>

#include <vector>

#include "player_files/player_files.h"
#include "render/drawing.h"
#include "rules/run.h"

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
void drawNumber(const Drawing& drawing, long long number, const DigitRow& row);
// The score in the bottom band, right of the health bar.
void drawScore(const Drawing& drawing, long long score);
// "NIVEL" and the level's number, above the hearts.
void drawLevel(const Drawing& drawing, float level);
// The sign that a replay is paused, over the frozen picture.
void drawReplayPauseSign(const Drawing& drawing);

// Moves the stage picture's window to the hero's x.
void scrollStage(const Drawing& drawing, float heroX);
// Scrolls the stage to the hero's x and draws it (stage clear).
void drawStage(const Drawing& drawing, float heroX);
// Draws the stage quad as it is scrolled now.
void drawOpaqueStage(const Drawing& drawing);

// The pause menu, its choice on Exit or on Continue.
void menuFrame(const Drawing& drawing, bool exitSelected);
// The game-over picture, the level the run reached and its record.
void gameOverFrame(const Drawing& drawing, float level, const RunRecord& record);
// The hero posing on the cleared stage, the level that begins over him.
void stageClearFrame(const Drawing& drawing, const Run& run);
