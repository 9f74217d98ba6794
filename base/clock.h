#pragma once
// The game's one clock: milliseconds of game time. It runs with the wall
// clock while the game plays and stands still while play is paused, so every
// timer of the game resumes after a pause exactly where it stopped. Tests pin
// the wall side of it to chosen values, and the frame loop holds it at each
// update tick's own time while the tick runs.

#include <cstdint>

// 64 bits: a 32-bit count of milliseconds would wrap after 24.8 days.
using ClockTicks = std::int64_t;

// Game time: wall milliseconds since start (or the pinned value) less every
// pause so far; while paused, the time the pause began; while held, the held
// reading.
ClockTicks gameClock();

// Pins the wall side of the clock to ms until releaseGameClock() (tests only).
void setGameClock(ClockTicks ms);
void releaseGameClock();

// Play pauses: game time stands still until resumeGameClock(). Each is a
// no-op when the clock already is in that state.
void pauseGameClock();
void resumeGameClock();
bool gameClockPaused();
// From now on the game clock reads ms and runs on from there (a replay takes
// up the time its run started at, and falls back when it lags behind).
void setGameTime(ClockTicks ms);
// Running, no pause counted, nothing pinned or held: as at process start.
void resetGameClock();

// Holds the clock at one reading for as long as it lives, then gives back
// whatever the clock did before.
class HeldClock {
 public:
  explicit HeldClock(ClockTicks ms);
  ~HeldClock();
  HeldClock(const HeldClock&) = delete;
  HeldClock& operator=(const HeldClock&) = delete;

 private:
  bool wasHeld;
  ClockTicks wasValue;
};

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
