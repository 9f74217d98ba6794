#include "base/clock.h"

#include <chrono>

namespace {

const auto processStart = std::chrono::steady_clock::now();
bool pinned = false;
ClockTicks pinnedValue = 0;
bool held = false;
ClockTicks heldValue = 0;
bool paused = false;
ClockTicks pausedAt = 0;     // wall reading when the current pause began
ClockTicks pausedTotal = 0;  // wall milliseconds spent in pauses that ended

ClockTicks wallClock() {
  if (pinned) return pinnedValue;
  const auto since = std::chrono::steady_clock::now() - processStart;
  return static_cast<ClockTicks>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

ClockTicks gameClock() {
  if (held) return heldValue;
  return (paused ? pausedAt : wallClock()) - pausedTotal;
}

void setGameClock(ClockTicks ms) {
  pinned = true;
  pinnedValue = ms;
}

void releaseGameClock() { pinned = false; }

void pauseGameClock() {
  if (paused) return;
  paused = true;
  pausedAt = wallClock();
}

void resumeGameClock() {
  if (!paused) return;
  paused = false;
  pausedTotal += wallClock() - pausedAt;
}

bool gameClockPaused() { return paused; }

void setGameTime(ClockTicks ms) { pausedTotal += gameClock() - ms; }

void resetGameClock() {
  pinned = held = paused = false;
  pausedTotal = 0;
}

HeldClock::HeldClock(ClockTicks ms) : wasHeld(held), wasValue(heldValue) {
  held = true;
  heldValue = ms;
}

HeldClock::~HeldClock() {
  held = wasHeld;
  heldValue = wasValue;
}

// The difference is taken in 64 bits, exact for any two readings of a run;
// a double holds every count of milliseconds below 2^53 exactly.
double elapsedMs(ClockTicks later, ClockTicks earlier) { return static_cast<double>(later - earlier); }
