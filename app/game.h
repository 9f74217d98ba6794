#pragma once
// Start-up, the frame loop and shutdown of the game.

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <optional>

#include "app/clock.h"
#include "entities/player.h"
#include "render/quads.h"

// Everything the entry function keeps for the whole run.
struct Game {
  GLFWwindow* window = nullptr;
  int ancho = 0;
  int alto = 0;
  int texWid = 0;
  int texHei = 0;
  int texChan = 0;
  FixedQuads quads;
  Quad scoreQuad;
  GLuint gameOverTexture = 0;
  GLuint shaderProgram = 0;
  std::optional<Player> tovan;
  float level = 1.0f;
  ClockTicks tickClock = 0;
  ClockTicks spawnClock = 0;
  ClockTicks clearClock = 0;
  float points[12] = {};      // the background's corners
  float texCoords2[8] = {};   // the background's window onto the stage
  float texCoordsB[8] = {};   // the health bar's window onto its strip
};

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
extern const char* const kWindowTitle;
constexpr float kStageEndX = 5.95f;

// Runs start-up; returns 0 when the game can run, -1 after a failure (its
// line already written).
int startUp(Game& game);
// Start-up in a window that is never shown (tests, benchmarks, screenshots).
int startUpHidden(Game& game);
// One pass of the frame loop: sound, clear, end-of-stage test, one mode, present.
void runFrame(Game& game);
// The work of the mode the flags choose (one part of a pass).
void runMode(Game& game);
// Releases the music and the background quad; returns the exit code.
int shutDown(Game& game);
// The whole game: start-up, the loop until the window closes, shutdown.
int runGame();

// The modes a pass can run, chosen from the flags.
enum class FrameMode { Play, Menu, GameOver, StageClear };
FrameMode chooseMode(const Game& game);

// Moves the stage picture's window to the hero's x.
void scrollStage(Game& game, float heroX);
// Scrolls the stage to the hero's x and draws it (stage clear).
void drawStage(Game& game, float heroX);
void playFrame(Game& game);

// Back to the opening of level 1 with five lives and an empty roster, every
// clock reading now (tests and benchmarks set up their scenes from here).
void restartGame(Game& game, ClockTicks now);
