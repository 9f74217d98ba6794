// The play frame's update ticks: the game's pace and its blows do not depend
// on how often the frame loop passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/pass_ticks.h"
#include "base/chance.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "rules/control_rules.h"
#include "render/frames.h"
#include "app/frame_loop.h"
#include "rules/hits.h"
#include "rules/update_ticks.h"
#include "tests/gl_fixture.h"

namespace {

class UpdateTicks : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    fresh();
  }
  // A fresh stage with the hero's remembered images and clocks as a new hero's.
  void fresh() {
    freshStage(*game, kStart);
    hero().playerFrame = 1;
    hero().crouchKicked = false;
    hero().crouchKickStart = 0;
  }
  Player& hero() { return *game->run.tovan; }

  // One play pass's updates as the loop does them now.
  void pass(ClockTicks now) {
    setGameClock(now);
    runDueTicks(*game, now);
  }
  // One play pass's updates on the original schedule: at most one tick, at
  // the pass's own time, then hits.
  void originalPass(ClockTicks now) {
    setGameClock(now);
    if (elapsedMs(now, game->run.tickClock) > 2.0) {
      game->run.tickClock = now;
      updateCharacters(hero(), game->run.enemies, game->run.controlCode, game->run.chance, wallClock());
    }
    if (resolveHits(hero(), game->run.enemies, game->run.level, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  }

  // Everything about the fighters that a player could see or that decides what happens next.
  std::string snapshot() {
    const Player& h = hero();
    char line[256];
    std::snprintf(line, sizeof(line), "hero x=%a y=%a state=%d health=%d score=%lld lives=%d tex=%u live=%d\n",
                  h.getPosition().getX(), h.getPosition().getY(), h.state, h.getHealth(),
                  static_cast<long long>(h.getScore()), h.lives,
                  textureOf(game->drawing, h.shown), h.isAttacking());
    std::string out = line;
    for (const Character& e : game->run.enemies) {
      std::snprintf(line, sizeof(line), "enemy x=%a health=%d state=%d tex=%u live=%d landed=%d\n",
                    e.getPosition().getX(), e.getHealth(), e.state, textureOf(game->drawing, e.shown), e.isAttacking(), e.hasLandedBlow());
      out += line;
    }
    return out;
  }

  static constexpr ClockTicks kStart = 700000;
  Game* game = nullptr;
};

// The time of the pass after the one at t, the intervals taken in turn, none past 1000 ms.
ClockTicks nextPass(ClockTicks t, const std::vector<ClockTicks>& intervals, size_t i) {
  return std::min<ClockTicks>(t + intervals[i % intervals.size()], 1000);
}

// A session into the opening wave: walking, punches, a jump with flying
// kicks, kicks, with the enemies walking up and striking.
int scriptedCode(ClockTicks t) {
  struct Span {
    ClockTicks until;
    int code;
  };
  const Span script[] = {{900, kWalkRight}, {1300, kPunch}, {1400, kNoControl}, {1420, kJump},
                         {1700, kKick},     {2600, kWalkRight}, {3100, kKick}, {3300, kCrouch},
                         {3700, kKick},     {3750, kStandUp}, {4500, kWalkRight}, {5000, kPunch}};
  for (const Span& span : script) {
    if (t < span.until) return span.code;
  }
  return kNoControl;
}

// Runs recorded at 3 ms ticks play as the game played them then.
TEST_F(UpdateTicks, AtThreeMsTicksAPassEveryMillisecondRunsTheOriginalScheduleTickForTick) {
  constexpr ClockTicks kLength = 5200;
  const auto classic = [this] {
    game->run.pace = kClassicPace;
    hero().classicBlows = true;
  };
  classic();
  std::vector<std::string> original;
  seedChance(game->run.chance, 7);
  spawnWave(game->run.enemies, hero(), game->run.level, game->run.chance);
  bool struck = false, scored = false;
  for (ClockTicks t = 1; t <= kLength; ++t) {
    game->run.controlCode = scriptedCode(t);
    originalPass(kStart + t);
    original.push_back(snapshot());
    struck = struck || hero().getHealth() < kPlayerHealth;
    scored = scored || hero().getScore() > 0;
  }
  ASSERT_TRUE(struck && scored) << "the session should meet the enemies' blows and defeat some";

  fresh();
  classic();
  seedChance(game->run.chance, 7);
  spawnWave(game->run.enemies, hero(), game->run.level, game->run.chance);
  game->run.spawnClock = kStart + kLength;  // the original passes above spawned no reinforcements
  for (ClockTicks t = 1; t <= kLength; ++t) {
    game->run.controlCode = scriptedCode(t);
    pass(kStart + t);
    ASSERT_EQ(snapshot(), original[static_cast<size_t>(t - 1)]) << "at " << t << " ms";
  }
}

TEST_F(UpdateTicks, PaceAndBlowsAreTheSameAtAnyPassInterval) {
  struct Case {
    const char* name;
    std::vector<ClockTicks> intervals;  // repeated until 1000 ms of game have passed
  };
  const Case cases[] = {{"1 ms", {1}},   {"3 ms", {3}},   {"5 ms", {5}},
                        {"16 ms", {16}}, {"33 ms", {33}}, {"50 ms", {50}},
                        {"irregular", {1, 7, 2, 16, 3, 41, 5, 2, 33, 1, 12}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Walking on an empty stage.
    fresh();
    game->run.controlCode = kWalkRight;
    ClockTicks t = 0;
    for (size_t i = 0; t < 1000; ++i) pass(kStart + (t = nextPass(t, c.intervals, i)));
    const int steps = static_cast<int>(hero().getPosition().getX() / kPlayerSpeed + 0.5f);
    EXPECT_EQ(steps, 60);  // 60 ticks a second

    // One punch thrown at an enemy in reach, the key tapped for 20 ms.
    fresh();
    spawnEnemy(game->run.enemies, 1, 0.1f, 0.0f, 1.0f);
    t = 0;
    for (size_t i = 0; t < 1000; ++i) {
      game->run.controlCode = t < 20 ? kPunch : kNoControl;
      pass(kStart + (t = nextPass(t, c.intervals, i)));
    }
    EXPECT_EQ(game->run.enemies[0].getHealth(), 50);
  }
}

TEST_F(UpdateTicks, TicksFallEvery50ThirdsOfAMillisecond) {
  // Two ticks in a 33 ms pass; 16, 17, 17 ms apart, on n x 50/3 ms exactly.
  EXPECT_EQ(runDueTicks(*game, kStart + 15), 0);
  EXPECT_EQ(runDueTicks(*game, kStart + 33), 2);
  EXPECT_EQ(game->run.tickClock, kStart + 33);
  EXPECT_EQ(runDueTicks(*game, kStart + 49), 0);
  EXPECT_EQ(runDueTicks(*game, kStart + 50), 1);
  EXPECT_EQ(runDueTicks(*game, kStart + 100), 3);
  EXPECT_EQ(game->run.tickClock, kStart + 100);
  // An hour of passes 7 ms apart: 216,000 ticks, the last on the hour.
  game->run.stageOver = true;  // the stage-clear poses tick without moving anyone
  game->run.clearClock = kStart + 3600000;
  long ticks = 0;
  for (ClockTicks t = 107; t < 100 + 3600000; t += 7) ticks += runDueTicks(*game, kStart + t);
  ticks += runDueTicks(*game, kStart + 100 + 3600000);
  EXPECT_EQ(ticks, 216000);
  EXPECT_EQ(game->run.tickClock, kStart + 100 + 3600000);
  EXPECT_EQ(game->run.tickCarry, 0);
  game->run.stageOver = false;
}

// The rules count the enemies whose fall has played out; the shell says
// "Kill" for each after the ticks of the pass they left the roster in.
TEST_F(UpdateTicks, EachEnemyDefeatedInAPassIsOneKillLine) {
  for (float x : {3.0f, 3.5f, 4.0f}) spawnEnemy(game->run.enemies, 1, x, 0.0f, 1.0f);
  game->run.enemies[0].takeDamage(100);
  game->run.enemies[2].takeDamage(100);
  std::string said;
  for (ClockTicks t = 33; t <= 1000; t += 33) {
    const size_t before = game->run.enemies.size();
    testing::internal::CaptureStdout();
    runDueTicks(*game, kStart + t);
    const std::string lines = testing::internal::GetCapturedStdout();
    std::string expected;
    for (size_t gone = game->run.enemies.size(); gone < before; ++gone) expected += "Kill\n";
    EXPECT_EQ(lines, expected) << t;
    said += lines;
  }
  EXPECT_EQ(said, "Kill\nKill\n");
  EXPECT_EQ(hero().kills, 2);
  EXPECT_EQ(game->run.enemies.size(), 1u);
}

// A jump is 22 ticks: at 60 ticks a second it lasts 367 ms, long enough to
// be seen; a key tapped for a tick's time throws it.
TEST_F(UpdateTicks, AJumpOf22TicksLasts367Ms) {
  game->run.controlCode = kJump;
  ASSERT_EQ(runDueTicks(*game, kStart + 16), 1);
  game->run.controlCode = kNoControl;
  EXPECT_GT(hero().getPosition().getY(), 0.0f);
  ClockTicks landed = 0;
  for (ClockTicks t = 17; t <= 1000 && landed == 0; ++t) {
    runDueTicks(*game, kStart + t);
    if (hero().state == Idle) landed = game->run.tickClock - kStart;
  }
  // The 22nd tick, counting the one that threw it, lands: 22 x 50/3 ms of play.
  EXPECT_EQ(landed, ticksTime(game->run.pace, 22));
}

TEST_F(UpdateTicks, AStallRunsSixTicksAndDropsTheRest) {
  game->run.controlCode = kWalkRight;
  EXPECT_EQ(runDueTicks(*game, kStart + 1), 0);
  EXPECT_EQ(runDueTicks(*game, kStart + 1000), 6);
  EXPECT_EQ(game->run.tickClock, kStart + 1000);
  EXPECT_NEAR(hero().getPosition().getX(), 6 * kPlayerSpeed, 1e-5);
  // Just in reach of the cap, 100 ms: all of them, and the clock stays on the tick grid.
  EXPECT_EQ(runDueTicks(*game, kStart + 1100), 6);
  EXPECT_EQ(game->run.tickClock, kStart + 1100);
}

TEST_F(UpdateTicks, TheStageEndsAtTheTickThatTakesTheHeroOverIt) {
  // One step takes the hero over the end; the ticks after it are the stage-clear poses'.
  game->run.controlCode = kWalkRight;
  hero().position.x = hero().hitbox.position.x = kStageEndX - 0.001f;
  EXPECT_EQ(runDueTicks(*game, kStart + 167), 6);  // a 167 ms stall: six ticks, the rest dropped
  EXPECT_TRUE(game->run.stageOver);
  EXPECT_EQ(game->run.clearClock, kStart + 16);
  EXPECT_NEAR(hero().getPosition().getX(), kStageEndX - 0.001f + kPlayerSpeed, 1e-6);
  EXPECT_TRUE(hero().enlarged);
  game->run.stageOver = false;

  // The last life lost in the first of ten ticks due: the game is over there.
  fresh();
  game->run.controlCode = kNoControl;
  hero().lives = 1;
  hero().health = 10;
  hero().position.x = hero().hitbox.position.x = 1.0f;
  spawnEnemy(game->run.enemies, 1, 0.95f, 1.0f, 1.0f);  // facing him
  game->run.enemies[0].attackStarted = true;
  game->run.enemies[0].clockStart = kStart - 348;  // its blow is built at the first tick
  EXPECT_EQ(runDueTicks(*game, kStart + 100), 1);
  EXPECT_TRUE(game->run.stageOver);
  game->run.stageOver = false;
}

}  // namespace
