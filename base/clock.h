#pragma once
// The game's one clock: wall-clock milliseconds since the process started.
// Every timer of the game reads it; tests pin it to chosen values, and the
// frame loop holds it at each update tick's own time while the tick runs.

#include <cstdint>

// 64 bits: a 32-bit count of milliseconds would wrap after 24.8 days.
using ClockTicks = std::int64_t;

// Milliseconds of real time since start, or the pinned value while one is set.
ClockTicks gameClock();

// Pins the clock to ms until releaseGameClock() (tests only).
void setGameClock(ClockTicks ms);
void releaseGameClock();

// Holds the clock at one reading for as long as it lives, then gives back
// whatever the clock did before (real time, or a test's pin).
class HeldClock {
 public:
  explicit HeldClock(ClockTicks ms);
  ~HeldClock();
  HeldClock(const HeldClock&) = delete;
  HeldClock& operator=(const HeldClock&) = delete;

 private:
  bool wasPinned;
  ClockTicks wasValue;
};

// later - earlier as a count of milliseconds.
double elapsedMs(ClockTicks later, ClockTicks earlier);
