#pragma once
// The state of a run, as a value: everything that shapes what happens next
// in a run is a member here, and nothing else keeps any of it. It holds no
// window, GL object, texture, sound or file: the shell keeps those around
// it (app/game.h), and two runs may live side by side in one process.

#include <optional>
#include <vector>

#include "base/chance.h"
#include "base/clock.h"
#include "entities/player.h"
#include "hero/control_codes.h"

struct Run {
  // In the order the digest folds them in (rules/run_fields.h lists them).
  std::optional<Player> tovan;
  // The enemy roster: every live enemy, in spawning order.
  std::vector<Character> enemies;
  // The row of hearts, one per life left.
  std::vector<Element> hearts;
  float level = 1.0f;
  ClockTicks tickClock = 0;
  ClockTicks spawnClock = 0;
  ClockTicks clearClock = 0;
  std::int64_t ticksRun = 0;  // update ticks since the run began: the game's pace, and where a run's events fall
  // The stage has ended: the hero reached its end or lost his last life.
  bool stageOver = false;
  // Which stage-clear pose the hero shows.
  int endFrameIndex = 0;

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
  // The run's random numbers.
  Chance chance;
  // The pace of the run's ticks, and the part of a ms (in 1/pace.den) that
  // the ticks so far have run past tickClock.
  TickPace pace = kGamePace;
  ClockTicks tickCarry = 0;

  // The run's game time, which stands still while the menu is open. The
  // shell moves it on from the wall clock; the rules never read it.
  RunClock clock;
};

// The hero's x at which the stage ends.
constexpr float kStageEndX = 5.95f;
// Lives at the start of a game, one heart each.
constexpr int kStartLives = 5;
// The HUD's band, where the hearts stand (screen units).
constexpr float kHudTop = -0.7f;
constexpr float kHudBottom = -0.8f;

// The hero of a run, with his lives, among its enemies, and his hearts.
void bringHeroOn(Run& run);
// Back to the opening of level 1 with five lives and an empty roster, every
// clock reading `now`, at the game's pace: a fresh value.
void resetRun(Run& run, ClockTicks now);
// A new run at `level` starting at game time `now`, its ticks at `pace`:
// resetRun, then the level's opening wave, drawn the same way in every run.
void beginRun(Run& run, float level, ClockTicks now, TickPace pace = kGamePace);
// The row of hearts, one per life at the start of a game.
void buildHearts(Run& run);
