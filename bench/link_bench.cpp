// A run as a link: the cost of writing one and of reading it back, for the
// longest recorded fixture; and, as its own mode, how long a link runs of 1,
// 3 and 10 minutes of scripted play make.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/run_link.h"
#include "bench/bench_game.h"
#include "bench/modes.h"
#include "bench/table.h"
#include "tests/replay/scripted_play.h"

namespace {

std::string longestFixture() {
  std::ifstream in(std::string(NOMBRE_FIXTURES) + "/v3_long_game.nrep", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void BM_RunLinkWritten(benchmark::State& state) {
  const std::string text = longestFixture();
  std::size_t length = 0;
  for (auto _ : state) length = runLink(text).size();
  state.SetLabel("v3_long_game.nrep");
  state.counters["run bytes"] = static_cast<double>(text.size());
  state.counters["link bytes"] = static_cast<double>(length);
}
BENCHMARK(BM_RunLinkWritten)->Unit(benchmark::kMicrosecond);

void BM_RunLinkRead(benchmark::State& state) {
  const std::string link = runLink(longestFixture());
  std::string text;
  std::string why;
  for (auto _ : state) {
    if (!runTextFromLink(link, text, why)) state.SkipWithError(why.c_str());
  }
  state.SetLabel("v3_long_game.nrep");
}
BENCHMARK(BM_RunLinkRead)->Unit(benchmark::kMicrosecond);

}  // namespace

int runLinkLengths() {
  Game& game = benchGame(false);
  double bytesPerMinute = 0;
  for (const int minutes : {1, 10}) {
    // The scripted player walks into each wave and fights it, stands, and
    // pauses now and then, as a player does, until the time is up or it
    // loses its last life (it never lasts 10 minutes).
    std::vector<Step> steps;
    for (ClockTicks ms = 0; ms < minutes * 60000; ms += 30000) {
      steps.push_back({Act::Walk, 3000});
      steps.push_back({Act::Fight, 22000});
      steps.push_back({Act::Stand, 2000});
      steps.push_back({Act::Pause, 1000});
      steps.push_back({Act::Walk, 2000});
    }
    const std::string text = playScripted(game, steps, 16);
    RunFile run;
    std::string why;
    if (!parseRunFile(text, run, why)) {
      std::fprintf(stderr, "nombre_bench: the scripted run does not read back: %s\n", why.c_str());
      return 1;
    }
    const double seconds = static_cast<double>(run.endTick) * run.pace.num / run.pace.den / 1000.0;
    const double link = static_cast<double>(runLink(text).size());
    char name[160];
    std::snprintf(name, sizeof name, "scripted run of %.0f s of game time (%zu bytes of run file)", seconds,
                  text.size());
    printRow(name, link, "bytes of link", 0);
    bytesPerMinute = link * 60.0 / seconds;
  }
  // Longer runs, at the longest scripted run's bytes a minute.
  for (const int minutes : {3, 10}) {
    printRow(std::to_string(minutes) + " minutes at the longest run's rate", bytesPerMinute * minutes, "bytes of link", 0);
  }
  return 0;
}
