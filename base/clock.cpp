#include "base/clock.h"

#include <chrono>

namespace {

const auto processStart = std::chrono::steady_clock::now();
bool pinned = false;
ClockTicks pinnedValue = 0;

}  // namespace

ClockTicks wallClock() {
  if (pinned) return pinnedValue;
  const auto since = std::chrono::steady_clock::now() - processStart;
  return static_cast<ClockTicks>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void setGameClock(ClockTicks ms) {
  pinned = true;
  pinnedValue = ms;
}

void releaseGameClock() { pinned = false; }

ClockTicks moveOn(RunClock& clock, ClockTicks wall, bool stopped) {
  if (!clock.seen) {
    clock.time = wall;
  } else if (!stopped) {
    clock.time += wall - clock.wallSeen;
  }
  clock.seen = true;
  clock.wallSeen = wall;
  return clock.time;
}

void setRunTime(RunClock& clock, ClockTicks ms, ClockTicks wall) {
  clock.time = ms;
  clock.wallSeen = wall;
  clock.seen = true;
}

// The difference is taken in 64 bits, exact for any two readings of a run;
// a double holds every count of milliseconds below 2^53 exactly.
double elapsedMs(ClockTicks later, ClockTicks earlier) { return static_cast<double>(later - earlier); }
