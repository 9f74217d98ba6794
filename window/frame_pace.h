#pragma once
// The frame loop against the display: passes no faster than the monitor
// refreshes, and no drawing at all while a still screen (the pause menu,
// game over) shows what it showed last. Neither changes the game's pace:
// each pass runs every update tick that came due, however far apart they are.

#include <vector>

// The refresh rate assumed when the monitor does not say.
constexpr int kDefaultRefreshRate = 60;
// How long a still screen sleeps when no event comes: pads are not events,
// so they are read this often.
constexpr double kStillScreenWake = 1.0 / 30.0;

// What a still screen shows: the mode with its choice, in a viewport.
struct StillPicture {
  int picture = -1;  // -1: not a still screen, the picture moves
  int viewport[4] = {0, 0, 0, 0};
  bool operator==(const StillPicture& other) const;
};

struct FramePace {
  bool capped = true;           // false: present as fast as the driver allows
  double period = 1.0 / kDefaultRefreshRate;  // seconds, at least, from one pass to the next
  double nextPass = 0.0;        // when the next pass may start, on GLFW's timer
  StillPicture shown;           // the still picture last presented
  bool exposed = false;         // the window asked to be drawn again since
};

// The pace for the primary monitor, at the refresh rate of its video mode.
// Capped, it asks the current context for a swap interval of 1 and a pass
// per refresh; uncapped (benchmarks, --uncapped), for 0 and no waiting.
// Whoever listens to the window sets `exposed` on its expose events, which
// ask for a redraw.
FramePace framePace(bool uncapped);
// Seconds per pass at a refresh rate; kDefaultRefreshRate where it is unknown (0 or less).
double refreshPeriod(int refreshRate);

// How long to wait, at time `now`, before the next pass starts, so that
// passes start no closer than `period` apart; moves nextPass on. A pass that
// is late keeps the schedule if it lost less than a period, else starts it
// afresh, so a stall is never made up with a burst of passes.
double passWait(double now, double& nextPass, double period);
// Waits out passWait, handling the window's events meanwhile (capped only).
void waitForNextPass(FramePace& pace);

// Whether this pass must draw: always, unless the picture is still and the
// same as the one last presented, with no expose since. Remembers `now` as
// shown when it says to draw.
bool mustDraw(FramePace& pace, const StillPicture& now);
// A pass of a still screen that has nothing new to show: sleeps until an
// event or kStillScreenWake.
void sleepOnStillScreen();

// The display's period as the passes it calls show it, where nothing else
// tells it (a browser calls a pass at each of its frames): the median of the
// first kMeasuredIntervals intervals between passes.
constexpr int kMeasuredIntervals = 15;
struct PassPeriod {
  double lastPass = -1.0;        // seconds, on the caller's clock; below 0 before the first
  std::vector<double> intervals;  // the first ones, up to kMeasuredIntervals
  double period = 0.0;           // seconds, once measured; 0 until then
};
// Notes a pass that starts at `now` seconds. True on the pass that completes
// the measure, when `period` is set; the measure is kept from then on.
bool notePassStart(PassPeriod& measure, double now);
