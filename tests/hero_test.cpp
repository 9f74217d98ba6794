// The hero's tick with the clock under the test's control.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/pass_ticks.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/frames.h"
#include "rules/control_rules.h"
#include "rules/hits.h"
#include "rules/update_ticks.h"
#include "screens/hud.h"
#include "tests/gl_fixture.h"

namespace {

class HeroUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
  }
  Player& hero() { return *game->run.tovan; }
  // One tick at time `ms` with a control code.
  void tick(int code, ClockTicks ms) {
    setGameClock(ms);
    hero().update(code, wallClock(), game->run.enemies);
  }
  void addEnemyAt(float x) { spawnEnemy(game->run.enemies, 1, x, hero().getPosition().getX(), 1.0f); }

  static constexpr ClockTicks kStart = 100000;
  Game* game = nullptr;
};

TEST_F(HeroUpdate, AJumpFromIdleLasts22TicksAndLandsExactlyOnTheGround) {
  int airborne = 0;
  tick(kJump, kStart);
  ++airborne;
  while (hero().state == Jumping) {
    tick(kNoControl, kStart + 3 * airborne);
    ++airborne;
    ASSERT_LT(airborne, 100);
  }
  EXPECT_EQ(airborne, 22);
  EXPECT_EQ(hero().state, Idle);
  EXPECT_EQ(hero().getPosition().getY(), 0.0f);
  EXPECT_FLOAT_EQ(hero().vertices[1], 0.1f);
  EXPECT_FLOAT_EQ(hero().vertices[4], -0.25f);
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[0]);
}

TEST_F(HeroUpdate, AJumpFromWalkingCarriesTwentySteps) {
  tick(kWalkRight, kStart);
  const float before = hero().getPosition().getX();
  tick(kJump, kStart + 3);
  int ticks = 0;
  while (hero().state == Jumping && ticks < 100) tick(kJump, kStart + 6 + 3 * ticks++);
  EXPECT_NEAR(hero().getPosition().getX() - before, 20 * 0.006f, 1e-4);
}

TEST_F(HeroUpdate, PunchShowsItsImagesByTimeAndIsLiveOnlyInsideItsWindow) {
  hero().playerFrame = 2;
  tick(kPunch, kStart);
  EXPECT_EQ(hero().state, Punching);
  EXPECT_FLOAT_EQ(hero().vertices[0], 0.0725f + 0.0325f);
  struct Step {
    ClockTicks at;
    int frame;
    bool live;
  };
  const Step steps[] = {{100, 2, false}, {101, 5, false}, {200, 5, false}, {201, 6, false},
                        {347, 6, false}, {348, 6, true},  {350, 6, true}};
  for (const Step& s : steps) {
    tick(kNoControl, kStart + s.at);
    EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[s.frame]) << s.at;
    EXPECT_EQ(hero().isAttacking(), s.live) << s.at;
  }
  EXPECT_EQ(hero().getAttackBox().getDamage(), 50);
  EXPECT_FLOAT_EQ(hero().getAttackBox().getBox().getPosition().getX(), 0.0625f);
  tick(kNoControl, kStart + 351);
  EXPECT_FALSE(hero().isAttacking());
  EXPECT_EQ(hero().state, Idle);
  EXPECT_FLOAT_EQ(hero().vertices[0], 0.0725f);
}

TEST_F(HeroUpdate, AHeldPunchChainsAndTheSecondStartsOnItsLastImage) {
  tick(kPunch, kStart);
  tick(kPunch, kStart + 351);
  EXPECT_EQ(hero().state, Punching);
  EXPECT_FLOAT_EQ(hero().vertices[0], 0.0725f + 0.0325f);  // the reach again, not twice
  tick(kPunch, kStart + 351 + 50);
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[6]);
}

TEST_F(HeroUpdate, KickImagesAndItsBox) {
  tick(kKick, kStart);
  const std::pair<ClockTicks, int> frames[] = {{26, 7}, {151, 8}, {251, 7}};
  for (const auto& [at, frame] : frames) {
    tick(kKick, kStart + at);
    EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[frame]) << at;
  }
  tick(kKick, kStart + 349);
  EXPECT_TRUE(hero().isAttacking());
  EXPECT_EQ(hero().getAttackBox().getDamage(), 100);
  EXPECT_FLOAT_EQ(hero().getAttackBox().getBox().halfWidth, 0.06f);
}

// With ticks 16-17 ms apart, 347-350 ms holds a tick only now and then: the
// blow goes live on the first tick past 347 ms and ends on the tick after,
// striking once. Runs recorded at 3 ms ticks keep the rule they were played
// by: a blow whose window a stall carried it past never went live.
TEST_F(HeroUpdate, ABlowGoesLiveOnTheFirstTickPastItsTimeAndStrikesOnce) {
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "a run at 3 ms ticks" : "the game's pace");
    freshStage(*game, kStart);
    hero().classicBlows = classic;
    addEnemyAt(0.1f);
    tick(kPunch, kStart);
    tick(kNoControl, kStart + 340);
    EXPECT_FALSE(hero().isAttacking());
    tick(kNoControl, kStart + 360);
    EXPECT_EQ(hero().isAttacking(), !classic);
    EXPECT_EQ(hero().state, classic ? Idle : Punching);
    resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock());
    tick(kNoControl, kStart + 377);
    resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock());
    EXPECT_FALSE(hero().isAttacking());
    EXPECT_EQ(hero().state, Idle);
    EXPECT_EQ(game->run.enemies[0].getHealth(), classic ? 100 : 50);
  }
}

TEST_F(HeroUpdate, FlyingKickStartsAirborneHitsOnceAndEndsAfter225Ms) {
  addEnemyAt(0.1f);
  game->run.enemies[0].setHitByBlow(true);
  tick(kJump, kStart);
  tick(kKick, kStart + 3);
  EXPECT_EQ(hero().state, FlyingKick);
  EXPECT_FALSE(game->run.enemies[0].isHitByBlow());  // cleared as the kick begins
  tick(kKick, kStart + 6);
  EXPECT_TRUE(hero().isAttacking());
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[9]);
  EXPECT_EQ(hero().getAttackBox().getDamage(), 100);
  game->run.enemies[0].setHitByBlow(true);
  tick(kKick, kStart + 3 + 225);
  EXPECT_TRUE(hero().isAttacking());
  EXPECT_TRUE(game->run.enemies[0].isHitByBlow());  // rebuilding the box does not clear it
  tick(kKick, kStart + 3 + 226);
  EXPECT_FALSE(hero().isAttacking());
  EXPECT_EQ(hero().state, Jumping);
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[0]);
}

TEST_F(HeroUpdate, KickOnTheLandingTickEndsOnTheGround) {
  tick(kJump, kStart);
  for (int i = 1; i < 21; ++i) tick(kNoControl, kStart + 3 * i);
  ASSERT_EQ(hero().state, Jumping);
  tick(kKick, kStart + 63);  // lands and starts a flying kick on the ground
  EXPECT_EQ(hero().state, FlyingKick);
  tick(kKick, kStart + 66);
  EXPECT_EQ(hero().state, Idle);
  EXPECT_FALSE(hero().isAttacking());
}

TEST_F(HeroUpdate, CrouchingGuardsHighTurnsOnTheSpotAndCannotPunch) {
  tick(kCrouch, kStart);
  EXPECT_EQ(hero().state, Crouching);
  EXPECT_FLOAT_EQ(hero().getHitbox().halfHeight, 0.6f);
  tick(kPunch, kStart + 3);
  EXPECT_EQ(hero().state, Crouching);
  tick(kWalkLeft, kStart + 6);
  EXPECT_FALSE(hero().getPosition().isFacingRight());
  EXPECT_EQ(hero().getPosition().getX(), 0.0f);
  tick(kStandUp, kStart + 9);
  EXPECT_EQ(hero().state, Idle);
  EXPECT_FLOAT_EQ(hero().getHitbox().halfHeight, 0.12f);
}

// Runs recorded at 3 ms ticks: the crouch kick struck on the next tick.
TEST_F(HeroUpdate, AtThreeMsTicksACrouchKickLandsOnceAndAHeldKickRepeatsAtTheKicksPace) {
  hero().classicBlows = true;
  addEnemyAt(0.15f);
  addEnemyAt(0.2f);
  tick(kCrouch, kStart);
  ClockTicks t = kStart + 3;
  tick(kKick, t);
  EXPECT_EQ(hero().state, CrouchKick);
  tick(kKick, t += 3);  // the kick's one live tick
  EXPECT_EQ(hero().state, Crouching);
  ASSERT_TRUE(hero().isAttacking());
  EXPECT_FLOAT_EQ(hero().getAttackBox().getBox().halfWidth, 0.065f);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  EXPECT_EQ(game->run.enemies[0].getHealth(), 0);  // in reach, hit once for the hero's power
  EXPECT_EQ(game->run.enemies[1].getHealth(), 100);  // out of reach

  // With the key held the kick comes again only once 350 ms have passed.
  const ClockTicks kickedAt = kStart + 3;
  int kicks = 0;
  for (t += 3; t <= kickedAt + 710; t += 3) {
    tick(kKick, t);
    if (hero().state == CrouchKick) ++kicks;
    if (hero().state == Crouching && t - kickedAt < 350) {
      EXPECT_FALSE(hero().isAttacking()) << t - kickedAt;
    }
  }
  EXPECT_EQ(kicks, 2);
}

TEST_F(HeroUpdate, AtThreeMsTicksACrouchShowsItsPictureAndEachCrouchKickTheLowKickFor150Ms) {
  hero().classicBlows = true;
  constexpr int kStanding = 0, kCrouched = 10, kLowKick = 11;
  hero().playerFrame = 3;
  const struct {
    ClockTicks at;
    int code;
    int frame;
  } steps[] = {
      {0, kCrouch, kCrouched},    {3, kCrouch, kCrouched},
      {6, kKick, kLowKick},       {9, kKick, kLowKick},     // the kick and its live tick
      {156, kKick, kLowKick},     {159, kKick, kCrouched},  // 150 ms after it began
      {354, kKick, kCrouched},    {357, kKick, kLowKick},   // the held key kicks again
      {507, kCrouch, kLowKick},   {510, kStandUp, kCrouched},
      {513, kNoControl, kStanding},
  };
  for (const auto& step : steps) {
    tick(step.code, kStart + step.at);
    EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[step.frame]) << step.at;
  }
  EXPECT_EQ(hero().playerFrame, 3);  // the walk cycle goes on where it was
}

// The low kick costs what a standing kick costs: it lands on the first tick
// past 347 ms, as its picture shows the leg out, with the kick's box and
// damage, on what stands in front within reach; a held key throws the next.
TEST_F(HeroUpdate, ALowKickLandsAsTheLegGoesOutOnAKicksTimeAndReach) {
  constexpr int kCrouched = 10, kLowKick = 11;
  hero().position.x = hero().hitbox.position.x = 1.0f;
  addEnemyAt(1.15f);  // in reach in front
  addEnemyAt(1.2f);   // beyond it
  addEnemyAt(0.9f);   // close behind
  const auto at = [](long n) { return kStart + n * 50 / 3; };  // tick n at 60 ticks a second
  tick(kCrouch, at(0));
  tick(kKick, at(1));
  EXPECT_EQ(hero().state, CrouchKick);
  int landedAt = -1;
  for (long n = 2; n <= 1 + 45; ++n) {
    tick(kKick, at(n));
    const double since = static_cast<double>(at(n) - at(1));
    if (n <= 1 + 22) {
      EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[since > 250 ? kLowKick : kCrouched]) << since;
    }
    if (hero().isAttacking()) {
      EXPECT_FLOAT_EQ(hero().getAttackBox().getBox().halfWidth, 0.06f);
      EXPECT_EQ(hero().getAttackBox().getDamage(), 100);
      if (landedAt < 0) landedAt = static_cast<int>(since);
    }
    resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock());
    if (n == 1 + 22) {
      EXPECT_EQ(game->run.enemies[0].getHealth(), 0);
      EXPECT_EQ(game->run.enemies[1].getHealth(), 100);
      EXPECT_EQ(game->run.enemies[2].getHealth(), 100);
      game->run.enemies[0].health = 100;  // up again for the next kick
      game->run.enemies[0].dying = false;
      game->run.enemies[0].hitbox = game->run.enemies[1].hitbox;
      game->run.enemies[0].hitbox.position.x = game->run.enemies[0].position.x;
    }
  }
  EXPECT_EQ(landedAt, 350);  // 21 ticks
  EXPECT_EQ(game->run.enemies[0].getHealth(), 0);  // the held key's second kick, 350 ms on
  EXPECT_EQ(game->run.enemies[2].getHealth(), 100);
  // Let go, the kick under way ends and he stays crouched.
  for (long n = 47; n <= 47 + 22; ++n) tick(kNoControl, at(n));
  EXPECT_EQ(hero().state, Crouching);
  EXPECT_FALSE(hero().isAttacking());
}

TEST_F(HeroUpdate, AnEnemyBlocksTheWalkOnItsSideOnly) {
  hero().position.x = hero().hitbox.position.x = 2.0f;
  addEnemyAt(2.13f);  // body boxes 0.125 apart: the probe touches it
  const float quadBefore = game->run.enemies[0].vertices[0];
  tick(kWalkRight, kStart);
  EXPECT_EQ(hero().getPosition().getX(), 2.0f);
  EXPECT_EQ(hero().state, Walking);
  EXPECT_EQ(game->run.enemies[0].vertices[0], quadBefore);
  tick(kWalkLeft, kStart + 3);
  EXPECT_FLOAT_EQ(hero().getPosition().getX(), 2.0f - 0.006f);
  EXPECT_FALSE(hero().getPosition().isFacingRight());
  EXPECT_FLOAT_EQ(game->run.enemies[0].vertices[0], quadBefore + 0.006f);  // the view follows the hero
}

TEST_F(HeroUpdate, BetweenEnemiesOnBothSidesNeitherArrowMovesHim) {
  const float orders[][2] = {{1.9f, 2.1f}, {2.1f, 1.9f}};  // roster order
  for (const auto& order : orders) {
    for (const int code : {kWalkRight, kWalkLeft}) {
      freshStage(*game, kStart);
      hero().position.x = hero().hitbox.position.x = 2.0f;
      addEnemyAt(order[0]);
      addEnemyAt(order[1]);
      tick(code, kStart);
      EXPECT_EQ(hero().getPosition().getX(), 2.0f) << order[0] << " then " << order[1] << ", code " << code;
      EXPECT_EQ(hero().getPosition().isFacingRight(), code == kWalkRight);  // he still turns
    }
  }
}

// The whole play pass, the enemies walking and striking: one enemy touching
// his back never opens the way through the group ahead.
TEST_F(HeroUpdate, AnEnemyBehindDoesNotLetHimWalkThroughAGroupAhead) {
  for (const bool behindLast : {true, false}) {
    freshStage(*game, kStart);
    hero().position.x = hero().hitbox.position.x = 2.0f;
    if (!behindLast) addEnemyAt(1.9f);
    for (const float x : {2.13f, 2.2f, 2.3f}) addEnemyAt(x);
    if (behindLast) addEnemyAt(1.9f);
    const size_t groupFirst = behindLast ? 0 : 1;
    game->run.controlCode = kWalkRight;  // Right held throughout
    ClockTicks now = kStart;
    while (now < kStart + 5000 && hero().lives == kStartLives) {
      now += 16;  // a 60 Hz display
      setGameClock(now);
      runDueTicks(*game, now);
      float groupLeft = 1e9f;
      for (size_t i = groupFirst; i < groupFirst + 3; ++i) {
        groupLeft = std::min(groupLeft, game->run.enemies[i].getPosition().getX());
      }
      ASSERT_LT(hero().getPosition().getX(), groupLeft) << "behind last " << behindLast << ", at " << now - kStart;
    }
  }
  freshStage(*game, kStart);
}

TEST_F(HeroUpdate, AJumpFromACrouchKeepsTheCrouchBoxUntilTheNextStandUp) {
  tick(kCrouch, kStart);
  tick(kJump, kStart + 3);
  ASSERT_EQ(hero().state, Jumping);
  ClockTicks t = kStart + 3;
  while (hero().state == Jumping && t < kStart + 300) {
    EXPECT_FLOAT_EQ(hero().getHitbox().halfHeight, 0.6f);
    tick(kStandUp, t += 3);  // let go of Down in the air: not crouched, so nothing to stand up from
  }
  EXPECT_EQ(hero().state, Idle);
  EXPECT_FLOAT_EQ(hero().vertices[1], 0.1f);  // the quad stands
  EXPECT_FLOAT_EQ(hero().getHitbox().halfHeight, 0.6f);
  tick(kCrouch, t += 3);
  tick(kStandUp, t += 3);
  EXPECT_FLOAT_EQ(hero().getHitbox().halfHeight, 0.12f);
  // And a lost life gives it back too.
  tick(kCrouch, t += 3);
  tick(kJump, t += 3);
  hero().reset();
  EXPECT_FLOAT_EQ(hero().getHitbox().halfHeight, 0.12f);
}

TEST_F(HeroUpdate, EachBlowStartsItsOwnSound) {
  struct Hold {
    int code;
    int ticks;
    ClockTicks every;  // ms between ticks
  };
  struct Case {
    const char* name;
    std::vector<Hold> holds;
    int punches, kicks;
  };
  const Case cases[] = {
      {"punch", {{kPunch, 1, 3}}, 1, 0},
      {"punch from a walk", {{kWalkRight, 1, 3}, {kPunch, 1, 3}}, 1, 0},
      {"punch held: the next one", {{kPunch, 130, 3}}, 2, 0},
      {"kick", {{kKick, 1, 3}}, 0, 1},
      {"kick from a walk", {{kWalkLeft, 1, 3}, {kKick, 1, 3}}, 0, 1},
      {"kick held: the next one", {{kKick, 130, 3}}, 0, 2},
      {"crouch kick", {{kCrouch, 1, 3}, {kKick, 1, 3}}, 0, 1},
      {"crouch kick held: one every 350 ms", {{kCrouch, 1, 3}, {kKick, 236, 3}}, 0, 3},
      {"flying kick", {{kJump, 1, 3}, {kKick, 1, 3}}, 0, 1},
      {"flying kick held through a slow jump: it starts again", {{kJump, 1, 20}, {kKick, 21, 20}}, 0, 2},
      {"no blow, no sound", {{kWalkRight, 50, 3}, {kJump, 30, 3}, {kCrouch, 5, 3}, {kStandUp, 1, 3}}, 0, 0},
  };
  for (const Case& c : cases) {
    freshStage(*game, kStart);
    hero().crouchKicked = false;
    hero().soundsStarted[PunchSwing] = hero().soundsStarted[KickSwing] = 0;
    ClockTicks t = kStart;
    for (const Hold& hold : c.holds) {
      for (int i = 0; i < hold.ticks; ++i) tick(hold.code, t += hold.every);
    }
    EXPECT_EQ(hero().soundsStarted[PunchSwing], c.punches) << c.name;
    EXPECT_EQ(hero().soundsStarted[KickSwing], c.kicks) << c.name;
  }
}

TEST_F(HeroUpdate, TheStageEndsStopTheWalkButStillTurn) {
  tick(kWalkLeft, kStart);
  EXPECT_EQ(hero().getPosition().getX(), 0.0f);
  EXPECT_FALSE(hero().getPosition().isFacingRight());
  hero().position.x = hero().hitbox.position.x = 5.995f;
  tick(kWalkRight, kStart + 3);
  EXPECT_EQ(hero().getPosition().getX(), 5.995f);
  EXPECT_TRUE(hero().getPosition().isFacingRight());
}

TEST_F(HeroUpdate, WalkCycleRunsFourImages) {
  tick(kWalkRight, kStart);  // long since the last restart: shows 4 and restarts
  const std::pair<ClockTicks, int> frames[] = {{3, 4}, {104, 1}, {204, 2}, {304, 3}, {404, 4}, {505, 1}};
  for (const auto& [at, frame] : frames) {
    tick(kWalkRight, kStart + at);
    EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.playerFrames[frame]) << at;
  }
}

}  // namespace
