#include "app/clock.h"

#include <chrono>

namespace {

const auto processStart = std::chrono::steady_clock::now();
bool pinned = false;
ClockTicks pinnedValue = 0;

}  // namespace

ClockTicks gameClock() {
  if (pinned) return pinnedValue;
  const auto since = std::chrono::steady_clock::now() - processStart;
  return static_cast<ClockTicks>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void setGameClock(ClockTicks ms) {
  pinned = true;
  pinnedValue = ms;
}

void releaseGameClock() { pinned = false; }

double elapsedMs(ClockTicks later, ClockTicks earlier) { return static_cast<double>(later - earlier); }
