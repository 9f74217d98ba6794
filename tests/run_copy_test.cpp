// A run is a value: a copy taken in the middle of a fight is a run of its
// own, which plays on exactly as the original would, whatever is done to the
// original afterwards (a replay to seek in, save states and rollback stand on
// this). Whoever listens to a run (its recording, its replay) is held beside
// it, not in it: a copy played on leaves the original's log as it would be.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/keys.h"
#include "enemies/roster.h"
#include "rules/control_rules.h"
#include "rules/run.h"
#include "rules/update_ticks.h"
#include "runs/run_check.h"
#include "runs/run_digest.h"
#include "runs/run_log.h"

namespace {

constexpr ClockTicks kStart = 5000;

// A fight that goes somewhere: the hero walks in, kicks and punches in turn,
// crouches and jumps, tick by tick the same in every run given it; `log`,
// if any, listens.
void playerAt(Run& run, std::int64_t tick, InputListener* log = nullptr) {
  const auto key = [&](int k, int action) { takeKey(run, k, action, log); };
  switch (tick % 90) {
    case 0:
      key(kKeyRight, kKeyPress);
      break;
    case 30:
      key(kKeyRight, kKeyRelease);
      key(kKeyX, kKeyPress);
      break;
    case 50:
      key(kKeyX, kKeyRelease);
      key(kKeyZ, kKeyPress);
      break;
    case 65:
      key(kKeyZ, kKeyRelease);
      key(kKeyDown, kKeyPress);
      break;
    case 75:
      key(kKeyDown, kKeyRelease);
      key(tick % 180 == 75 ? kKeyUp : kKeyLeft, kKeyPress);
      break;
    case 80:
      key(kKeyUp, kKeyRelease);
      key(kKeyLeft, kKeyRelease);
      break;
    default:
      break;
  }
}

// The digest after each of `ticks` more ticks of the fight.
std::vector<std::uint64_t> playOn(Run& run, int ticks) {
  std::vector<std::uint64_t> digests;
  for (int i = 0; i < ticks; ++i) {
    playerAt(run, run.ticksRun);
    runNextTick(run);
    digests.push_back(runStateDigest(run));
  }
  return digests;
}

TEST(RunValue, ACopyTakenMidFightPlaysOnAsTheOriginalAndApartFromIt) {
  ::Run uncopied;
  beginRun(uncopied, 1.0f, kStart);
  playOn(uncopied, 420);
  ASSERT_FALSE(uncopied.enemies.empty()) << "the copy is to be taken among enemies";
  ::Run original = uncopied;

  ::Run copied(original);  // a copy made new
  ::Run assigned;          // and one written over a run of its own
  beginRun(assigned, 3.0f, kStart + 999);
  playOn(assigned, 30);
  assigned = original;

  // The original changed and emptied: neither copy sees it.
  const std::uint64_t copiedBefore = runStateDigest(copied);
  clearRoster(original.enemies);
  original.tovan->position.x = 0.5f;
  original.tovan->lives = 1;
  original.hearts.clear();
  EXPECT_EQ(runStateDigest(copied), copiedBefore);
  EXPECT_EQ(runStateDigest(assigned), copiedBefore);

  const std::vector<std::uint64_t> expected = playOn(uncopied, 900);
  const std::vector<std::uint64_t> fromCopy = playOn(copied, 900);
  const std::vector<std::uint64_t> fromAssigned = playOn(assigned, 900);
  int same = 0, sameAssigned = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    same += fromCopy[i] == expected[i] ? 1 : 0;
    sameAssigned += fromAssigned[i] == expected[i] ? 1 : 0;
  }
  EXPECT_EQ(same, 900) << "of 900 ticks after the copy";
  EXPECT_EQ(sameAssigned, 900) << "of 900 ticks after the assignment";
  // And the copies went on with the fight: it was not over.
  EXPECT_GT(uncopied.ticksRun, 1300);
  EXPECT_GT(uncopied.tovan->runScore, 0);
}

// `ticks` more ticks of the fight, recorded by `log`.
void recordOn(Run& run, RunLog& log, int ticks) {
  for (int i = 0; i < ticks; ++i) {
    playerAt(run, run.ticksRun, &log);
    runLoggedTick(run, &log);
  }
}

// Another player's `ticks` on a copy: a pause and its end, a walk back and a
// kick every 20 ticks, heard by `log` if the copy has one.
void otherKeysOn(Run& run, RunLog* log, int ticks) {
  takeKey(run, kKeyEscape, kKeyPress, log);
  takeKey(run, kKeyEscape, kKeyPress, log);
  takeKey(run, kKeyLeft, kKeyPress, log);
  for (int i = 0; i < ticks; ++i) {
    if (i % 20 == 0) takeKey(run, kKeyX, kKeyPress, log);
    runLoggedTick(run, log);
  }
}

RunFile runOf(const std::string& text) {
  RunFile file;
  std::string why;
  EXPECT_TRUE(parseRunFile(text, file, why)) << why;
  return file;
}

// A run being recorded, copied mid-fight and the copies played on with other
// keys (one with a copy of the log, one with none): the original's recording
// is the one of a twin never copied, and the copy's is a run of its own.
TEST(RunValue, CopiesOfARecordedRunLeaveItsRecordingAsIfNeverCopied) {
  ::Run original, twin;
  RunLog log, twinLog;
  for (auto [run, runLog] : {std::pair{&original, &log}, std::pair{&twin, &twinLog}}) {
    beginRun(*run, 1.0f, kStart);
    runLog->beginRecording(*run, nullptr);
    recordOn(*run, *runLog, 420);
  }
  ::Run copied = original;
  RunLog copiedLog = log;
  ::Run unlogged = original;
  otherKeysOn(copied, &copiedLog, 300);
  otherKeysOn(unlogged, nullptr, 300);
  recordOn(original, log, 900);
  recordOn(twin, twinLog, 900);

  const std::string recorded = log.finish(original);
  EXPECT_EQ(recorded, twinLog.finish(twin));
  EXPECT_EQ(recorded.find("420 pause"), std::string::npos) << "the copies' keys are not the original's";
  EXPECT_TRUE(checkRun(runOf(recorded)).same);
  // The copy's log recorded the fight to the copy and the copy's own keys after it.
  const std::string copiedText = copiedLog.finish(copied);
  EXPECT_NE(copiedText.find("420 press escape\n420 pause -\n420 press escape\n420 resume -\n420 press left\n"), std::string::npos)
      << copiedText;
  const RunVerdict copyChecked = checkRun(runOf(copiedText));
  EXPECT_TRUE(copyChecked.same) << copyChecked.says;
  EXPECT_EQ(copyChecked.ticks, 720);
  EXPECT_EQ(runStateDigest(unlogged), runStateDigest(copied)) << "the same keys, heard or not";
}

// A run played back, copied mid-way and the copies played on with other keys
// over the file's (one with a copy of the log, one with none): the original
// still plays back to the end of its file and checks there.
TEST(RunValue, CopiesOfARunPlayedBackLeaveItsCheckAsIfNeverCopied) {
  RunFile file;
  std::string why;
  ASSERT_TRUE(readRunFile(std::string(NOMBRE_FIXTURES) + "/v3_long_game.nrep", file, why)) << why;
  ::Run original;
  RunLog log;
  startReplaying(original, log, file);
  for (int i = 0; i < 600; ++i) ASSERT_TRUE(runLoggedTick(original, &log));
  ::Run copied = original;
  RunLog copiedLog = log;
  ::Run unlogged = original;
  otherKeysOn(copied, &copiedLog, 300);
  otherKeysOn(unlogged, nullptr, 300);
  EXPECT_GE(copiedLog.firstDifference(), 600) << "the copy went its own way";

  while (!log.replayDone(original) && runLoggedTick(original, &log)) {
  }
  EXPECT_TRUE(log.replayDone(original));
  EXPECT_EQ(original.ticksRun, file.endTick);
  EXPECT_EQ(log.firstDifference(), -1);
  EXPECT_TRUE(log.endsAsRecorded(original));
}

}  // namespace
