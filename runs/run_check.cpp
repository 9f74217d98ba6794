#include "runs/run_check.h"

#include "base/user_files.h"

bool readRunFile(const std::string& path, RunFile& run, std::string& why, bool (*stopAsked)()) {
  std::string text;
  why = kRunFileUnreadable;
  bool tooLarge = false;
  // The size on disk is known before a byte is read: a huge file is refused
  // by it, never read into memory.
  if (readFileWhole(path, &text, kLargestRunFile, &tooLarge)) return parseRunFile(text, run, why, stopAsked);
  if (tooLarge) why = kRunFileTooLarge;
  return false;
}

void startReplaying(Run& run, RunLog& log, const RunFile& file) {
  startReplaying(run, log, std::make_shared<const RunFile>(file));
}

void startReplaying(Run& run, RunLog& log, std::shared_ptr<const RunFile> file) {
  beginRun(run, file->level, file->startClock, file->pace);
  log.beginReplay(std::move(file));
}

RunVerdict checkRun(const RunFile& file, bool (*stopAsked)(), long long mostSteps) {
  return checkRun(std::make_shared<const RunFile>(file), stopAsked, mostSteps);
}

RunVerdict checkRun(std::shared_ptr<const RunFile> shared, bool (*stopAsked)(), long long mostSteps) {
  const RunFile& file = *shared;
  Run run;
  RunLog log;
  startReplaying(run, log, std::move(shared));
  RunVerdict verdict;
  long long steps = 0;
  constexpr long long kStepsBetweenAsks = 1 << 14;
  long long nextAsk = kStepsBetweenAsks;
  const auto stopHeard = [&] {
    if (stopAsked == nullptr || !stopAsked()) return false;
    verdict.stopped = true;
    return true;
  };
  // Once a hash differs the verdict is known: the rest is not played.
  while (!log.replayDone(run) && log.firstDifference() < 0) {
    bool stop = false;
    while (!stop && log.takeEventsDue(run, kStepsBetweenAsks)) stop = stopHeard();
    if (stop) break;
    if (!runLoggedTick(run, &log) && !log.replayDone(run)) break;
    steps += kTickSteps + static_cast<long long>(run.enemies.size());
    if (steps > mostSteps) {
      verdict.tooCostly = true;
      break;
    }
    if (steps >= nextAsk) {
      nextAsk = steps + kStepsBetweenAsks;
      if (stopHeard()) break;
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
  return verdict;
}

std::string verdictLine(const RunVerdict& verdict) {
  if (!verdict.same) return verdict.says;
  return verdict.says + "; score " + std::to_string(verdict.score) + ", level " + std::to_string(verdict.level);
}
