// One update tick of play away from the screen: the update pass (hero and
// every enemy) and the resolution of blows, for rosters of several sizes.
#include <benchmark/benchmark.h>

#include "bench/bench_game.h"
#include "enemies/roster.h"
#include "rules/update_ticks.h"
#include "rules/control_rules.h"
#include "rules/hits.h"

namespace {

constexpr float kHeroX = 3.0f;
// Enemies from 2.5 behind the hero to 2.5 ahead: those within 1.5 walk up to
// him and strike, the rest stand.
constexpr float kSpread = 2.5f;
constexpr float kLevel = 12.0f;
// The game ticks every 50/3 ms; each tick here moves the pinned clock on by
// a little more, so walks and blows play out as they would in play.
constexpr ClockTicks kTickMs = 17;
// Approaching enemies bunch up on the hero; the roster is set out afresh
// this often so every measurement sees the same mix of idle, walking and striking.
constexpr int kTicksPerLayout = 256;
// Blows land but never take a life, so the roster is never replaced by a new wave.
constexpr int kUnbeatable = 1 << 30;

void setOut(Game& game, int count, ClockTicks now) {
  freshBenchStage(game, now);
  game.run.level = kLevel;
  Player& hero = *game.run.tovan;
  placeHero(hero, kHeroX);
  hero.health = kUnbeatable;
  spreadRoster(game.run, count, kHeroX - kSpread, kHeroX + kSpread, kLevel);
}

void BM_UpdateTick(benchmark::State& state) {
  Game& game = benchGame(false);
  Player& hero = *game.run.tovan;
  const int count = static_cast<int>(state.range(0));
  ClockTicks now = 1000;
  setOut(game, count, now);
  const int lives = hero.lives;
  int ticks = 0;
  for (auto _ : state) {
    now += kTickMs;
    setGameClock(now);
    updateCharacters(hero, game.run.enemies, game.run.controlCode, game.run.chance, wallClock());
    if (resolveHits(hero, game.run.enemies, game.run.level, game.run.hearts, game.run.chance, wallClock())) game.run.stageOver = true;
    if (++ticks == kTicksPerLayout) {
      state.PauseTiming();
      if (static_cast<int>(game.run.enemies.size()) != count || hero.lives != lives) {
        state.SkipWithError("the roster changed during the ticks");
        break;
      }
      setOut(game, count, now);
      ticks = 0;
      state.ResumeTiming();
    }
  }
  if (static_cast<int>(game.run.enemies.size()) != count) state.SkipWithError("the roster changed during the ticks");
  state.SetItemsProcessed(state.iterations() * count);
  state.SetComplexityN(count);
  freshBenchStage(game, now);
  releaseGameClock();
}

}  // namespace

BENCHMARK(BM_UpdateTick)->Arg(25)->Arg(140)->Arg(1000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
