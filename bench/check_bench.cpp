// A recorded run checked with the rules alone, as nombre-check does, for
// each format of run file. A run of the first format is judged by its state
// hash alone; "with the digest folded" replays it as its check did before,
// folding the whole-state digest every tick for nothing, in the same run of
// the benchmark.
#include <benchmark/benchmark.h>

#include <string>

#include "runs/run_check.h"
#include "runs/run_digest.h"
#include "runs/run_log.h"

namespace {

const char* const kChecked[] = {"lost_life.nrep", "v2_long_game.nrep", "v3_long_game.nrep"};

RunFile fixture(const char* name) {
  RunFile file;
  std::string why;
  readRunFile(std::string(NOMBRE_FIXTURES) + "/" + name, file, why);
  return file;
}

void BM_CheckRun(benchmark::State& state) {
  const RunFile file = fixture(kChecked[state.range(0)]);
  state.SetLabel(kChecked[state.range(0)]);
  long ticks = 0;
  for (auto _ : state) {
    const RunVerdict verdict = checkRun(file);
    if (!verdict.same) state.SkipWithError("the run does not check");
    ticks = verdict.ticks;
  }
  state.counters["ticks"] = static_cast<double>(ticks);
  state.counters["ticks/s"] = benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CheckRun)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The first format's check as it was: the digest folded after every tick.
void BM_CheckRunWithTheDigestFolded(benchmark::State& state) {
  const RunFile file = fixture(kChecked[0]);
  state.SetLabel(kChecked[0]);
  for (auto _ : state) {
    Run run;
    RunLog log;
    startReplaying(run, log, file);
    std::uint64_t digest = kRunDigestStart;
    while (!log.replayDone(run)) {
      if (!runLoggedTick(run, &log)) break;
      digest = foldRunDigest(digest, run);
    }
    benchmark::DoNotOptimize(digest);
    if (!log.endsAsRecorded(run)) state.SkipWithError("the run does not check");
  }
}
BENCHMARK(BM_CheckRunWithTheDigestFolded)->Unit(benchmark::kMillisecond);

}  // namespace
