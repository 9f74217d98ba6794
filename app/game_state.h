#pragma once
// The state of the run that the frame loop, the screens and hit resolution share.

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <optional>

#include "base/clock.h"
#include "entities/player.h"
#include "render/quads.h"

class RunLog;

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
  long ticksRun = 0;  // update ticks since the run began: the game's pace, and where a run's events fall
  RunLog* log = nullptr;  // records the run, or plays one back
  float points[12] = {};      // the background's corners
  float texCoords2[8] = {};   // the background's window onto the stage
  float texCoordsB[8] = {};   // the health bar's window onto its strip
};

// The hero's x at which the stage ends.
constexpr float kStageEndX = 5.95f;

// The stage has ended: the hero reached its end or lost his last life.
extern bool stageOver;
// Which stage-clear pose the hero shows.
extern int endFrameIndex;
