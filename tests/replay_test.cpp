// Runs replayed: the same inputs at the same ticks give the same run, bit for
// bit, whatever the passes of the frame loop; broken run files are refused.
#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/frame_loop.h"
#include "app/pass_ticks.h"
#include "app/replay.h"
#include "base/recording_file.h"
#include "enemies/roster.h"
#include "rules/update_ticks.h"
#include "runs/run_check.h"
#include "runs/run_log.h"
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

const Script kStalls{"fight through stalls: passes 150 ms apart drop ticks",
                     {{Act::Walk, 600}, {Act::Fight, 6000}},
                     150};

class Replays : public ::testing::Test {
 protected:
  void SetUp() override { game = &sharedGame(); }
  void TearDown() override { freshStage(*game, 0); }
  Game* game = nullptr;
};

// Plays a run begun by beginReplay to the end of its file as fast as ticks
// go. False when it stops short of its last tick (the menu open or the game
// over where the file goes on).
bool playToEnd(Run& run, RunLog& log) {
  while (!log.replayDone(run)) {
    if (!runLoggedTick(run, &log) && !log.replayDone(run)) return false;
  }
  return true;
}

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
      EXPECT_LT(game->run.tovan->lives, 5);
    } else if (script == &kClearStage) {
      EXPECT_EQ(game->run.level, 2.0f);
    } else if (script == &kStalls) {
      EXPECT_NE(text.find(" drop 50\n"), std::string::npos);  // 150 ms a pass: 6 ticks run, 50 ms dropped
    } else {
      EXPECT_NE(text.find(" pause -"), std::string::npos);
    }
    const RunFile run = parsed(text);
    EXPECT_GT(run.endTick, 200);
    for (ClockTicks every : {1, 3, 16, 33, 50}) {
      std::int64_t differsAt = 0;
      EXPECT_EQ(replayAtPasses(*game, text, every, &differsAt), run.endHash) << "a pass every " << every << " ms";
      EXPECT_EQ(differsAt, -1) << "a pass every " << every << " ms";
      EXPECT_EQ(game->run.ticksRun, run.endTick);
    }
  }
}

// Runs recorded by the game before their files carried the whole state
// (format version 1), and before they carried their tick length (version 2,
// played at 3 ms ticks), still check as the runs they are; so do runs kept
// at 60 ticks a second (version 3), whatever changes in the code after them.
TEST_F(Replays, RecordedRunsOfEveryFormatStillCheck) {
  const struct {
    const char* name;
    int livesLeft;
    float level;
  } fixtures[] = {{"walk.nrep", 4, 1.0f},
                  {"lost_life.nrep", 3, 1.0f},
                  {"clear_stage.nrep", 5, 2.0f},
                  {"v2_walk_fight_pause.nrep", 5, 2.0f},
                  {"v2_stalls.nrep", 5, 2.0f},
                  {"v2_long_game.nrep", 0, 3.0f},
                  {"v3_walk_fight_pause.nrep", 5, 1.0f},
                  {"v3_stalls.nrep", 5, 1.0f},
                  {"v3_long_game.nrep", 0, 3.0f}};
  for (const auto& fixture : fixtures) {
    const char* name = fixture.name;
    SCOPED_TRACE(name);
    RunFile run;
    ASSERT_TRUE(loadRun(std::string(NOMBRE_FIXTURES) + "/" + name, run));
    beginReplay(*game, run);
    EXPECT_TRUE(playToEnd(game->run, game->log));
    EXPECT_EQ(game->log.firstDifference(), -1);
    EXPECT_TRUE(game->log.endsAsRecorded(game->run));
    EXPECT_EQ(game->run.tovan->lives, fixture.livesLeft);
    EXPECT_EQ(game->run.level, fixture.level);
    game->log = RunLog();
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
  std::int64_t differsAt = -1;
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
      {"another version", "nombre-replay 4 game 9.0 level 1 clock 0 tick 50/3\nend 0 0000000000000000\n", "version 4"},
      {"no tick length", "nombre-replay 3 game 1.0.0 level 1 clock 0\nend 0 0000000000000000\n", "tick MS/N"},
      {"a tick of 1 ms", "nombre-replay 3 game 1.0.0 level 1 clock 0 tick 1/1\nend 0 0000000000000000\n", "the tick"},
      {"a tick over 0", "nombre-replay 3 game 1.0.0 level 1 clock 0 tick 50/0\nend 0 0000000000000000\n", "the tick"},
      {"a tick of words", "nombre-replay 3 game 1.0.0 level 1 clock 0 tick fast\nend 0 0000000000000000\n", "the tick"},
      {"cut short", head + "0 press right\n5 release right\n", "cut short"},
      {"out of order", head + "9 press right\n5 release right\nend 9 0000000000000000\n", "out of order"},
      {"unknown event", head + "3 jump up\nend 3 0000000000000000\n", "no event"},
      {"unknown key", head + "3 press f13\nend 3 0000000000000000\n", "no key"},
      {"bad hash", head + "1000 hash 12\nend 1000 0000000000000000\n", "hash"},
      {"negative tick", head + "-4 press z\nend 3 0000000000000000\n", "tick"},
      {"huge level", "nombre-replay 1 game 1.0.0 level 99999999999 clock 0\nend 0 0000000000000000\n", "level"},
      // Every game starts at level 1: only a hand writes another start.
      {"a start past level 1", "nombre-replay 3 game 1.0.0 level 1000 clock 0 tick 50/3\n0 press x\nend 864000 0000000000000000\n",
       "line 1: the start level is \"1000\": every game starts at level 1"},
      {"a start at level 2", "nombre-replay 1 game 1.0.0 level 2 clock 0\nend 0 0000000000000000\n", "level 1"},
      {"a word past the third", head + "3 press z z\nend 3 0000000000000000\n", "line 2: not \"TICK KIND VALUE\""},
      // The game writes a hash line every 3 s of play, and nowhere else.
      {"no hash where one is due", "nombre-replay 3 game 1.0.0 level 1 clock 0 tick 50/3\n0 press x\nend 864000 0000000000000000\n",
       "line 3: no hash line at tick 180, where the game writes one"},
      {"an event past a hash due", head + "1000 hash 0000000000000000\n2001 press x\nend 2001 0000000000000000\n",
       "line 3: no hash line at tick 2000"},
      {"a hash off its tick", head + "999 hash 0000000000000000\nend 999 0000000000000000\n",
       "line 2: a hash line at tick 999, where the game writes none"},
      {"a word past the end line's", head + "end 3 0000000000000000 0\n", "line 2: the end line"},
      {"a header word too many", "nombre-replay 3 game 1.0.0 level 1 clock 0 tick 50/3 x\nend 0 0000000000000000\n",
       "line 1: the header"},
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

// Whatever key the window sends, a media key GLFW has no name for (-1) and
// a default key given to no action included, reads back as it was written.
TEST(RunFiles, EveryKeyTheWindowCanSendReadsBackAsWritten) {
  std::string text = "nombre-replay 1 game 1.0.0 level 1 clock 0\n";
  std::vector<RunEvent> written;
  for (int key = GLFW_KEY_UNKNOWN; key <= GLFW_KEY_LAST; ++key) {
    for (RunEventKind kind : {RunEventKind::Press, RunEventKind::Repeat, RunEventKind::Release}) {
      RunEvent event;
      event.tick = key + 1;
      event.kind = kind;
      event.value = key;
      written.push_back(event);
      text += runEventLine(event);
    }
  }
  text += runEndLine(GLFW_KEY_LAST + 1, 0);
  const RunFile run = parsed(text);
  ASSERT_EQ(run.events.size(), written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(run.events[i].value, written[i].value) << runEventLine(written[i]);
    EXPECT_EQ(run.events[i].kind, written[i].kind) << runEventLine(written[i]);
  }
}

// A file claims at most 4 hours of game time, ticks and drops together, so
// that any file accepted is checked in seconds; the refusal names its line.
// Files an editor saved with a byte-order mark are read.
TEST(RunFiles, ARunHoldsAtMostFourHoursOfGameTime) {
  const std::string head = "nombre-replay 1 game 1.0.0 level 1 clock 412\n";
  // The hash lines a version-1 file holds up to `ticks`, as the game wrote them.
  const auto hashesBefore = [](long ticks) {
    std::string lines;
    for (long tick = kClassicHashEvery; tick <= ticks; tick += kClassicHashEvery) {
      lines += std::to_string(tick) + " hash 0000000000000000\n";
    }
    return lines;
  };
  const std::string longest = std::to_string(kLongestRunMs / kClassicPace.num);
  const std::string pastLongest = std::to_string(kLongestRunMs / kClassicPace.num + 1);
  const struct {
    const char* what;
    std::string text;
    const char* says;  // null: accepted
  } cases[] = {
      {"the longest run", head + hashesBefore(kLongestRunMs / kClassicPace.num) + longest + " press x\nend " + longest +
                              " 0000000000000000\n",
       nullptr},
      {"a byte-order mark", "\xEF\xBB\xBF" + head + "3 press z\nend 3 0000000000000000\n", nullptr},
      {"an end a tick past it", head + "end " + pastLongest + " 0000000000000000\n", "line 2: the run would last"},
      {"an end 10^12 ticks on", head + "end 1000000000000 0000000000000000\n", "line 2: the run would last"},
      {"an event past it", head + "3 press z\n" + pastLongest + " press z\nend 3 0000000000000000\n",
       "line 3: the run would last"},
      {"a drop of 2^40 ms", head + "0 drop 1099511627776\nend 0 0000000000000000\n", "line 2: the run would last"},
      {"ticks and drops past it together", head + "0 drop " + std::to_string(kLongestRunMs - 3) +
                                               "\nend 2 0000000000000000\n",
       "line 3: the run would last"},
  };
  for (const auto& c : cases) {
    RunFile run;
    std::string why;
    EXPECT_EQ(parseRunFile(c.text, run, why), c.says == nullptr) << c.what << ": " << why;
    if (c.says != nullptr) {
      EXPECT_NE(why.find(c.says), std::string::npos) << c.what << ": " << why;
    }
  }
}

// A line is given up on at the word past its last: a file of one line of
// millions of words is refused, holding no more memory than a small multiple
// of the file (each word kept apart, it held twenty times the file).
TEST(RunFiles, ALineOfMillionsOfWordsCostsNoMoreMemoryThanTheFile) {
  const std::string path = testing::TempDir() + "nombre_many_words.nrep";
  constexpr long kBytes = 32L << 20;
  {
    std::ofstream file(path);
    file << "nombre-replay 3 game 1.0.0 level 1 clock 0 tick 50/3\n0 press ";
    std::string chunk;
    for (int i = 0; i < (1 << 19); ++i) chunk += "a ";
    for (long written = 0; written < kBytes; written += static_cast<long>(chunk.size())) file << chunk;
    file << "\nend 3 0000000000000000\n";
  }
  std::string out;
  // The peak resident memory, in kB, on the last line.
  const int status = runCommand("/usr/bin/time -f %M " + std::string(NOMBRE_CHECK_BINARY) + " " + path + " 2>&1", out);
  std::remove(path.c_str());
  EXPECT_EQ(status, 2) << out;
  EXPECT_NE(out.find("line 2: not \"TICK KIND VALUE\""), std::string::npos) << out;
  const long peakKb = std::stol(out.substr(out.rfind('\n', out.size() - 2) + 1));
  EXPECT_LT(peakKb * 1024, 4 * kBytes) << out;
}

// A check ends, given up on, past the work of any run the game records (a
// file can claim a run far costlier per tick than a real one); a stop asked
// for is heard within a few thousand steps.
TEST(RunFiles, ACheckIsBoundedAndCanBeStopped) {
  RunFile file;
  std::string why;
  ASSERT_TRUE(readRunFile(std::string(NOMBRE_FIXTURES) + "/v3_long_game.nrep", file, why)) << why;
  const RunVerdict whole = checkRun(file);
  EXPECT_TRUE(whole.same) << whole.says;
  EXPECT_EQ(whole.score, 29100);
  EXPECT_EQ(whole.level, 3);

  const RunVerdict costly = checkRun(file, nullptr, 20000);
  EXPECT_FALSE(costly.same);
  EXPECT_TRUE(costly.tooCostly);
  EXPECT_LT(costly.ticks, 20000 / kTickSteps);
  EXPECT_NE(costly.says.find("given up at tick " + std::to_string(costly.ticks)), std::string::npos) << costly.says;

  static int asked = 0;
  asked = 0;
  const RunVerdict stopped = checkRun(file, [] { return ++asked == 3; });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_FALSE(stopped.same);
  EXPECT_EQ(asked, 3);
  EXPECT_LT(stopped.ticks, 5000) << "asked every few hundred ticks at most";
  EXPECT_EQ(stopped.says, "the check was stopped at tick " + std::to_string(stopped.ticks));
  // The most a check may cost covers a real run of the longest a file holds,
  // at the game's pace now and at the 3 ms ticks of old.
  EXPECT_GE(kMostCheckSteps, kLongestRunMs * kGamePace.den / kGamePace.num * (kTickSteps + 250));
  EXPECT_GE(kMostCheckSteps, kLongestRunMs / 3 * (kTickSteps + 40));
}

// A file of many events at one tick: a stop is heard while it is read and
// while its events are taken, never only after all of them, and its events
// are held in the room they need (never grown by doubling).
TEST(RunFiles, AStopIsHeardAmongEventsOfOneTick) {
  constexpr int kEvents = 200000;
  std::string text = "nombre-replay 3 game 1.0.0 level 1 clock 0 tick 50/3\n";
  for (int i = 0; i < kEvents; ++i) text += "0 drop 1\n";
  text += "end 0 0000000000000000\n";

  static int asked = 0;
  const auto stopAtOnce = [] { return ++asked >= 1; };
  RunFile file;
  std::string why;
  asked = 0;
  EXPECT_FALSE(parseRunFile(text, file, why, stopAtOnce));
  EXPECT_EQ(why, "stopped");
  EXPECT_EQ(asked, 1);

  ASSERT_TRUE(parseRunFile(text, file, why)) << why;
  EXPECT_EQ(file.events.size(), static_cast<size_t>(kEvents));
  EXPECT_LE(file.events.capacity(), text.size() / (kShortestEventLine + 1));
  asked = 0;
  const RunVerdict stopped = checkRun(file, stopAtOnce);
  EXPECT_TRUE(stopped.stopped) << stopped.says;
  EXPECT_EQ(stopped.ticks, 0);
  EXPECT_EQ(stopped.says, "the check was stopped at tick 0");
}

// A game closed before its first tick leaves the last run there was: only a
// run with a tick played is handed on to be kept.
TEST(RunFiles, ARunOfNoTicksIsNotKept) {
  static int kept = 0;
  kept = 0;
  for (const long ticks : {0L, 1L}) {
    ::Run run;
    RunLog log;
    bringHeroOn(run);
    beginRun(run, 1.0f, 5000);
    log.beginRecording(run, nullptr, [](const std::string&) { ++kept; });
    for (long i = 0; i < ticks; ++i) ASSERT_TRUE(runLoggedTick(run, &log));
    log.finish(run);
    EXPECT_EQ(kept, ticks == 0 ? 0 : 1) << ticks << " ticks";
  }
}

// A recording ends, with one line, before the run would hold more game time
// than a file may: before a stall too long, or at the tick that would pass
// it after a long one. What was recorded is a run that plays back to its end.
TEST_F(Replays, ARecordingEndsAtTheMostGameTimeAFileHolds) {
  const struct {
    const char* what;
    ClockTicks stall;
    bool stallRecorded;
  } cases[] = {{"a stall past it", kLongestRunMs, false}, {"ticks past it after a stall", kLongestRunMs - 1999, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::internal::CaptureStderr();
    const std::string text = playScripted(*game, {{Act::Walk, 600}, {Act::Stall, c.stall}, {Act::Fight, 3000}}, 16);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("the recording ends after " + std::to_string(kLongestRunHours) + " hours of game time"),
              std::string::npos)
        << said;
    const RunFile run = parsed(text);
    EXPECT_EQ(text.find(" drop ") != std::string::npos, c.stallRecorded);
    std::int64_t differsAt = 0;
    EXPECT_EQ(replayAtPasses(*game, text, 16, &differsAt), run.endHash);
    EXPECT_EQ(differsAt, -1);
  }
}

// Stderr into a pipe: writes to it are not held to the file size limit.
class StderrCapture {
 public:
  StderrCapture() {
    if (pipe(ends) != 0) return;
    saved = dup(2);
    dup2(ends[1], 2);
    close(ends[1]);
  }
  std::string said() {
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(ends[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    close(ends[0]);
    return text;
  }

 private:
  int ends[2] = {-1, -1};
  int saved = -1;
};

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A recording whose file stops taking bytes (a full disk; here the file
// size limit, which fails writes the same way) says so in one line, plays
// on, and leaves on disk a whole run that replays: the recorded one up to
// its last flush.
TEST_F(Replays, ARecordingTheDiskRefusesLeavesAWholeRunOnDisk) {
  const std::string path = testing::TempDir() + "nombre_full.nrep";
  const auto ignoredBefore = std::signal(SIGXFSZ, SIG_IGN);
  rlimit unlimited{};
  getrlimit(RLIMIT_FSIZE, &unlimited);
  // Unlimited first: the whole run's size sets the last case, where only
  // the final end line finds no room.
  long wholeSize = 0;
  for (long room : {-1L, 0L, 60L, 100L, 400L, -2L}) {
    if (room == -2) room = wholeSize - 1;
    SCOPED_TRACE("room for " + std::to_string(room) + " bytes");
    std::remove(path.c_str());
    RecordingFile file;
    std::string why;
    ASSERT_TRUE(file.open(path, &why)) << why;
    if (room >= 0) {
      rlimit limited = unlimited;
      limited.rlim_cur = static_cast<rlim_t>(room);
      setrlimit(RLIMIT_FSIZE, &limited);
    }
    StderrCapture capture;
    const std::string whole = playScripted(*game, kWalkFightPause.steps, 16, 1.0f, 5000, &file);
    const std::string said = capture.said();
    setrlimit(RLIMIT_FSIZE, &unlimited);
    const std::string kept = fileText(path);
    if (room < 0) {
      wholeSize = static_cast<long>(whole.size());
      EXPECT_EQ(kept, whole);
      EXPECT_EQ(said, "");
      continue;
    }
    EXPECT_EQ(said.rfind("nombre: cannot record into " + path, 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    if (kept.size() < 68) {  // not even the header and its end line
      EXPECT_EQ(kept, "");
      EXPECT_NE(said.find("none of the run is recorded"), std::string::npos) << said;
      continue;
    }
    const RunFile run = parsed(kept);
    const std::string lines = kept.substr(0, kept.rfind("end "));
    EXPECT_EQ(whole.compare(0, lines.size(), lines), 0) << kept;
    EXPECT_NE(said.find("the file keeps the run up to tick " + std::to_string(run.endTick)), std::string::npos) << said;
    std::int64_t differsAt = 0;
    EXPECT_EQ(replayAtPasses(*game, kept, 16, &differsAt), run.endHash);
    EXPECT_EQ(differsAt, -1);
  }
  std::signal(SIGXFSZ, ignoredBefore);
  std::remove(path.c_str());
}

// The real binary with files that are not runs to read or places to record
// into: each is refused at once with one line, and an old recording is left
// as it was when the game cannot start.
TEST(RunFiles, TheGameNeverHangsOnRunFilesNorLosesAnOldRecording) {
  const std::string folder = testing::TempDir() + "nombre_run_files/";
  std::string out;
  runCommand("rm -rf " + folder + " && mkdir -p " + folder + " && mkfifo " + folder + "pipe.nrep && truncate -s 8G " +
                 folder + "huge.nrep && echo old run > " + folder + "old.nrep",
             out);
  const std::string game = "cd " + folder + " && timeout 10 env -u DISPLAY " + NOMBRE_BINARY;
  const struct {
    const char* what;
    std::string command;
    int exitCode;
    const char* says;
  } cases[] = {
      {"recording into a pipe no one reads", " --record pipe.nrep", 2, "no program reads from that pipe"},
      {"checking an 8 GB file", " --replay huge.nrep --check", 2, "larger than any run"},
      // A script's unset variable: an empty name is no name.
      {"checking an empty name", " --replay '' --check", 2, "nombre: --replay: the file name is empty\n"},
      {"watching an empty name", " --replay ''", 2, "nombre: --replay: the file name is empty\n"},
      {"recording into an empty name", " --record ''", 2, "nombre: --record: the file name is empty\n"},
      {"recording over an old run with no display", " --record old.nrep", 255, "no display: DISPLAY is not set"},
      {"recording a new run with no display", " --record new.nrep", 255, "no display: DISPLAY is not set"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(runCommand(game + c.command + " 2>&1", out), c.exitCode) << c.what << ": " << out;
    EXPECT_NE(out.find(c.says), std::string::npos) << c.what << ": " << out;
  }
  EXPECT_EQ(fileText(folder + "old.nrep"), "old run\n");
  EXPECT_NE(access((folder + "new.nrep").c_str(), F_OK), 0) << "a file made for a run that never started";
  runCommand("rm -rf " + folder, out);
}

// A run file's bad word and the file's own name may be megabytes long or
// hold a terminal's escapes: the refusal quotes the start of each, control
// bytes shown as '?', in one short line.
TEST(RunFiles, ARefusalQuotesBadWordsAndNamesShortAndPlain) {
  const std::string folder = testing::TempDir() + "nombre_run_quotes/";
  std::string out;
  runCommand("rm -rf " + folder + " && mkdir -p " + folder, out);
  const std::string escapes = "\x1b]0;pwned\x07\x1b[2J\x1b[31m";
  const std::string huge = escapes + std::string(5 << 20, 'k');
  const std::string name = "run" + escapes + ".nrep";
  const struct {
    const char* what;
    std::string line;
    const char* says;
  } cases[] = {
      {"a key name", "3 press " + huge, "no key is called \"?]0;pwned??[2J?[31mkkkk"},
      {"an event name", "3 " + huge + " z", "no event is called \"?]0;pwned??[2J?[31mkkkk"},
  };
  for (const auto& c : cases) {
    std::ofstream(folder + name) << "nombre-replay 2 game 1.0.0 level 1 clock 0\n" << c.line << "\nend 3 0000000000000000\n";
    // The shell takes the name from the environment, escapes and all.
    setenv("NOMBRE_RUN_NAME", name.c_str(), 1);
    EXPECT_EQ(runCommand("cd " + folder + " && timeout 10 " + NOMBRE_BINARY + " --replay \"$NOMBRE_RUN_NAME\" --check 2>&1", out), 2)
        << c.what;
    EXPECT_LT(out.size(), 400u) << c.what;
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](char b) { return static_cast<unsigned char>(b) < 0x20; }), 1)
        << c.what << ": only the line's end is a control byte";
    EXPECT_NE(out.find("run?]0;pwned??[2J?[31m.nrep\"#"), std::string::npos) << c.what << ": " << out;
    EXPECT_NE(out.find(" is not a run to replay"), std::string::npos) << c.what << ": " << out;
    EXPECT_NE(out.find(c.says), std::string::npos) << c.what << ": " << out;
    EXPECT_NE(out.find("kk...\"\n"), std::string::npos) << c.what << ": " << out;
  }
  unsetenv("NOMBRE_RUN_NAME");
  runCommand("rm -rf " + folder, out);
}

// A watched replay that its viewer pauses freezes under a sign that it is a
// paused replay, over the sky; the fight below stays as it was. The player's
// own pause is the menu, never this sign.
TEST_F(Replays, AReplayPausedByItsViewerShowsItsPauseSign) {
  const RunFile run = parsed(playScripted(*game, {{Act::Walk, 300}, {Act::Stand, 300}}, 16));
  ClockTicks wall = 1000;
  setGameClock(wall);
  beginReplay(*game, run);
  setGameClock(wall += 50);
  const auto sky = [] { return readRegion(200, 20, 400, 190); };
  const auto fight = [] { return readRegion(0, 230, 800, 220); };
  renderOnly(*game);
  const std::vector<unsigned char> skyPlaying = sky(), fightPlaying = fight();
  const long ticks = game->run.ticksRun;
  ASSERT_GT(ticks, 0);

  holdReplay(*game, true);
  setGameClock(wall += 50);  // time does not pass for the replay while paused
  renderOnly(*game);
  EXPECT_EQ(game->run.ticksRun, ticks);
  EXPECT_TRUE(sky() != skyPlaying) << "the sign is drawn";
  EXPECT_TRUE(fight() == fightPlaying) << "the fight is frozen as it was";
  const std::vector<unsigned char> skyPaused = sky();

  holdReplay(*game, false);
  renderOnly(*game);
  EXPECT_TRUE(sky() == skyPlaying) << "resumed, the sign is gone";

  game->log = RunLog();  // not a replay: a clock held still shows no replay's sign
  holdReplay(*game, true);
  renderOnly(*game);
  EXPECT_TRUE(sky() == skyPlaying);
  EXPECT_TRUE(sky() != skyPaused);
  holdReplay(*game, false);
}

// The run as text with event `i` moved by `by` ticks: later, it comes first
// among the events of its new tick; earlier, last.
std::string withEventMoved(const std::string& text, const RunFile& run, size_t i, long by) {
  struct Placed {
    RunEvent event;
    int order;
  };
  std::vector<Placed> events;
  for (size_t j = 0; j < run.events.size(); ++j) events.push_back({run.events[j], 0});
  events[i].event.tick += by;
  events[i].order = by > 0 ? -1 : 1;
  std::stable_sort(events.begin(), events.end(), [](const Placed& a, const Placed& b) {
    return a.event.tick != b.event.tick ? a.event.tick < b.event.tick : a.order < b.order;
  });
  std::string moved = text.substr(0, text.find('\n') + 1);
  for (const Placed& p : events) moved += runEventLine(p.event);
  return moved + runEndLine(run.endTick, run.endHash);
}

bool isKeyEvent(const RunEvent& event) {
  return event.kind == RunEventKind::Press || event.kind == RunEventKind::Release ||
         event.kind == RunEventKind::Repeat;
}

// The moves the game takes exactly as the recorded run, so no check can
// tell them apart: every state at every tick is the same.
// - A release of Z or X followed at its tick by a press of an arrow, moved a
//   tick later: the release sets the control code to the arrows held, which
//   the press has just set; a tick later it sets the same code again.
// - A release of Escape: the menu takes presses alone, and in play a release
//   sets the code to the arrows held, which it is already (the pause lets
//   every key go first).
bool takenAlike(const RunFile& run, size_t i, long by) {
  const RunEvent& e = run.events[i];
  if (e.kind != RunEventKind::Release) return false;
  if (e.value == GLFW_KEY_ESCAPE) return true;
  if (by != 1 || (e.value != GLFW_KEY_Z && e.value != GLFW_KEY_X) || i + 1 >= run.events.size()) return false;
  const RunEvent& next = run.events[i + 1];
  return next.tick == e.tick && next.kind == RunEventKind::Press &&
         (next.value == GLFW_KEY_RIGHT || next.value == GLFW_KEY_LEFT);
}

std::string moveName(const RunEvent& event, long by) {
  std::string line = runEventLine(event);
  line.pop_back();
  return line + (by > 0 ? " a tick later" : " a tick earlier");
}

// Every key event of a recorded run, moved one tick later and one tick
// earlier: the replay differs from the run, unless the game took the moved
// run exactly as the recorded one (and then exactly those).
TEST_F(Replays, EveryKeyEventMovedByOneTickIsCaught) {
  const std::string text = playScripted(*game, kWalkFightPause.steps, 16);
  const RunFile run = parsed(text);
  int moves = 0;
  std::vector<std::string> uncaught;
  std::vector<std::string> alike;
  for (size_t i = 0; i < run.events.size(); ++i) {
    if (!isKeyEvent(run.events[i])) continue;
    for (long by : {1L, -1L}) {
      // A file holds no event before its first tick nor after its end.
      if (run.events[i].tick + by < 0 || run.events[i].tick + by > run.endTick) continue;
      ++moves;
      std::int64_t differsAt = -1;
      const std::uint64_t end = replayAtPasses(*game, withEventMoved(text, run, i, by), 16, &differsAt);
      if (differsAt < 0 && end == run.endHash) uncaught.push_back(moveName(run.events[i], by));
      if (takenAlike(run, i, by)) alike.push_back(moveName(run.events[i], by));
    }
  }
  EXPECT_GT(moves, 40);
  EXPECT_FALSE(alike.empty());
  EXPECT_EQ(uncaught, alike);
}

// Two runs played back side by side in one process, a tick of one then a
// tick of the other: each ends on its own recorded digest, so nothing of a
// run lives outside its Game (the clock each tick reads is its run's, the
// random numbers are its run's).
TEST_F(Replays, TwoRunsPlayedTickByTickInTurnEachEndAsRecorded) {
  const std::string walkFight = playScripted(*game, kWalkFightPause.steps, kWalkFightPause.recordedEvery);
  const std::string loseALife = playScripted(*game, kLoseALife.steps, kLoseALife.recordedEvery);
  const struct {
    const char* name;
    const std::string& first;
    const std::string& second;
  } pairs[] = {{"the same run twice", walkFight, walkFight}, {"two different runs", walkFight, loseALife}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(pair.name);
    const RunFile runs[2] = {parsed(pair.first), parsed(pair.second)};
    Game other;
    startRun(other, runs[1].level, runs[1].startClock);
    Game* games[2] = {game, &other};
    for (int i = 0; i < 2; ++i) beginReplay(*games[i], runs[i]);
    const RunLog* logs[2] = {&games[0]->log, &games[1]->log};
    long turns = 0;
    while (!(logs[0]->replayDone(games[0]->run) && logs[1]->replayDone(games[1]->run)) && turns < 1000000) {
      for (int i = 0; i < 2; ++i) {
        if (!logs[i]->replayDone(games[i]->run)) runLoggedTick(games[i]->run, &games[i]->log);
      }
      ++turns;
    }
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(logs[i]->replayDone(games[i]->run)) << "run " << i;
      EXPECT_EQ(logs[i]->firstDifference(), -1) << "run " << i;
      EXPECT_EQ(games[i]->run.ticksRun, runs[i].endTick) << "run " << i;
      EXPECT_TRUE(logs[i]->endsAsRecorded(games[i]->run)) << "run " << i;
      games[i]->log = RunLog();
    }
    EXPECT_NE(runs[0].endTick, 0);
  }
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

// The rules alone check runs with no display: a run played here and one with
// a press a tick later, one line each, the second at the first tick whose
// digest differs; a file that is not a run is exit 2, whatever the others.
TEST_F(Replays, TheCheckerChecksRunsWithoutADisplay) {
  const std::string text = playScripted(*game, kWalkFightPause.steps, 16);
  const RunFile run = parsed(text);
  size_t i = 0;
  while (i + 1 < run.events.size() &&
         !(run.events[i].kind == RunEventKind::Press && run.events[i + 1].tick > run.events[i].tick + 1)) {
    ++i;
  }
  ASSERT_LT(i + 1, run.events.size());
  RunEvent later = run.events[i];
  later.tick += 1;
  std::string moved = text;
  moved.replace(moved.find(runEventLine(run.events[i])), runEventLine(run.events[i]).size(), runEventLine(later));
  const std::string good = testing::TempDir() + "nombre_checked.nrep";
  const std::string other = testing::TempDir() + "nombre_moved.nrep";
  std::ofstream(good) << text;
  std::ofstream(other) << moved;
  const std::string checker = std::string("env -u DISPLAY ") + NOMBRE_CHECK_BINARY + " ";
  const std::string fixtures = std::string(NOMBRE_FIXTURES) + "/";
  std::string out;
  EXPECT_EQ(runCommand(checker + good + " " + fixtures + "walk.nrep " + fixtures + "v2_stalls.nrep 2>&1", out), 0)
      << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << out;
  EXPECT_NE(out.find(good + ": the replay ends as the run did (" + std::to_string(run.endTick) + " ticks)"),
            std::string::npos)
      << out;
  EXPECT_EQ(runCommand(checker + good + " " + other + " 2>&1", out), 1) << out;
  const std::string differs = other + ": the replay differs from the run, first at tick ";
  const size_t at = out.find(differs);
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_GT(std::stol(out.substr(at + differs.size())), later.tick) << out;
  EXPECT_EQ(runCommand(checker + other + " /nonexistent " + good + " 2>&1", out), 2) << out;
  EXPECT_NE(out.find("/nonexistent: not a run to check: "), std::string::npos) << out;
  EXPECT_EQ(runCommand(checker + " 2>&1", out), 2) << out;
  std::remove(good.c_str());
  std::remove(other.c_str());
}

// A server reads the checker's lines by name: each names its own file, the
// names with a newline, a terminal's escapes or hundreds of bytes included,
// and a run that checks ends its line with its score and the level reached.
TEST(RunFiles, TheCheckerNamesEachFileApartWithItsScore) {
  const std::string folder = testing::TempDir() + "nombre_check_names/";
  std::string out;
  runCommand("rm -rf " + folder + " && mkdir -p " + folder, out);
  const std::string fixture = std::string(NOMBRE_FIXTURES) + "/v3_walk_fight_pause.nrep";
  const std::string deep = std::string(200, 'd') + "/";
  runCommand("mkdir -p " + folder + deep + deep, out);
  const std::vector<std::string> names = {"a\nb.nrep", "a?b.nrep", "a\x1b]0;x\x07\xc2\x9b.nrep", deep + deep + "1.nrep",
                                          deep + deep + "2.nrep"};
  std::string arguments;
  for (size_t i = 0; i < names.size(); ++i) {
    std::ofstream(folder + names[i]) << fileText(fixture);
    const std::string variable = "NOMBRE_NAME_" + std::to_string(i);
    setenv(variable.c_str(), (folder + names[i]).c_str(), 1);
    arguments += " \"$" + variable + "\"";
  }
  ASSERT_EQ(runCommand(std::string("env -u DISPLAY ") + NOMBRE_CHECK_BINARY + arguments + " 2>&1", out), 0) << out;
  std::set<std::string> named;
  std::istringstream lines(out);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_LT(line.size(), 400u) << line;
    EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char b) { return static_cast<unsigned char>(b) < 0x20; }));
    EXPECT_EQ(line.find("\xc2\x9b"), std::string::npos) << line;
    const std::string verdict = ": the replay ends as the run did (996 ticks); score 6825, level 1";
    ASSERT_GT(line.size(), verdict.size());
    EXPECT_EQ(line.substr(line.size() - verdict.size()), verdict) << line;
    EXPECT_TRUE(named.insert(line.substr(0, line.size() - verdict.size())).second) << line;
  }
  EXPECT_EQ(count, 5) << out;
  EXPECT_TRUE(named.count(folder + "a?b.nrep")) << out;
  for (size_t i = 0; i < names.size(); ++i) unsetenv(("NOMBRE_NAME_" + std::to_string(i)).c_str());
  runCommand("rm -rf " + folder, out);
}

}  // namespace
