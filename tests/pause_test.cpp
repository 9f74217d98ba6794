// Game time stands still while play is paused: a pause of any length changes
// nothing in play.
#include <gtest/gtest.h>

#include "app/game.h"  // brings GLEW before GLFW
#include "app/pass_ticks.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "input/controls.h"
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
  Player& hero() { return *game->tovan; }
  void key(int k) { keyCallback(game->window, k, 0, GLFW_PRESS, 0); }
  // Passes every millisecond of wall time for `ms`; returns the ticks they ran.
  int passes(ClockTicks ms) {
    int ticks = 0;
    for (ClockTicks end = wall + ms; wall < end;) {
      setGameClock(++wall);
      if (chooseMode(*game) == FrameMode::Play || chooseMode(*game) == FrameMode::StageClear) {
        ticks += runDueTicks(*game, lookAtClock(*game));
      }
    }
    return ticks;
  }
  // Escape opens the menu; the wall clock runs on for `ms`; Escape closes it.
  void pauseFor(ClockTicks ms) {
    key(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(game->menuOpen);
    EXPECT_EQ(passes(ms), 0);
    key(GLFW_KEY_ESCAPE);
    ASSERT_FALSE(game->menuOpen);
  }

  static constexpr ClockTicks kStart = 400000;
  Game* game = nullptr;
  ClockTicks wall = 0;
};

TEST_F(Pausing, AnEnemysBlowLandsAsLateAfterAPauseAsWithout) {
  game->spawnClock = kStart + 100000;  // no reinforcements here
  spawnEnemy(game->enemies, 1, 0.2f, 0.0f, 1.0f);  // walks up, facing him, and winds up
  while (!game->enemies[0].attackStarted && wall < kStart + 5000) passes(1);
  ASSERT_TRUE(game->enemies[0].attackStarted);
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
  game->controlCode = kWalkRight;
  passes(50);
  pauseFor(60000);
  EXPECT_EQ(passes(1), 0);
  EXPECT_EQ(passes(16), 1);  // the tick at 66 ms of play
  EXPECT_NEAR(hero().getPosition().getX(), 4 * kPlayerSpeed, 1e-5);
}

TEST_F(Pausing, TheStageClearPosesResumeWhereTheyStopped) {
  hero().position.x = hero().hitbox.position.x = kStageEndX;
  game->stageOver = true;
  game->clearClock = kStart;
  game->endFrameIndex = 0;
  passes(500);
  EXPECT_EQ(textureOf(hero().shown), endFrames[0]);  // 400-600 ms: the first pose again
  pauseFor(10000);
  passes(115);  // the tick at 600 ms is not past it
  EXPECT_EQ(textureOf(hero().shown), endFrames[0]);
  passes(1);
  EXPECT_EQ(textureOf(hero().shown), endFrames[1]);
  EXPECT_TRUE(game->stageOver);
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
  game->stageOver = true;
  game->tickClock = game->clearClock = kStart;
  const float level = game->level;
  focus(GLFW_TRUE);
  passes(300);
  focus(GLFW_FALSE);
  EXPECT_TRUE(game->menuOpen);
  passes(5000);
  EXPECT_TRUE(game->stageOver) << "the next level began unseen";
  EXPECT_EQ(game->level, level);
  focus(GLFW_TRUE);
  key(GLFW_KEY_ESCAPE);
  passes(800);
  EXPECT_FALSE(game->stageOver);
  EXPECT_EQ(game->level, level + 1.0f);

  freshStage(*game, kStart);
  hero().lives = 0;
  game->stageOver = true;
  focus(GLFW_TRUE);
  focus(GLFW_FALSE);
  EXPECT_FALSE(game->menuOpen) << "the game-over screen is final";
  game->stageOver = false;
  // The passes scrolled the stage; the next test finds it where it starts.
  std::copy(kFondoPoints, kFondoPoints + 12, game->points);
  refillPositions(game->quads.fondo, game->points);
}

// Each run keeps its own game time: the menu of one stops its clock alone.
TEST_F(Pausing, TwoRunsInOneProcessPauseAndResumeApart) {
  Game other;
  startRunBeside(other, *game, 1.0f, kStart);
  game->controlCode = other.controlCode = kWalkRight;
  const auto pass = [&](ClockTicks ms) {
    setGameClock(wall += ms);
    for (Game* g : {game, &other}) {
      if (chooseMode(*g) == FrameMode::Play) runDueTicks(*g, lookAtClock(*g));
    }
  };
  pass(100);
  key(GLFW_KEY_ESCAPE);  // the shared game's menu; the other run plays on
  for (int i = 0; i < 60; ++i) pass(50);
  EXPECT_EQ(game->clock.time, kStart + 100);
  EXPECT_EQ(other.clock.time, kStart + 3100);
  EXPECT_EQ(game->ticksRun, 6);
  EXPECT_EQ(other.ticksRun, 186);
  key(GLFW_KEY_ESCAPE);
  pass(100);
  EXPECT_EQ(game->clock.time, kStart + 200);
  EXPECT_EQ(game->ticksRun, 12);
  EXPECT_EQ(other.ticksRun, 192);
}

TEST_F(Pausing, AReinforcementDueASecondAfterThePauseIsDueASecondAfterTheResume) {
  hero().position.x = hero().hitbox.position.x = 2.0f;  // far enough in for groups behind him
  game->spawnClock = kStart + 1000 - 4800;  // level 1: due 4800 ms after the last one
  const size_t before = game->enemies.size();
  pauseFor(30000);
  passes(1015);  // the tick at 1000 ms is not past it
  EXPECT_EQ(game->enemies.size(), before);
  passes(1);
  EXPECT_GT(game->enemies.size(), before);
}

}  // namespace
