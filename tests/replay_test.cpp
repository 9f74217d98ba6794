// Runs replayed: the same inputs at the same ticks give the same run, bit for
// bit, whatever the passes of the frame loop; broken run files are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/game.h"
#include "app/replay.h"
#include "app/run_log.h"
#include "tests/gl_fixture.h"
#include "tests/replay/scripted_play.h"

namespace {

struct Script {
  const char* name;
  std::vector<Step> steps;
  ClockTicks recordedEvery;  // ms between the passes it was played at
};

const Script kWalkFightPause{"walk, fight, pause in the middle",
                             {{Act::Walk, 600}, {Act::Fight, 4000}, {Act::Pause, 1500}, {Act::Fight, 4000}},
                             16};
const Script kLoseALife{"stand among them until a life is lost, then fight",
                        {{Act::Walk, 900}, {Act::Stand, 5000}, {Act::Fight, 1500}},
                        33};
const Script kClearStage{"fight through stage 1 into level 2",
                         {{Act::Fight, 240000, 2.0f}, {Act::Fight, 2000}},
                         1};

const Script kStalls{"fight through stalls: passes 100 ms apart drop ticks",
                     {{Act::Walk, 600}, {Act::Fight, 6000}},
                     100};

class Replays : public ::testing::Test {
 protected:
  void SetUp() override { game = &sharedGame(); }
  void TearDown() override { freshStage(*game, 0); }
  Game* game = nullptr;
};

RunFile parsed(const std::string& text) {
  RunFile run;
  std::string why;
  EXPECT_TRUE(parseRunFile(text, run, why)) << why;
  return run;
}

TEST_F(Replays, EveryRunEndsInTheSameStateAtAnyPassInterval) {
  for (const Script* script : {&kWalkFightPause, &kLoseALife, &kClearStage, &kStalls}) {
    SCOPED_TRACE(script->name);
    const std::string text = playScripted(*game, script->steps, script->recordedEvery);
    if (script == &kLoseALife) {
      EXPECT_LT(game->tovan->lives, 5);
    } else if (script == &kClearStage) {
      EXPECT_EQ(game->level, 2.0f);
    } else if (script == &kStalls) {
      EXPECT_NE(text.find(" drop 40\n"), std::string::npos);  // 100 ms a pass: 20 ticks run, 40 ms dropped
    } else {
      EXPECT_NE(text.find(" pause -"), std::string::npos);
    }
    const RunFile run = parsed(text);
    EXPECT_GT(run.endTick, script == &kStalls ? 1000 : 2000);
    for (ClockTicks every : {1, 3, 16, 33, 50}) {
      long differsAt = 0;
      EXPECT_EQ(replayAtPasses(*game, text, every, &differsAt), run.endHash) << "a pass every " << every << " ms";
      EXPECT_EQ(differsAt, -1) << "a pass every " << every << " ms";
      EXPECT_EQ(game->ticksRun, run.endTick);
    }
  }
}

TEST_F(Replays, OneInputOneTickLaterIsAnotherRun) {
  const std::string text = playScripted(*game, kWalkFightPause.steps, 16);
  // The first key event that no other event follows within a tick comes a tick later.
  const RunFile run = parsed(text);
  size_t i = 0;
  while (i + 1 < run.events.size() &&
         !(run.events[i].kind != RunEventKind::Hash && run.events[i + 1].tick > run.events[i].tick + 1)) {
    ++i;
  }
  ASSERT_LT(i + 1, run.events.size());
  const long tick = run.events[i].tick;
  const std::string line = runEventLine(run.events[i]);
  RunEvent later = run.events[i];
  later.tick += 1;
  std::string moved = text;
  moved.replace(moved.find(line), line.size(), runEventLine(later));
  long differsAt = -1;
  EXPECT_NE(replayAtPasses(*game, moved, 16, &differsAt), run.endHash);
  EXPECT_GT(differsAt, tick);
}

TEST(RunFiles, BrokenFilesAreRefusedSayingWhere) {
  const std::string head = "nombre-replay 1 game 1.0.0 level 1 clock 412\n";
  const struct {
    const char* what;
    std::string text;
    const char* says;
  } cases[] = {
      {"empty", "", "empty"},
      {"not a run", "\x89PNG\r\n", "not a replay"},
      {"another version", "nombre-replay 2 game 9.0 level 1 clock 0\nend 0 0000000000000000\n", "version 2"},
      {"cut short", head + "0 press right\n5 release right\n", "cut short"},
      {"out of order", head + "9 press right\n5 release right\nend 9 0000000000000000\n", "out of order"},
      {"unknown event", head + "3 jump up\nend 3 0000000000000000\n", "no event"},
      {"unknown key", head + "3 press f13\nend 3 0000000000000000\n", "no key"},
      {"bad hash", head + "1000 hash 12\nend 1000 0000000000000000\n", "hash"},
      {"negative tick", head + "-4 press z\nend 3 0000000000000000\n", "tick"},
      {"huge level", "nombre-replay 1 game 1.0.0 level 99999999999 clock 0\nend 0 0000000000000000\n", "level"},
      {"after the end", head + "end 3 0000000000000000\n4 press z\n", "after the end"},
      {"end before events", head + "9 press z\nend 3 0000000000000000\n", "ends before"},
      {"a nul byte", head + std::string("3 press z\0\n", 11) + "end 3 0000000000000000\n", "text"},
  };
  for (const auto& c : cases) {
    RunFile run;
    std::string why;
    EXPECT_FALSE(parseRunFile(c.text, run, why)) << c.what;
    EXPECT_NE(why.find(c.says), std::string::npos) << c.what << ": " << why;
  }
  RunFile run;
  std::string why;
  EXPECT_TRUE(parseRunFile(head + "0 press right\n0 pause -\n3 drop 84\nend 3 00000000000000ff\n", run, why)) << why;
  EXPECT_EQ(run.events.size(), 3u);
  EXPECT_EQ(run.endHash, 0xffu);
}

// A watched replay that its viewer pauses freezes under a sign that it is a
// paused replay, over the sky; the fight below stays as it was. The player's
// own pause is the menu, never this sign.
TEST_F(Replays, AReplayPausedByItsViewerShowsItsPauseSign) {
  const RunFile run = parsed(playScripted(*game, {{Act::Walk, 300}, {Act::Stand, 300}}, 16));
  resetGameClock();
  ClockTicks wall = 1000;
  setGameClock(wall);
  RunLog log;
  beginReplay(*game, log, run);
  setGameClock(wall += 50);
  const auto sky = [] { return readRegion(200, 20, 400, 190); };
  const auto fight = [] { return readRegion(0, 230, 800, 220); };
  renderOnly(*game);
  const std::vector<unsigned char> skyPlaying = sky(), fightPlaying = fight();
  const long ticks = game->ticksRun;
  ASSERT_GT(ticks, 0);

  pauseGameClock();
  setGameClock(wall += 50);  // time does not pass for the replay while paused
  renderOnly(*game);
  EXPECT_EQ(game->ticksRun, ticks);
  EXPECT_TRUE(sky() != skyPlaying) << "the sign is drawn";
  EXPECT_TRUE(fight() == fightPlaying) << "the fight is frozen as it was";
  const std::vector<unsigned char> skyPaused = sky();

  resumeGameClock();
  renderOnly(*game);
  EXPECT_TRUE(sky() == skyPlaying) << "resumed, the sign is gone";

  game->log = nullptr;  // not a replay: a clock held still shows no replay's sign
  pauseGameClock();
  renderOnly(*game);
  EXPECT_TRUE(sky() == skyPlaying);
  EXPECT_TRUE(sky() != skyPaused);
  resumeGameClock();
}

// The real binary: --check says whether a run ends as recorded, in its one
// line and nothing else (no line per enemy defeated, as play writes); a file
// that is not a run is refused with exit code 2.
TEST_F(Replays, TheGameChecksARunFile) {
  testing::internal::CaptureStdout();
  const std::string text = playScripted(*game, {{Act::Walk, 500}, {Act::Fight, 2500}}, 16);
  ASSERT_NE(testing::internal::GetCapturedStdout().find("Kill\n"), std::string::npos) << "the run defeats enemies";
  const std::string good = testing::TempDir() + "nombre_good.nrep";
  const std::string bad = testing::TempDir() + "nombre_bad.nrep";
  const std::string broken = testing::TempDir() + "nombre_broken.nrep";
  std::ofstream(good) << text;
  std::string changed = text;
  changed.replace(changed.rfind("end "), std::string::npos, "end " + std::to_string(parsed(text).endTick) +
                                                              " 0123456789abcdef\n");
  std::ofstream(bad) << changed;
  std::ofstream(broken) << text.substr(0, text.size() / 2);
  std::string out;
  EXPECT_EQ(runCommand(std::string(NOMBRE_BINARY) + " --replay " + good + " --check 2>&1", out), 0) << out;
  EXPECT_EQ(out, "nombre: the replay ends as the run did (" + std::to_string(parsed(text).endTick) + " ticks)\n");
  EXPECT_EQ(runCommand(std::string(NOMBRE_BINARY) + " --replay " + bad + " --check 2>&1", out), 1) << out;
  EXPECT_EQ(runCommand(std::string(NOMBRE_BINARY) + " --replay " + broken + " --check 2>&1", out), 2) << out;
  EXPECT_NE(out.find("is not a run to replay"), std::string::npos) << out;
  EXPECT_EQ(runCommand(std::string(NOMBRE_BINARY) + " --check 2>&1", out), 2) << out;
  std::remove(good.c_str());
  std::remove(bad.c_str());
  std::remove(broken.c_str());
}

}  // namespace
