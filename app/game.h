#pragma once
// What the shell keeps around the run it shows: the window and its place,
// everything it draws with, its sounds, the settings in force, what the keys
// and pads hold, the picture's notes between ticks, the ended run's record,
// and the run itself (a Run value, rules/run.h). Made as start-up opens each
// part, released in the reverse order at shutdown. A Game owns its GL
// objects and sound handles, so it is never copied.

#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>

#include "app/game_sounds.h"
#include "app/tick_notes.h"
#include "input/controls.h"
#include "player_files/player_files.h"
#include "player_files/settings.h"
#include "render/drawing.h"
#include "rules/run.h"
#include "runs/run_log.h"
#include "window/frame_pace.h"
#include "window/window_fit.h"

// The screens a pass can show, chosen from the run's flags as the pass begins.
enum class FrameMode { Play, Menu, GameOver, StageClear };

struct Game {
  Game() = default;
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Run run;
  // Who listens to the run: the log that records it or plays one back
  // (idle when neither), held beside it and handed to its ticks and to the
  // control rules with each input.
  RunLog log;

  GLFWwindow* window = nullptr;
  WindowPlace windowPlace;
  FramePace framePace;
  Drawing drawing;
  GameSounds sounds;
  Settings settings;
  Controls controls;
  // The viewer of a replay holds it: its game time stands still.
  bool viewerPaused = false;
  // Whether a "Kill" line is written for each enemy defeated: in play and in
  // a watched replay; an export's only lines are its own.
  bool killLines = true;

  // Whether play is drawn between ticks. Off, each frame shows the latest
  // tick as it is: on a display that refreshes once a tick, every frame is
  // then a tick of its own with nothing to blend. Set from the display's
  // pace (see drawsBetweenTicks).
  bool drawBetweenTicks = false;
  TickNotes notes;
  // The screen this pass shows: the mode the run was in as the pass began,
  // before its ticks (the frame whose ticks end the stage still shows play).
  FrameMode passMode = FrameMode::Play;
  // The run that ended, as the game-over screen shows it.
  RunRecord record;
};
