#pragma once
// Start-up, the frame loop and shutdown of the game.

#include <functional>

#include "app/blow_sounds.h"
#include "shell/game.h"
#include "window/frame_pace.h"
#include "window/window_fit.h"

extern const char* const kWindowTitle;
// The hero's blow sounds, opened at start-up and played as the run starts them.
extern BlowSounds blowSounds;

// Runs start-up; returns 0 when the game can run, -1 after a failure (its
// line already written). The music is not started yet.
int startUp(Game& game);
// The part of start-up that needs only a current GL context (no window): the
// picture fitted to a framebuffer of width x height, the fixed quads,
// blending, the textures and frame lists, the shader program, the hero and a
// new run at game time `now`. 0, or -1 after a failure (its line written).
int startUpInContext(Game& game, int width, int height, ClockTicks now);
// Opens the sound device and starts the music looping.
void startMusic();
// Start-up in a window that is never shown (tests, benchmarks, screenshots).
int startUpHidden(Game& game);
// One pass of the frame loop: sound, clear, end-of-stage test, one mode, present.
void runFrame(Game& game);
// The work of the mode the flags choose (one part of a pass).
void runMode(Game& game);
// Releases the music and the background quad; returns the exit code.
int shutDown(Game& game);
// One pass of the game as it plays: a frame, then the wait for the display's
// next one; or, on a still screen with nothing new to show, a sleep until an
// event (the pads and the sounds are still seen to).
void runPass(Game& game, FramePace& pace);
// What the screen shows now if it is a still one (see StillPicture).
StillPicture stillPicture(const Game& game);
// Passes until the window closes (or a signal asks the game to end, see
// base/quit_signals.h), the music starting after the first;
// `afterPass` (if any) runs after each. Uncapped, passes run as fast as the
// driver presents.
void runPasses(Game& game, bool uncapped, const std::function<void()>& afterPass = {});

// The modes a pass can run, chosen from the flags.
enum class FrameMode { Play, Menu, GameOver, StageClear };
FrameMode chooseMode(const Game& game);
// A run played back whose viewer paused it: its picture stands still under a sign.
bool replayPausedByViewer(const Game& game);

void playFrame(Game& game);
// The run has ended (game over, the window closed, a signal): its recording
// gets its last line, then its score joins the table (which may wait for
// another copy of the game to let go of it), each once. A quit signal
// meanwhile takes effect only once both are kept.
void keepEndedRun(Game& game);

// Back to the opening of level 1 with five lives and an empty roster, every
// clock reading now, at the game's pace (tests and benchmarks set up their
// scenes from here).
void restartGame(Game& game, ClockTicks now);
// A new run at `level` starting at game time `now`, its ticks at `pace`:
// restartGame, then the level's opening wave, drawn the same way in every run.
void startRun(Game& game, float level, ClockTicks now, TickPace pace = kGamePace);
// A run of its own in `game`, beside the one `shown` plays: drawn in its
// window with its GL objects, its state apart from it in every other way
// (two runs in one process).
void startRunBeside(Game& game, const Game& shown, float level, ClockTicks now, TickPace pace = kGamePace);
