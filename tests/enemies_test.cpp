// Waves, reinforcements, enemy behaviour and the update pass.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/chance.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/frames.h"
#include "rules/control_rules.h"
#include "rules/hits.h"
#include "rules/update_ticks.h"
#include "tests/gl_fixture.h"

namespace {

class Enemies : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
  }
  Player& hero() { return *game->run.tovan; }
  void placeHero(float x) { hero().position.x = hero().hitbox.position.x = x; }
  Character& enemyAt(float x) {
    spawnEnemy(game->run.enemies, 1, x, hero().getPosition().getX(), 1.0f);
    return game->run.enemies.back();
  }
  void update(Character& enemy, ClockTicks ms) {
    setGameClock(ms);
    enemy.updateNPC(hero().getPosition(), game->run.chance, wallClock());
  }

  static constexpr ClockTicks kStart = 200000;
  Game* game = nullptr;
};

TEST_F(Enemies, WaveSizesAndClusterSpansByLevel) {
  const int perCluster[] = {5, 7, 9, 11, 13, 15, 17, 19, 21, 24, 26, 28};
  for (int level = 1; level <= 12; ++level) {
    clearRoster(game->run.enemies);
    placeHero(0.5f);
    spawnWave(game->run.enemies, hero(), static_cast<float>(level), game->run.chance);
    const int cluster = perCluster[level - 1];
    ASSERT_EQ(game->run.enemies.size(), static_cast<size_t>(5 * cluster)) << "level " << level;
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < cluster; ++j) {
        const Character& e = game->run.enemies[i * cluster + j];
        const float x = e.getPosition().getX();
        const float base = 0.5f + (i + 1) + 0.1f * (j + 1);
        EXPECT_GE(x, base - 1e-4f) << level;
        EXPECT_LE(x, base + 0.3f + 1e-4f) << level;
        EXPECT_EQ(e.frames, FrameSet::Enemy);
        EXPECT_EQ(e.power, 10 * level + 40);
        EXPECT_EQ(e.getHealth(), 100);
        // The quad is drawn relative to the hero, whom the view follows.
        EXPECT_FLOAT_EQ(e.vertices[0], 0.0725f + x - 0.5f);
      }
    }
  }
}

TEST_F(Enemies, ReinforcementsByChanceAndByTheHerosPlace) {
  struct Case {
    float heroX;
    float level;
    size_t spawned;
    float offset;  // of the first newcomer from the hero
  };
  // The choice comes from the clock: find a clock reading for each k.
  auto clockFor = [this](int k) {
    for (ClockTicks t = 1;; ++t) {
      seedChance(game->run.chance, static_cast<unsigned>(t));
      if (drawChance(game->run.chance) % 5 == k) return t;
    }
  };
  const struct {
    int k;
    Case c;
  } cases[] = {
      {0, {2.0f, 1.0f, 1, 1.0f}},   {0, {4.6f, 1.0f, 0, 0}},     {1, {2.0f, 1.0f, 1, -1.0f}},
      {1, {0.6f, 1.0f, 0, 0}},      {2, {2.0f, 1.0f, 3, -1.4f}}, {4, {0.69f, 1.0f, 0, 0}},
      {0, {0.0f, 1.0f, 1, 1.0f}},
  };
  for (const auto& [k, c] : cases) {
    clearRoster(game->run.enemies);
    placeHero(c.heroX);
    setGameClock(clockFor(k));
    spawnReinforcements(game->run.enemies, hero(), c.level, game->run.chance, wallClock());
    ASSERT_EQ(game->run.enemies.size(), c.spawned) << "k " << k << " at " << c.heroX;
    if (c.spawned == 1) {
      EXPECT_FLOAT_EQ(game->run.enemies[0].getPosition().getX(), c.heroX + c.offset);
      EXPECT_EQ(game->run.enemies[0].frames, FrameSet::Enemy2);  // singles are of the second kind
      EXPECT_FLOAT_EQ(game->run.enemies[0].speed, 0.007f);
    }
    if (c.spawned == 3) {
      // One clock tick: the same offset and kind for all three, 0.1 apart.
      for (int m = 0; m < 3; ++m) {
        const float x = game->run.enemies[m].getPosition().getX() - c.heroX;
        EXPECT_GE(x, -1.4f - 1e-4f);
        EXPECT_LE(x, -0.9f + 1e-4f);
        EXPECT_EQ(game->run.enemies[m].frames, game->run.enemies[0].frames);
      }
      EXPECT_NEAR(game->run.enemies[1].getPosition().getX() - game->run.enemies[0].getPosition().getX(), 0.1f, 1e-4);
      EXPECT_EQ(game->run.enemies[0].frames, FrameSet::Enemy);  // groups are of the first kind below level 3
    }
  }
}

TEST_F(Enemies, GroupsBringTheSecondKindFromLevelThree) {
  bool secondKindSeen = false;
  for (ClockTicks t = 1; t < 400 && !secondKindSeen; ++t) {
    seedChance(game->run.chance, static_cast<unsigned>(t));
    if (drawChance(game->run.chance) % 5 < 2) continue;
    clearRoster(game->run.enemies);
    placeHero(3.0f);
    setGameClock(t);
    spawnReinforcements(game->run.enemies, hero(), 3.0f, game->run.chance, wallClock());
    ASSERT_EQ(game->run.enemies.size(), 3u);
    secondKindSeen = game->run.enemies[0].frames == FrameSet::Enemy2;
  }
  EXPECT_TRUE(secondKindSeen);
}

TEST_F(Enemies, StateByDistanceToTheHero) {
  struct Case {
    float distance;
    int state;
  };
  const Case cases[] = {{0.0f, EnemyBlow}, {0.1f, EnemyBlow}, {0.11f, EnemyApproach},
                        {1.4999f, EnemyApproach}, {1.5f, EnemyIdle}, {-1.5f, EnemyIdle}, {-0.05f, EnemyBlow}};
  placeHero(2.0f);
  for (const Case& c : cases) {
    clearRoster(game->run.enemies);
    Character& e = enemyAt(2.0f + c.distance);
    update(e, kStart);
    EXPECT_EQ(e.state, c.state) << c.distance;
  }
}

TEST_F(Enemies, TheWalkCycleShowsEachImageFor200MsAndCarriesNoBlow) {
  placeHero(1.0f);
  Character& e = enemyAt(2.0f);
  e.clockStart = kStart;
  e.frameIndex = 1;
  // Time since the clock's last restart, and the walk image shown after the update.
  const std::pair<ClockTicks, int> steps[] = {{150, 1}, {200, 1}, {201, 1}, {400, 1}, {401, 2},
                                              {600, 2}, {601, 3}, {800, 3}, {801, 4}};
  for (const auto& [at, frame] : steps) {
    e.attackActive = true;  // a blow left over from a fight
    update(e, kStart + at);
    EXPECT_EQ(e.state, EnemyApproach);
    EXPECT_EQ(textureOf(game->drawing, e.shown), game->drawing.enemyFrames[frame]) << at;
    EXPECT_FALSE(e.isAttacking()) << at;
  }
  // The last image restarted the clock: the cycle begins again from it.
  update(e, kStart + 801 + 200);
  EXPECT_EQ(textureOf(game->drawing, e.shown), game->drawing.enemyFrames[4]);
  update(e, kStart + 801 + 201);
  EXPECT_EQ(textureOf(game->drawing, e.shown), game->drawing.enemyFrames[1]);
  // Standing idle, far from the hero, carries no blow either.
  placeHero(5.0f);
  e.attackActive = true;
  update(e, kStart + 2000);
  EXPECT_EQ(e.state, EnemyIdle);
  EXPECT_FALSE(e.isAttacking());
}

TEST_F(Enemies, EveryWaveLaidOutAfterAnUpdatePassHasTheSameOffsets) {
  // Whatever was drawn before, an update pass over an enemy reseeds the
  // generator, so the wave that follows it is always the same.
  std::vector<float> first;
  for (int drawnBefore : {0, 1, 7}) {
    clearRoster(game->run.enemies);
    placeHero(0.0f);
    for (int i = 0; i < drawnBefore; ++i) drawChance(game->run.chance);
    enemyAt(3.0f);
    setGameClock(kStart);
    updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
    clearRoster(game->run.enemies);
    spawnWave(game->run.enemies, hero(), 1.0f, game->run.chance);
    std::vector<float> xs;
    for (const Character& e : game->run.enemies) xs.push_back(e.getPosition().getX());
    if (first.empty()) first = xs;
    EXPECT_EQ(xs, first) << drawnBefore << " numbers drawn before";
  }
}

TEST_F(Enemies, WalkStopsAtTheStageEndsWithoutTurning) {
  Character& right = enemyAt(5.998f);
  right.walkNPC(true);
  EXPECT_EQ(right.getPosition().getX(), 5.998f);
  Character& left = enemyAt(0.004f);
  left.turn(true);
  left.walkNPC(false);
  EXPECT_EQ(game->run.enemies.back().getPosition().getX(), 0.004f);
  EXPECT_TRUE(game->run.enemies.back().getPosition().isFacingRight());
  EXPECT_EQ(game->run.enemies.back().texCoords[0], 1.0f);
}

TEST_F(Enemies, TheFirstStepTowardAHeroOnTheLeftTurnsIt) {
  placeHero(1.0f);
  Character& e = enemyAt(2.0f);
  const float quad = e.vertices[0];
  update(e, kStart);
  EXPECT_EQ(e.state, EnemyApproach);
  EXPECT_FALSE(e.getPosition().isFacingRight());
  EXPECT_EQ(e.texCoords[0], 0.0f);
  EXPECT_FLOAT_EQ(e.getPosition().getX(), 2.0f - 0.005f);
  EXPECT_FLOAT_EQ(e.vertices[0], quad - 0.005f);
  EXPECT_EQ(textureOf(game->drawing, e.shown), game->drawing.enemyFrames[4]);  // long since the clock started: the last walk image
}

TEST_F(Enemies, ABlowIsBuiltOnceWhenTheClockJumpsPastItsEnd) {
  placeHero(2.0f);
  Character& e = enemyAt(2.05f);
  update(e, kStart);  // the cycle starts
  EXPECT_TRUE(e.attackStarted);
  EXPECT_FALSE(e.isAttacking());
  update(e, kStart + 150);
  EXPECT_EQ(textureOf(game->drawing, e.shown), game->drawing.enemyFrames[6]);
  update(e, kStart + 400);  // past 347 and 350 in one update
  EXPECT_TRUE(e.isAttacking());
  EXPECT_FALSE(e.hasLandedBlow());
  EXPECT_EQ(e.getAttackBox().getDamage(), 25);
  EXPECT_FALSE(e.attackStarted);
  EXPECT_EQ(textureOf(game->drawing, e.shown), game->drawing.enemyFrames[5]);
  e.setBlowLanded(true);
  update(e, kStart + 401);  // a new cycle from a restarted clock: no second blow yet
  EXPECT_TRUE(e.hasLandedBlow());
  EXPECT_TRUE(e.attackStarted);
}

TEST_F(Enemies, AnEnemyInContactHitsOnceEachBlowCycle) {
  placeHero(2.0f);
  enemyAt(1.95f);  // facing the hero
  std::vector<ClockTicks> hitsAt;
  for (ClockTicks t = 0; t <= 2000; t += 3) {
    update(game->run.enemies[0], kStart + t);
    const int before = hero().getHealth();
    if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
    if (hero().getHealth() != before) hitsAt.push_back(t);
  }
  // A cycle builds its blow past 347 ms, ends past 350 and the next starts
  // at the following update: 354 ms apart.
  const std::vector<ClockTicks> expected = {348, 702, 1056, 1410, 1764};
  EXPECT_EQ(hitsAt, expected);
  EXPECT_EQ(hero().getHealth(), 500 - 5 * 25);
}

// From the blow on, a felled enemy shows its fall: the first death image
// until the death steps begin, then each in turn; when they have played out
// it leaves the roster, counted as the hero's kill (the rules print nothing).
TEST_F(Enemies, DeathImagesThenRemovalCountedAsAKill) {
  placeHero(0.0f);
  Character& e = enemyAt(3.0f);
  update(e, kStart - 50);  // it walks a while first: a living image
  ASSERT_LT(e.shown.index, kFirstDeathFrame);
  e.takeDamage(100);
  testing::internal::CaptureStdout();
  const std::pair<ClockTicks, int> steps[] = {{0, 7}, {100, 7}, {200, 7}, {201, 7}, {401, 8}, {600, 8}};
  for (const auto& [at, frame] : steps) {
    setGameClock(kStart + at);
    updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
    ASSERT_EQ(game->run.enemies.size(), 1u);
    EXPECT_EQ(textureOf(game->drawing, game->run.enemies[0].shown), game->drawing.enemyFrames[frame]) << at;
  }
  EXPECT_EQ(hero().kills, 0);
  setGameClock(kStart + 601);
  updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
  EXPECT_TRUE(game->run.enemies.empty());
  EXPECT_EQ(hero().kills, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Enemies, AnEraseSkipsTheNextEnemyForThatPass) {
  placeHero(0.0f);
  enemyAt(3.0f).takeDamage(100);
  enemyAt(1.0f);  // close enough to approach
  enemyAt(1.2f);
  setGameClock(kStart);
  updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
  setGameClock(kStart + 700);
  const float secondX = game->run.enemies[1].getPosition().getX();
  const float thirdX = game->run.enemies[2].getPosition().getX();
  updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
  EXPECT_EQ(hero().kills, 1);
  ASSERT_EQ(game->run.enemies.size(), 2u);
  EXPECT_EQ(game->run.enemies[0].getPosition().getX(), secondX);  // skipped this pass
  EXPECT_LT(game->run.enemies[1].getPosition().getX(), thirdX);   // updated
}

TEST_F(Enemies, LeavingTheRosterCountsAKillAndClearingItDoesNot) {
  enemyAt(2.0f);
  Character& dying = enemyAt(3.0f);
  dying.takeDamage(100);
  setGameClock(kStart);
  updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
  setGameClock(kStart + 700);
  updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
  EXPECT_EQ(game->run.enemies.size(), 1u);
  clearRoster(game->run.enemies);
  EXPECT_EQ(hero().kills, 1);
}

}  // namespace
