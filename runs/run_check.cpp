#include "runs/run_check.h"

#include "base/user_files.h"
#include "enemies/update_pass.h"
#include "rules/update_ticks.h"
#include "runs/run_log.h"

bool readRunFile(const std::string& path, RunFile& run, std::string& why) {
  std::string text;
  why = kRunFileUnreadable;
  bool tooLarge = false;
  // The size on disk is known before a byte is read: a huge file is refused
  // by it, never read into memory.
  if (readFileWhole(path, &text, kLargestRunFile, &tooLarge)) return parseRunFile(text, run, why);
  if (tooLarge) why = kRunFileTooLarge;
  return false;
}

bool runLoggedTick(Run& run) {
  if (run.log != nullptr) {
    run.log->beforeTick(run);
    if (!run.log->mayTick(run)) return false;
  }
  if (!runNextTick(run)) return false;
  if (run.log != nullptr) run.log->afterTick(run);
  return true;
}

void startReplaying(Run& run, RunLog& log, const RunFile& file) {
  beginRun(run, file.level, file.startClock, file.pace);
  log.beginReplay(file);
  run.log = &log;
}

bool playToEnd(Run& run, RunLog& log) {
  while (!log.replayDone(run)) {
    if (!runLoggedTick(run) && !log.replayDone(run)) return false;
  }
  return true;
}

RunVerdict checkRun(const RunFile& file, bool (*stopAsked)(), long long mostSteps) {
  Run run;
  RunLog log;
  startReplaying(run, log, file);
  RunVerdict verdict;
  long long steps = 0;
  constexpr long long kStepsBetweenAsks = 1 << 14;
  long long nextAsk = kStepsBetweenAsks;
  // Once a hash differs the verdict is known: the rest is not played.
  while (!log.replayDone(run) && log.firstDifference() < 0) {
    if (!runLoggedTick(run) && !log.replayDone(run)) break;
    steps += kTickSteps + static_cast<long long>(run.enemies.size());
    if (steps > mostSteps) {
      verdict.tooCostly = true;
      break;
    }
    if (steps >= nextAsk) {
      nextAsk = steps + kStepsBetweenAsks;
      if (stopAsked != nullptr && stopAsked()) {
        verdict.stopped = true;
        break;
      }
    }
  }
  verdict.ticks = run.ticksRun;
  verdict.whole = log.replayDone(run);
  verdict.differsAt = log.firstDifference();
  verdict.same = verdict.whole && verdict.differsAt < 0 && log.endsAsRecorded(run);
  verdict.score = run.tovan->runScore;
  verdict.level = static_cast<int>(run.level);
  const std::string ticks = std::to_string(run.ticksRun);
  if (verdict.stopped) {
    verdict.says = "the check was stopped at tick " + ticks;
  } else if (verdict.differsAt >= 0) {
    verdict.says = "the replay differs from the run, first at tick " + std::to_string(verdict.differsAt);
  } else if (verdict.tooCostly) {
    verdict.says = "given up at tick " + ticks + ": the replay would take more work than " +
                   std::to_string(kLongestRunHours) + " hours of any run the game records";
  } else if (!verdict.whole) {
    verdict.says = "the replay stops at tick " + ticks + ", before the run's end at " + std::to_string(file.endTick);
  } else if (!verdict.same) {
    verdict.says = "the replay ends in another state than the run (tick " + ticks + ")";
  } else {
    verdict.says = "the replay ends as the run did (" + ticks + " ticks)";
  }
  run.log = nullptr;
  return verdict;
}
