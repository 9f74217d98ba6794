// The same recorded fight replayed through the real renderer on every build,
// so two builds are compared on identical frames.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/frame_loop.h"
#include "app/replay.h"
#include "bench/bench_game.h"
#include "bench/modes.h"
#include "bench/table.h"
#include "tests/replay/scripted_play.h"

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int runReplayedFight() {
  Game& game = benchGame(true);
  // Level 12: the hero walks into the wave and fights it, a pass every 16 ms.
  std::string text = playScripted(game, {{Act::Walk, 2500}, {Act::Fight, 5000}}, 16, 12.0f);
  // A run file starts at level 1, as every game does: this one is read as one
  // and played back from level 12, where it was recorded.
  const std::string recordedLevel = " level 12 ";
  text.replace(text.find(recordedLevel), recordedLevel.size(), " level 1 ");
  RunFile run;
  std::string why;
  if (!parseRunFile(text, run, why)) {
    std::fprintf(stderr, "nombre_bench: the recorded fight does not read back: %s\n", why.c_str());
    return 1;
  }
  run.level = 12.0f;
  beginReplay(game, run);
  const RunLog& log = game.log;
  long passes = 0;
  const double cpuStart = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  while (!log.replayDone(game.run)) {
    runFrame(game);
    ++passes;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = cpuSeconds() - cpuStart;
  const bool same = log.endsAsRecorded(game.run) && log.firstDifference() < 0;
  game.log = RunLog();
  if (!same) {
    std::fprintf(stderr, "nombre_bench: the replayed fight did not end as recorded\n");
    return 1;
  }
  const std::string name = "replayed fight, level 12 (" + std::to_string(run.endTick) + " ticks)";
  printRow(name, static_cast<double>(passes) / seconds, "passes/s", 0);
  printRow("  CPU time per pass (all threads)", 1000.0 * cpu / static_cast<double>(passes), "ms", 3);
  return 0;
}

int runWatchedPasses(const char* path) {
  RunFile run;
  if (!loadRun(path, run)) return 1;
  Game& game = benchGame(true);
  releaseGameClock();  // the run's own pace, on the real clock
  beginReplay(game, run);
  // A pass every 60th of a second, as a browser calls the page's, each timed alone.
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::microseconds(16667);
  std::vector<double> passMs;
  auto next = Clock::now();
  while (!game.log.replayDone(game.run)) {
    const auto start = Clock::now();
    runFrame(game);
    passMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    next += period;
    std::this_thread::sleep_until(next);
  }
  game.log = RunLog();
  std::sort(passMs.begin(), passMs.end());
  printRow("watched run, " + std::to_string(run.endTick) + " ticks: passes", static_cast<double>(passMs.size()), "", 0);
  printRow("  a pass, median", passMs[passMs.size() / 2], "ms", 3);
  printRow("  a pass, 90th percentile", passMs[passMs.size() * 9 / 10], "ms", 3);
  return 0;
}
