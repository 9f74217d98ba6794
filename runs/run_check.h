#pragma once
// A recorded run checked with the rules alone: read, played back tick by
// tick as fast as ticks go, and its state compared with what was recorded.
// Nothing is drawn or heard; no window, display or sound device is needed.

#include <string>

#include "rules/run.h"
#include "runs/run_file.h"

// A run is a few lines a second of play; one of hours is still a few megabytes.
constexpr long kLargestRunFile = 64L * 1024 * 1024;

// Reads the run file at `path`. On failure returns false and says why in
// `why` (missing, not a file, too large, or which line is wrong).
bool readRunFile(const std::string& path, RunFile& run, std::string& why);

// Runs the next tick after the run's log has given it its inputs, and lets
// the log note it. Returns false, running nothing, while the menu is open,
// the game is over, or a replay has reached the end of its run.
bool runLoggedTick(Run& run);

// `run` started afresh as `file` starts, with `log` playing the file back into it.
void startReplaying(Run& run, RunLog& log, const RunFile& file);

// Plays a run started by startReplaying to the end of its file as fast as
// ticks go. False when it stops short of its last tick (the menu open or the
// game over where the file goes on).
bool playToEnd(Run& run, RunLog& log);

// What a check found.
struct RunVerdict {
  bool same = false;     // the replay ends in the recorded state, as recorded all along
  long ticks = 0;        // the ticks it ran
  long differsAt = -1;   // the first hash line whose tick differs, or -1
  bool whole = false;    // it reached the run's last tick
  std::string says;      // the verdict in words, one line without its end
};
// Plays `file` back on a run of its own and compares.
RunVerdict checkRun(const RunFile& file);
