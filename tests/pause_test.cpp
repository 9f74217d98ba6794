// Game time stands still while play is paused: a pause of any length changes
// nothing in play.
#include <gtest/gtest.h>

#include "app/frame_loop.h"  // brings GLEW before GLFW
#include "app/pass_ticks.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "app/window_callbacks.h"
#include "render/frames.h"
#include "rules/control_rules.h"
#include "rules/update_ticks.h"
#include "screens/hud.h"
#include "tests/gl_fixture.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace {

class Pausing : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
    wall = kStart;
  }
  void TearDown() override { freshStage(*game, kStart); }
  Player& hero() { return *game->run.tovan; }
  void key(int k) { sendKey(*game, k, GLFW_PRESS); }
  // Passes every millisecond of wall time for `ms`; returns the ticks they ran.
  int passes(ClockTicks ms) {
    int ticks = 0;
    for (ClockTicks end = wall + ms; wall < end;) {
      setGameClock(++wall);
      if (chooseMode(game->run) == FrameMode::Play || chooseMode(game->run) == FrameMode::StageClear) {
        ticks += runDueTicks(*game, lookAtClock(*game));
      }
    }
    return ticks;
  }
  // Escape opens the menu; the wall clock runs on for `ms`; Escape closes it.
  void pauseFor(ClockTicks ms) {
    key(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(game->run.menuOpen);
    EXPECT_EQ(passes(ms), 0);
    key(GLFW_KEY_ESCAPE);
    ASSERT_FALSE(game->run.menuOpen);
  }

  static constexpr ClockTicks kStart = 400000;
  Game* game = nullptr;
  ClockTicks wall = 0;
};

TEST_F(Pausing, AnEnemysBlowLandsAsLateAfterAPauseAsWithout) {
  game->run.spawnClock = kStart + 100000;  // no reinforcements here
  spawnEnemy(game->run.enemies, 1, 0.2f, 0.0f, 1.0f);  // walks up, facing him, and winds up
  while (!game->run.enemies[0].attackStarted && wall < kStart + 5000) passes(1);
  ASSERT_TRUE(game->run.enemies[0].attackStarted);
  passes(100);
  const ClockTicks gameBefore = lookAtClock(*game);
  pauseFor(10000);
  EXPECT_EQ(lookAtClock(*game), gameBefore);
  // The blow lands between 347 and 350 ms into the wind-up: about 250 ms of play from here.
  ClockTicks played = 0;
  while (hero().getHealth() == kPlayerHealth && played < 1000) played += (passes(1), 1);
  EXPECT_GE(played, 245);
  EXPECT_LE(played, 252);
}

TEST_F(Pausing, TheFirstPassAfterALongPauseRunsOnlyWhatIsDueSinceTheResume) {
  game->run.controlCode = kWalkRight;
  passes(50);
  pauseFor(60000);
  EXPECT_EQ(passes(1), 0);
  EXPECT_EQ(passes(16), 1);  // the tick at 66 ms of play
  EXPECT_NEAR(hero().getPosition().getX(), 4 * kPlayerSpeed, 1e-5);
}

TEST_F(Pausing, TheStageClearPosesResumeWhereTheyStopped) {
  hero().position.x = hero().hitbox.position.x = kStageEndX;
  game->run.stageOver = true;
  game->run.clearClock = kStart;
  game->run.endFrameIndex = 0;
  passes(500);
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.endFrames[0]);  // 400-600 ms: the first pose again
  pauseFor(10000);
  passes(115);  // the tick at 600 ms is not past it
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.endFrames[0]);
  passes(1);
  EXPECT_EQ(textureOf(game->drawing, hero().shown), game->drawing.endFrames[1]);
  EXPECT_TRUE(game->run.stageOver);
}

// The window system says the window lost the focus, and a whole pass of the
// game takes it from there: during the stage-clear poses the menu opens and
// the next level waits for the player; the game-over screen is left as it is.
TEST_F(Pausing, LeavingTheWindowHoldsTheStageClearPosesButNotTheGameOverScreen) {
  const GLFWwindowfocusfun focusChanged = glfwSetWindowFocusCallback(game->window, nullptr);
  glfwSetWindowFocusCallback(game->window, focusChanged);
  ASSERT_NE(focusChanged, nullptr);
  const auto focus = [&](int focused) {
    focusChanged(game->window, focused);
    runFrame(*game);
  };
  hero().position.x = hero().hitbox.position.x = kStageEndX;
  game->run.stageOver = true;
  game->run.tickClock = game->run.clearClock = kStart;
  const float level = game->run.level;
  focus(GLFW_TRUE);
  passes(300);
  focus(GLFW_FALSE);
  EXPECT_TRUE(game->run.menuOpen);
  passes(5000);
  EXPECT_TRUE(game->run.stageOver) << "the next level began unseen";
  EXPECT_EQ(game->run.level, level);
  focus(GLFW_TRUE);
  key(GLFW_KEY_ESCAPE);
  passes(800);
  EXPECT_FALSE(game->run.stageOver);
  EXPECT_EQ(game->run.level, level + 1.0f);

  freshStage(*game, kStart);
  hero().lives = 0;
  game->run.stageOver = true;
  focus(GLFW_TRUE);
  focus(GLFW_FALSE);
  EXPECT_FALSE(game->run.menuOpen) << "the game-over screen is final";
  game->run.stageOver = false;
}

// Each run keeps its own game time: the menu of one stops its clock alone.
// The other game shares the window, and the window's keys reach the game
// that owns it alone; keys sent to the other reach only its run.
TEST_F(Pausing, TwoRunsInOneProcessPauseAndResumeApart) {
  Game other;
  other.window = game->window;
  startRun(other, 1.0f, kStart);
  game->run.controlCode = other.run.controlCode = kWalkRight;
  const auto pass = [&](ClockTicks ms) {
    setGameClock(wall += ms);
    for (Game* g : {game, &other}) {
      if (chooseMode(g->run) == FrameMode::Play) runDueTicks(*g, lookAtClock(*g));
    }
  };
  pass(100);
  const GLFWkeyfun windowKey = glfwSetKeyCallback(game->window, nullptr);
  glfwSetKeyCallback(game->window, windowKey);
  windowKey(other.window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);  // the owner's menu; the other run plays on
  ASSERT_TRUE(game->run.menuOpen);
  ASSERT_FALSE(other.run.menuOpen);
  for (int i = 0; i < 60; ++i) pass(50);
  EXPECT_EQ(game->run.clock.time, kStart + 100);
  EXPECT_EQ(other.run.clock.time, kStart + 3100);
  EXPECT_EQ(game->run.ticksRun, 6);
  EXPECT_EQ(other.run.ticksRun, 186);
  key(GLFW_KEY_ESCAPE);
  pass(100);
  EXPECT_EQ(game->run.clock.time, kStart + 200);
  EXPECT_EQ(game->run.ticksRun, 12);
  EXPECT_EQ(other.run.ticksRun, 192);
  sendKey(other, GLFW_KEY_ESCAPE, GLFW_PRESS);
  pass(100);
  EXPECT_TRUE(other.run.menuOpen);
  EXPECT_FALSE(game->run.menuOpen);
  EXPECT_EQ(game->run.ticksRun, 18);
  EXPECT_EQ(other.run.ticksRun, 192);
}

// What the shell keeps of a run is the run's own: one started in another
// game leaves the ended run's record (the totals its game-over screen shows) alone.
TEST_F(Pausing, ARunStartedBesideAnotherLeavesItsRecordAlone) {
  game->record = RunRecord{true, 1234, 5000, false};
  Game other;
  startRun(other, 1.0f, kStart);
  EXPECT_TRUE(game->record.recorded);
  EXPECT_EQ(game->record.total, 1234);
  EXPECT_EQ(game->record.best, 5000);
  EXPECT_FALSE(other.record.recorded);
  game->record = RunRecord();
}

TEST_F(Pausing, AReinforcementDueASecondAfterThePauseIsDueASecondAfterTheResume) {
  hero().position.x = hero().hitbox.position.x = 2.0f;  // far enough in for groups behind him
  game->run.spawnClock = kStart + 1000 - 4800;  // level 1: due 4800 ms after the last one
  const size_t before = game->run.enemies.size();
  pauseFor(30000);
  passes(1015);  // the tick at 1000 ms is not past it
  EXPECT_EQ(game->run.enemies.size(), before);
  passes(1);
  EXPECT_GT(game->run.enemies.size(), before);
}

}  // namespace
