#pragma once
// The real game, started once per test process in a hidden window under Xvfb,
// so tests draw with Mesa's OpenGL and read the pixels back.

#include <string>
#include <vector>

#include "app/frame_loop.h"

// Started on first use from the run directory (it holds ./img and ./sound).
Game& sharedGame();

// Puts the game back to a fresh stage: hero reset with 5 lives and hearts,
// empty roster, play mode, clock pinned at `now`.
void freshStage(Game& game, ClockTicks now);
// The run's control state as a run starts: no key held, the menu closed,
// nothing chosen (the rest of the run stays as it is).
void freshControls(Run& run);
// The viewer of a replay holds it (or lets it go on), as Escape does.
void holdReplay(Game& game, bool held);

struct Pixel {
  int r, g, b;
};
// The pixel at window coordinates (x right, y down from the top) of the back buffer.
Pixel readPixel(int x, int y);
// The RGB bytes of a box of the back buffer, its top-left at window (x, y).
std::vector<unsigned char> readRegion(int x, int y, int width, int height);
// Renders one pass of the frame loop without presenting it and without input.
void renderOnly(Game& game);

// Runs a command, returning its exit code and what it wrote to stdout.
int runCommand(const std::string& command, std::string& output);
