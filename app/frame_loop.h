#pragma once
// Start-up, the frame loop and shutdown of the game. A pass of the loop is
// two steps every front end shares: advanceGame moves the game on (the ticks
// due, their sounds, a run's end and its files), then drawGame draws what
// the game shows, changing nothing. The window's loop and the browser's
// frame call them through one pass (gamePass); the export of a run to a clip
// calls the two itself, at each frame's own game time.

#include <functional>

#include "app/game.h"
#include "app/window_callbacks.h"

extern const char* const kWindowTitle;

// Runs start-up with the settings the game holds (full screen, if they say
// so); returns 0 when the game can run, -1 after a failure (its line already
// written). No sound is started yet (see startSounds).
int startUp(Game& game);
// The part of start-up that needs only a current GL context (no window): the
// picture fitted to a framebuffer of width x height, the fixed quads,
// blending, the textures and frame lists, the shader program, and a new run
// at game time `now`. 0, or -1 after a failure (its line written).
int startUpInContext(Game& game, int width, int height, ClockTicks now);
// Everything the game draws with, made in the current context: the fixed
// quads, blending, the textures and frame lists and the shader program (as
// start-up makes them, and again in a context the browser gave back after
// losing it). 0, or -1 after a failure (its line written).
int makeDrawing(Drawing& drawing);
// Start-up in a window that is never shown (tests, benchmarks, screenshots).
int startUpHidden(Game& game);
// Releases what start-up made, in the reverse order; returns the exit code.
int shutDown(Game& game);

// The mode a run is in, from its flags.
FrameMode chooseMode(const Run& run);

// Moves the game on to game time `now` (the run's clock reads it already),
// in the mode the run is in as it begins: in play and during the
// stage-clear poses the ticks due run and the blow sounds they started play;
// on the game-over screen the run is kept, once.
void advanceGame(Game& game, ClockTicks now);
// Draws the pass's screen into the current framebuffer, as advanceGame left
// the game, at the point game time has reached between its ticks.
void drawGame(const Game& game);
// The run has ended (game over, the window closed, a signal): its recording
// gets its last line, then its score joins the table (which may wait for
// another copy of the game to let go of it), each once. A quit signal
// meanwhile takes effect only once both are kept.
void keepEndedRun(Game& game);
// A run played back whose viewer paused it: its picture stands still under a sign.
bool replayPausedByViewer(const Game& game);

// One pass of the game, the same in a window and in the page: the sounds
// serviced, the game moved on to the time now and drawn, the frame presented
// by `present` (null where the browser presents it after the pass), then the
// pads and the focus taken, and Exit chosen in the menu (by a key or a run
// played back) closing the window.
void gamePass(Game& game, void (*present)(Game&));
// One pass in the window: gamePass, presented by swapping the buffers and
// handling the window's events.
void runFrame(Game& game);
// One pass of the game as it plays: a frame, then the wait for the display's
// next one; or, on a still screen with nothing new to show, a sleep until an
// event (the pads and the sounds are still seen to).
void runPass(Game& game);
// What the screen shows now if it is a still one (see StillPicture).
StillPicture stillPicture(const Game& game);
// Passes until the window closes (or a signal asks the game to end, see
// base/quit_signals.h), the sounds starting after the first;
// `afterPass` (if any) runs after each. Uncapped, passes run as fast as the
// driver presents.
void runPasses(Game& game, bool uncapped, const std::function<void()>& afterPass = {});

// Back to the opening of level 1 with five lives and an empty roster, every
// clock reading now, at the game's pace (tests and benchmarks set up their
// scenes from here): nothing of the shell's notes, record or log of an
// earlier run stays.
void restartGame(Game& game, ClockTicks now);
// A new run at `level` starting at game time `now`, its ticks at `pace`:
// restartGame, then the level's opening wave, drawn the same way in every run.
void startRun(Game& game, float level, ClockTicks now, TickPace pace = kGamePace);
