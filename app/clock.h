#pragma once
// The game's one clock: wall-clock milliseconds since the process started.
// Every timer of the game reads it; tests pin it to chosen values.

using ClockTicks = int;

// Milliseconds of real time since start, or the pinned value while one is set.
ClockTicks gameClock();

// Pins the clock to ms until releaseGameClock() (tests only).
void setGameClock(ClockTicks ms);
void releaseGameClock();

// later - earlier as a count of milliseconds.
double elapsedMs(ClockTicks later, ClockTicks earlier);
