// The frame loop's pace: passes no closer than the display's refresh, still
// screens drawn once and again only when what they show changes, and the
// switch that lifts the cap.
#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"
#include "app/play_picture.h"
#include "app/window_callbacks.h"
#include "rules/control_rules.h"
#include "tests/gl_fixture.h"
#include "window/frame_pace.h"

TEST(FramePace, PassesStartAPeriodApartAndAStallStartsTheScheduleAfresh) {
  struct Case {
    const char* name;
    double now, nextPass;
    double wait, nextAfter;
  };
  const double period = 0.01;
  const Case cases[] = {
      {"early: waits for its time", 1.004, 1.010, 0.006, 1.020},
      {"on time", 1.010, 1.010, 0.0, 1.020},
      {"a little late: the schedule holds", 1.013, 1.010, 0.0, 1.020},
      {"a period late or more: afresh from now", 1.050, 1.010, 0.0, 1.060},
      {"the first pass", 5.0, 0.0, 0.0, 5.01},
  };
  for (const Case& c : cases) {
    double next = c.nextPass;
    EXPECT_NEAR(passWait(c.now, next, period), c.wait, 1e-9) << c.name;
    EXPECT_NEAR(next, c.nextAfter, 1e-9) << c.name;
  }
  EXPECT_DOUBLE_EQ(refreshPeriod(0), 1.0 / 60.0);
  EXPECT_DOUBLE_EQ(refreshPeriod(-1), 1.0 / 60.0);
  EXPECT_DOUBLE_EQ(refreshPeriod(144), 1.0 / 144.0);
}

// A browser calls a pass at each of its frames: their period is the median of
// the first intervals, whatever a slow first frame or a stall among them
// took, and play is drawn between ticks on any screen but one at the ticks' rate.
TEST(FramePace, TheBrowsersFramePeriodIsMeasuredFromItsFirstPasses) {
  struct Case {
    const char* name;
    double hertz;
    std::vector<double> odd;  // intervals among the first, in seconds
    bool between;
  };
  const Case cases[] = {
      {"60 Hz", 60.0, {}, false},
      {"60 Hz, a slow first frame and a stall", 60.0, {0.4, 0.25, 0.05}, false},
      {"59.94 Hz", 59.94, {}, false},
      {"60 Hz as a busy browser times it", 59.2, {}, false},
      {"75 Hz", 75.0, {}, true},
      {"50 Hz", 50.0, {}, true},
      {"120 Hz", 120.0, {0.1}, true},
      {"144 Hz, two stalls", 144.0, {0.2, 0.03}, true},
      {"30 Hz", 30.0, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PassPeriod measure;
    double now = 2.5;
    int completed = 0;
    EXPECT_FALSE(notePassStart(measure, now)) << "one pass is no interval";
    for (int i = 0; i < kMeasuredIntervals + 10; ++i) {
      now += i < static_cast<int>(c.odd.size()) ? c.odd[i] : 1.0 / c.hertz;
      if (notePassStart(measure, now)) {
        ++completed;
        EXPECT_EQ(i, kMeasuredIntervals - 1) << "measured on the pass that completes it";
      }
    }
    EXPECT_EQ(completed, 1);
    EXPECT_NEAR(measure.period, 1.0 / c.hertz, 1e-9);
    EXPECT_EQ(drawsBetweenTicks(measure.period, true, kGamePace, kMeasuredSameRate), c.between);
  }
}

TEST(FramePace, StillScreensAreDrawnAgainOnlyWhenWhatTheyShowChanges) {
  Game& game = sharedGame();
  freshStage(game, 1000);
  FramePace pace;
  const auto draws = [&] { return mustDraw(pace, stillPicture(game)); };
  EXPECT_TRUE(draws());
  EXPECT_TRUE(draws()) << "play moves: every pass draws";
  openMenu(game.run);
  EXPECT_TRUE(draws()) << "the menu opens";
  EXPECT_FALSE(draws()) << "the same menu";
  sendKey(game, GLFW_KEY_DOWN, GLFW_PRESS);
  EXPECT_TRUE(draws()) << "the other choice";
  EXPECT_FALSE(draws());
  glViewport(50, 0, 700, 525);
  EXPECT_TRUE(draws()) << "a resized window";
  EXPECT_FALSE(draws());
  glViewport(0, 0, kWindowWidth, kWindowHeight);
  freshControls(game.run);
  game.run.stageOver = true;
  game.run.tovan->lives = 0;
  EXPECT_TRUE(draws()) << "game over";
  EXPECT_FALSE(draws());
  freshStage(game, 1000);
  // A run played back, paused by its viewer: play stands still.
  EXPECT_TRUE(draws());
  holdReplay(game, true);
  EXPECT_TRUE(draws()) << "the playback pauses";
  EXPECT_FALSE(draws()) << "paused";
  holdReplay(game, false);
  EXPECT_TRUE(draws()) << "it plays on";
  freshStage(game, 1000);
}

TEST(FramePace, UncappedIsAnOptionOfTheCommandLine) {
  char name[] = "nombre", flag[] = "--uncapped";
  char* argv[] = {name, flag};
  Options options;
  EXPECT_EQ(parseCommandLine(2, argv, options), -1);
  EXPECT_TRUE(options.uncapped);
  Options plain;
  EXPECT_EQ(parseCommandLine(1, argv, plain), -1);
  EXPECT_FALSE(plain.uncapped);
}
