#pragma once
// Runs played by a script instead of a person, through the real control
// rules and recorded as the game records any run: the fixtures of the replay
// tests and of the replayed benchmark.

#include <string>
#include <vector>

#include "app/frame_loop.h"

// What the scripted player does for a while.
enum class Act {
  Walk,   // holds Right
  Stand,  // holds nothing
  Fight,  // kicks what is in reach in front, turns to what is close behind, else walks on
  Pause,  // opens the menu, waits, closes it with Escape
  Stall,  // no pass for the step's time, then one (the game stalled)
};

struct Step {
  Act act;
  ClockTicks ms;  // of wall time; a Fight step also ends once `untilLevel` is reached
  float untilLevel = 0.0f;
};

// Plays `steps` on `game` from a fresh run at `level` starting at game time
// `start`, a pass every `passMs` ms of a pinned wall clock, and returns the
// recorded run (also recorded into `file`, if given, as the game records).
std::string playScripted(Game& game, const std::vector<Step>& steps, ClockTicks passMs, float level = 1.0f,
                         ClockTicks start = 5000, class RecordingFile* file = nullptr);

// Plays the run in `text` back on `game` with a pass every `passMs` ms, each
// pass running the ticks due as the frame loop does. Returns the run's hash
// at its end (the digest of every tick, for a run of this version); `differsAt` is the first tick whose recorded hash differs (-1: none).
std::uint64_t replayAtPasses(Game& game, const std::string& text, ClockTicks passMs, std::int64_t* differsAt = nullptr);
