// Blows both ways, the score, lives, game over and the stage-clear sequence.
#include <gtest/gtest.h>

#include "app/pass_ticks.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/frames.h"
#include "app/frame_loop.h"
#include "rules/hits.h"
#include "rules/update_ticks.h"
#include "screens/hud.h"
#include "tests/gl_fixture.h"

namespace {

class Hits : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
  }
  Player& hero() { return *game->run.tovan; }
  Character& enemyAt(float x, float level = 1.0f) {
    spawnEnemy(game->run.enemies, 1, x, hero().getPosition().getX(), level);
    return game->run.enemies.back();
  }
  // The hero's blow box, live, as a punch or kick would place it.
  void heroBlow(float halfWidth, float halfHeight, float factor) { hero().setAttackBox(halfWidth, halfHeight, factor, game->run.enemies); }
  // Lets enemy i strike: a live blow that has not landed.
  void enemyStrikes(size_t i) {
    Character& e = game->run.enemies[i];
    e.attackBox = AttackBox(Hitbox(Position(e.getPosition().getX() - 0.0625f, 0.0f), 0.035f, 0.6f),
                            static_cast<int>(e.power * 0.5));
    e.attackActive = true;
    e.blowLanded = false;
  }

  // The hero at the stage's end, its poses starting at kStart.
  void endStage() {
    hero().position.x = hero().hitbox.position.x = kStageEndX;
    game->run.stageOver = true;
    game->run.tickClock = game->run.clearClock = kStart;
    game->run.endFrameIndex = 0;
  }
  // Passes every millisecond up to `at` ms after kStart.
  void passUntil(ClockTicks at) {
    for (ClockTicks t = game->run.tickClock; t <= kStart + at; ++t) {
      setGameClock(t);
      runDueTicks(*game, t);
    }
  }

  static constexpr ClockTicks kStart = 300000;
  Game* game = nullptr;
};

TEST_F(Hits, LevelDecidesHowManyBlowsTakeALife) {
  for (const auto& [level, fatal, health] : {std::tuple{1.0f, 20, 0}, std::tuple{2.0f, 17, -10}}) {
    freshStage(*game, kStart);
    game->run.level = level;
    int blows = 0;
    while (hero().lives == kStartLives && blows < 100) {
      if (game->run.enemies.empty() || game->run.enemies[0].getPosition().getX() != 0.05f) {
        clearRoster(game->run.enemies);
        enemyAt(0.05f, level);
      }
      enemyStrikes(0);
      const int before = hero().getHealth();
      if (resolveHits(hero(), game->run.enemies, level, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
      ++blows;
      if (hero().lives == kStartLives) {
        EXPECT_EQ(hero().getHealth(), before - (level == 1.0f ? 25 : 30));
      } else {
        EXPECT_EQ(before - (level == 1.0f ? 25 : 30), health);
      }
    }
    EXPECT_EQ(blows, fatal) << "level " << level;
  }
}

TEST_F(Hits, AnEnemyBlowLandsOnceAndASurvivedBlowResetsTheMultiplier) {
  enemyAt(0.05f);
  enemyStrikes(0);
  hero().scoreMultiplier = 2.0f;
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(hero().getHealth(), 475);
  EXPECT_FLOAT_EQ(hero().scoreMultiplier, 1.0f);
}

TEST_F(Hits, TwoPunchesOrOneKickDefeatAnEnemy) {
  enemyAt(0.1f);
  heroBlow(0.035f, 0.6f, 0.5f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;  // the same box does not hit twice
  EXPECT_EQ(game->run.enemies[0].getHealth(), 50);
  heroBlow(0.035f, 0.6f, 0.5f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_TRUE(game->run.enemies[0].dying);

  enemyAt(0.15f);
  heroBlow(0.06f, 0.12f, 1.0f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_TRUE(game->run.enemies[1].dying);
}

TEST_F(Hits, OneBoxOverTwoEnemiesDamagesBothOnceAndTheDefeatedCannotBeHitAgain) {
  enemyAt(0.05f);
  enemyAt(0.12f);
  heroBlow(0.06f, 0.12f, 1.0f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_TRUE(game->run.enemies[0].dying);
  EXPECT_TRUE(game->run.enemies[1].dying);
  EXPECT_EQ(hero().getScore(), 75 + 100);
  heroBlow(0.06f, 0.12f, 1.0f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(game->run.enemies[0].getHealth(), 0);
  EXPECT_EQ(hero().getScore(), 175);
}

TEST_F(Hits, DefeatsScoreInARowUntilABlowIsTaken) {
  for (int expected : {75, 175, 300}) {
    enemyAt(0.1f);
    heroBlow(0.06f, 0.12f, 1.0f);
    if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
    EXPECT_EQ(hero().getScore(), expected);
    clearRoster(game->run.enemies);
  }
  hero().attackActive = false;
  enemyAt(0.05f);
  enemyStrikes(0);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  clearRoster(game->run.enemies);
  enemyAt(0.1f);
  heroBlow(0.06f, 0.12f, 1.0f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(hero().getScore(), 375);
}

TEST_F(Hits, TheRunsTotalKeepsWhatEveryLifeAndStageScored) {
  const auto defeatOne = [&] {
    clearRoster(game->run.enemies);
    enemyAt(0.1f);
    heroBlow(0.06f, 0.12f, 1.0f);
    if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  };
  defeatOne();
  defeatOne();
  EXPECT_EQ(hero().runScore, 175);
  // A lost life: the score starts again, the total does not.
  hero().attackActive = false;
  hero().health = 25;
  clearRoster(game->run.enemies);
  enemyAt(0.05f);
  enemyStrikes(0);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  ASSERT_EQ(hero().lives, kStartLives - 1);
  EXPECT_EQ(hero().getScore(), 0);
  defeatOne();
  EXPECT_EQ(hero().getScore(), 75);
  EXPECT_EQ(hero().runScore, 250);
  // A cleared stage: the same.
  endStage();
  passUntil(1016);
  EXPECT_EQ(game->run.level, 2.0f);
  EXPECT_EQ(hero().getScore(), 0);
  EXPECT_EQ(hero().runScore, 250);
  // Only a new game starts it again.
  restartGame(*game, kStart);
  EXPECT_EQ(hero().runScore, 0);
}

TEST_F(Hits, ADyingEnemysLiveBlowStillLandsOnce) {
  enemyAt(0.05f);
  enemyStrikes(0);
  heroBlow(0.06f, 0.12f, 1.0f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_TRUE(game->run.enemies[0].dying);
  EXPECT_EQ(hero().getHealth(), 475);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(hero().getHealth(), 475);
}

TEST_F(Hits, ALostLifeTakesTheRightmostHeartAndStartsTheStageAgain) {
  hero().position.x = hero().hitbox.position.x = 2.0f;
  hero().score = 300;
  hero().health = 25;
  enemyAt(2.05f);
  enemyStrikes(0);
  const float secondLastRight = game->run.hearts[3].vertices[6];
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(hero().lives, 4);
  ASSERT_EQ(game->run.hearts.size(), 4u);
  EXPECT_FLOAT_EQ(game->run.hearts[3].vertices[6], secondLastRight);  // -0.2 .. -0.1 is gone
  EXPECT_FLOAT_EQ(game->run.hearts[3].vertices[6], -0.2f);
  EXPECT_EQ(hero().getPosition().getX(), 0.0f);
  EXPECT_EQ(hero().getHealth(), 500);
  EXPECT_EQ(hero().getScore(), 0);
  EXPECT_EQ(game->run.enemies.size(), 25u);
  EXPECT_GT(game->run.enemies[0].getPosition().getX(), 1.0f);
  EXPECT_FALSE(game->run.stageOver);
}

TEST_F(Hits, TheLastLifeEndsTheGameOnAScreenCoveringEverything) {
  hero().lives = 1;
  game->run.hearts.resize(1);
  hero().health = 10;
  enemyAt(0.05f);
  enemyStrikes(0);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(hero().lives, 0);
  EXPECT_TRUE(game->run.hearts.empty());
  EXPECT_TRUE(game->run.stageOver);
  EXPECT_EQ(chooseMode(game->run), FrameMode::GameOver);
  renderOnly(*game);
  // The game-over picture reaches into the band where the hearts were.
  const Pixel band = readPixel(100, 585);
  EXPECT_FALSE(band.r == 51 && band.g == 51 && band.b == 51);
  const Pixel top = readPixel(400, 20);
  EXPECT_FALSE(top.r == 51 && top.g == 51 && top.b == 51);
}

TEST_F(Hits, StageClearPosesByTimeThenTheNextLevel) {
  Player& p = hero();
  endStage();
  // The ticks fall every 50/3 ms from the stage's end: a pose shows from the
  // first tick past its time.
  const std::pair<ClockTicks, int> poses[] = {{16, 0},  {200, 0}, {216, 1}, {400, 1}, {416, 0},
                                              {600, 0}, {616, 1}, {800, 1}, {816, 2}, {1000, 2}};
  for (const auto& [at, pose] : poses) {
    passUntil(at);
    ASSERT_EQ(chooseMode(game->run), FrameMode::StageClear);
    EXPECT_EQ(textureOf(game->drawing, p.shown), game->drawing.endFrames[pose]) << at;
    EXPECT_TRUE(p.enlarged);
  }
  passUntil(1016);
  EXPECT_EQ(textureOf(game->drawing, p.shown), game->drawing.endFrames[3]);
  EXPECT_FALSE(game->run.stageOver);
  EXPECT_FALSE(p.enlarged);
  EXPECT_EQ(game->run.level, 2.0f);
  EXPECT_EQ(p.getPosition().getX(), 0.0f);
  EXPECT_EQ(p.getHealth(), 500);
  EXPECT_EQ(p.lives, 5);
  EXPECT_EQ(game->run.hearts.size(), 5u);
  EXPECT_EQ(game->run.enemies.size(), 35u);
  EXPECT_EQ(game->run.enemies[0].power, 60);
}

}  // namespace
