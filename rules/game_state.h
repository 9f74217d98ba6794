#pragma once
// The state of the run that the frame loop, the screens and hit resolution share.

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <optional>
#include <vector>

#include "base/chance.h"
#include "base/clock.h"
#include "hero/control_codes.h"
#include "entities/player.h"
#include "render/quads.h"

class RunLog;

// A key event or a pause the control rules took, as a recording keeps it.
enum class TakenInput { Press, Release, Repeat, Pause, Resume };

// Everything the entry function keeps for the whole run. Besides the
// window and the GL objects, it holds the whole state of the run: everything
// that shapes what happens next is a member here, and nothing else in the
// game keeps any of it.
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
  // The run's game time: it stands still while the menu is open or a viewer
  // holds a replay.
  RunClock clock;
  bool viewerPaused = false;
  // The pace of the run's ticks, and the part of a ms (in 1/pace.den) that
  // the ticks so far have run past tickClock.
  TickPace pace = kGamePace;
  ClockTicks tickCarry = 0;
  ClockTicks spawnClock = 0;
  ClockTicks clearClock = 0;
  long ticksRun = 0;  // update ticks since the run began: the game's pace, and where a run's events fall
  RunLog* log = nullptr;  // records the run, or plays one back
  // Told of each key event and pause the control rules take, before they act
  // on it (a recording of the run sets it; the key's number, or 0).
  void (*inputTaken)(Game& game, TakenInput kind, int value) = nullptr;

  // The enemy roster: every live enemy, in spawning order.
  std::vector<Character> enemies;
  // The row of hearts, one per life left.
  std::vector<Element> hearts;
  // The stage has ended: the hero reached its end or lost his last life.
  bool stageOver = false;
  // Which stage-clear pose the hero shows.
  int endFrameIndex = 0;
  // The run's random numbers.
  Chance chance;

  // The control state the keys set and the hero's tick reads.
  int controlCode = kNoControl;
  bool rightHeld = false;
  bool leftHeld = false;
  bool menuOpen = false;
  bool exitSelected = false;
  bool exitChosen = false;  // Exit was chosen in the menu: the shell closes the window
  // Down pressed in play and not yet released there.
  bool downHeld = false;
  // The hero was told to crouch and has not stood up yet: the stand-up request
  // outlives other keys' presses and releases and a visit to the menu. Keys
  // that come meanwhile are kept for after it: once he is up, they take over.
  bool standUpDue = false;
  int codeAfterStandUp = kNoControl;
  float points[12] = {};      // the background's corners
  float texCoords2[8] = {};   // the background's window onto the stage
  float texCoordsB[8] = {};   // the health bar's window onto its strip
};

// The hero's x at which the stage ends.
constexpr float kStageEndX = 5.95f;
