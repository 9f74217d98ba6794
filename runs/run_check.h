#pragma once
// A recorded run checked with the rules alone: read, played back tick by
// tick as fast as ticks go, and its state compared with what was recorded.
// Nothing is drawn or heard; no window, display or sound device is needed.

#include <cstdint>
#include <memory>
#include <string>

#include "rules/run.h"
#include "runs/run_file.h"
#include "runs/run_log.h"

// A run is a few lines a second of play; one of hours is still a few megabytes.
constexpr std::int64_t kLargestRunFile = 64LL * 1024 * 1024;
// Why a larger file is refused, before a byte of it is read.
constexpr const char* kRunFileTooLarge = "larger than any run";
// Why a name that is no regular file that can be read is refused.
constexpr const char* kRunFileUnreadable = "no such file, or not a regular file that can be read";

// Reads the run file at `path`. On failure returns false and says why in
// `why` (missing, not a file, too large, or which line is wrong).
// `stopAsked` as parseRunFile takes it. The file's text is let go once read:
// the events are then all that is held of it.
bool readRunFile(const std::string& path, RunFile& run, std::string& why, bool (*stopAsked)() = nullptr);

// `run` started afresh as `file` starts, and `log` ready to play the file
// back into it: tick the run with the log (runLoggedTick, runs/run_log.h).
void startReplaying(Run& run, RunLog& log, const RunFile& file);
void startReplaying(Run& run, RunLog& log, std::shared_ptr<const RunFile> file);

// What a check may cost, in steps: a tick is kTickSteps, and each enemy on
// the roster at it one more (a tick's work grows with the roster). A check
// goes as far as the most a run the game recorded can cost: 4 hours of game
// time at the shortest tick it ever ran (3 ms: 4.8 million ticks) with
// kCheckedRoster enemies at every tick, or at its pace now (60 ticks a
// second) with more than 250. A file that would cost more was not played:
// it is given up on there, so that any file is judged in seconds.
constexpr long long kTickSteps = 8;
constexpr long long kCheckedRoster = 40;
constexpr long long kMostCheckSteps =
    kLongestRunMs * kClassicPace.den / kClassicPace.num * (kTickSteps + kCheckedRoster);

// What a check found.
struct RunVerdict {
  bool same = false;     // the replay ends in the recorded state, as recorded all along
  std::int64_t ticks = 0;       // the ticks it ran
  std::int64_t differsAt = -1;  // the first hash line whose tick differs, or -1
  bool whole = false;    // it reached the run's last tick
  bool tooCostly = false;  // given up on: more work than any real run takes
  bool stopped = false;  // a stop was asked for before the end
  long long score = 0;   // the score and the level at the end of the replay
  int level = 0;
  std::string says;      // the verdict in words, one line without its end
};
// The verdict as nombre-check says it after a run's name: a run that checks
// ends with its score and the level it reached.
std::string verdictLine(const RunVerdict& verdict);
// Plays `file` back on a run of its own and compares. `stopAsked`, when
// given, is asked every few thousand steps (a fraction of a millisecond):
// true stops the check there.
// Events that fall on one tick are taken a few thousand at a time between
// the asks, so a stop is heard however many a file holds.
RunVerdict checkRun(std::shared_ptr<const RunFile> file, bool (*stopAsked)() = nullptr,
                    long long mostSteps = kMostCheckSteps);
// The same on a copy of `file`.
RunVerdict checkRun(const RunFile& file, bool (*stopAsked)() = nullptr, long long mostSteps = kMostCheckSteps);
