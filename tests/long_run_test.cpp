// A game left running for weeks: past 2^31 ms (24.8 days) a 32-bit count of
// milliseconds turns negative, and past 2^32 an unsigned one starts again.
// Every timer must read the same there as in the first minutes of a run.
#include <gtest/gtest.h>

#include <cstdint>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/frames.h"
#include "rules/control_rules.h"
#include "tests/gl_fixture.h"

namespace {

constexpr std::int64_t k2To31 = std::int64_t{1} << 31;
constexpr std::int64_t k2To32 = std::int64_t{1} << 32;
// Starts 100 ms before an edge, so the timelines below run across it, and
// just after one, where an enemy's clock starts from 0 as at any spawn.
const std::int64_t kStarts[] = {100000, k2To31 - 100, k2To31 + 100, k2To32 - 100, std::int64_t{1} << 40};

class LongRun : public ::testing::TestWithParam<std::int64_t> {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, start());
  }
  static ClockTicks start() { return GetParam(); }
  Player& hero() { return *game->run.tovan; }
  Game* game = nullptr;
};

TEST_P(LongRun, ElapsedTimeIsExact) {
  EXPECT_EQ(elapsedMs(start() + 350, start()), 350.0);
  EXPECT_EQ(elapsedMs(start(), start() + 350), -350.0);
  EXPECT_EQ(elapsedMs(start() + 1, start()), 1.0);
}

TEST_P(LongRun, AnEnemySpawnedNowWalksThroughItsFourImages) {
  spawnEnemy(game->run.enemies, 1, 1.0f, hero().getPosition().getX(), 1.0f);  // close enough to walk up to the hero
  // Spawned with its clock at 0: long past, so the last image shows and the cycle restarts.
  const std::pair<ClockTicks, int> steps[] = {{0, 4},   {150, 4}, {201, 1}, {401, 2},
                                              {601, 3}, {801, 4}, {1002, 1}};
  for (const auto& [at, frame] : steps) {
    setGameClock(start() + at);
    game->run.enemies.back().updateNPC(hero().getPosition(), game->run.chance, wallClock());
    EXPECT_EQ(game->run.enemies.back().state, EnemyApproach) << at;
    EXPECT_EQ(textureOf(game->drawing, game->run.enemies.back().shown), game->drawing.enemyFrames[frame]) << at;
  }
}

TEST_P(LongRun, APunchShowsItsImagesAndIsLiveInItsWindow) {
  hero().playerFrame = 2;
  setGameClock(start());
  hero().update(kPunch, wallClock(), game->run.enemies);
  struct Step {
    ClockTicks at;
    int frame;
    bool live;
  };
  const Step steps[] = {{100, 2, false}, {101, 5, false}, {201, 6, false}, {347, 6, false}, {348, 6, true}};
  for (const Step& s : steps) {
    setGameClock(start() + s.at);
    hero().update(kNoControl, wallClock(), game->run.enemies);
    EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[s.frame]) << s.at;
    EXPECT_EQ(hero().isAttacking(), s.live) << s.at;
  }
  setGameClock(start() + 351);
  hero().update(kNoControl, wallClock(), game->run.enemies);
  EXPECT_EQ(hero().state, Idle);
  EXPECT_FALSE(hero().isAttacking());
}

INSTANTIATE_TEST_SUITE_P(Starts, LongRun, ::testing::ValuesIn(kStarts));

}  // namespace
