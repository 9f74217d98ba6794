#pragma once
// Time in the game: milliseconds. The wall clock is the process's one
// monotonic reading (tests pin it to chosen values). Each run keeps its own
// game time (RunClock), which runs with the wall clock while the run plays
// and stands still while it is paused, so every timer of the run resumes
// after a pause exactly where it stopped; the rules take their time from the
// tick they run, never from a clock.

#include <cstdint>

// 64 bits: a 32-bit count of milliseconds would wrap after 24.8 days.
using ClockTicks = std::int64_t;

// Wall milliseconds since the process started, or the pinned value.
ClockTicks wallClock();
// Pins the wall clock to ms until releaseGameClock() (tests only).
void setGameClock(ClockTicks ms);
void releaseGameClock();

// A run's game time. Whoever hands the run its inputs looks at the clock
// (moveOn) right before each one and once a pass, so between two looks the
// run was either playing or paused all along, as it is at the later look.
struct RunClock {
  ClockTicks time = 0;      // game time at the last look
  ClockTicks wallSeen = 0;  // the wall clock then
  bool seen = false;        // looked at since the run began
};
// Moves the game time on by the wall time since the last look unless the
// run is `stopped` now; returns it. A clock never looked at takes the wall's
// reading.
ClockTicks moveOn(RunClock& clock, ClockTicks wall, bool stopped);
// From this look on, game time reads ms.
void setRunTime(RunClock& clock, ClockTicks ms, ClockTicks wall);

// later - earlier as a count of milliseconds.
double elapsedMs(ClockTicks later, ClockTicks earlier);

// The length of an update tick, num/den ms of game time, and what goes with
// it. Every move is a step per tick, so the tick sets the pace of the game.
struct TickPace {
  ClockTicks num;
  ClockTicks den;
  int mostPerPass;  // ticks a pass may catch up; a longer stall is dropped
  // Runs recorded at 3 ms ticks (run files of versions 1 and 2) keep the
  // blows as they were then: a standing blow that a stall carried past its
  // whole window never went live, and the low kick struck on the next tick.
  bool classic;
};
// 60 ticks a second, the pace the game's steps were made for: 16 or 17 ms
// apart, tick n at exactly n x 50/3 ms, so nothing drifts over an hour.
constexpr TickPace kGamePace{50, 3, 6, false};
// 333 ticks a second, as the first recordings were played.
constexpr TickPace kClassicPace{3, 1, 20, true};

// The game time of `ticks` ticks at `pace` (whole ms, rounded down).
inline ClockTicks ticksTime(const TickPace& pace, std::int64_t ticks) { return ticks * pace.num / pace.den; }
