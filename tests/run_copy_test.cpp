// A run is a value: a copy taken in the middle of a fight is a run of its
// own, which plays on exactly as the original would, whatever is done to the
// original afterwards (a replay to seek in, save states and rollback stand on
// this).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/keys.h"
#include "enemies/roster.h"
#include "rules/control_rules.h"
#include "rules/run.h"
#include "rules/update_ticks.h"
#include "runs/run_digest.h"

namespace {

constexpr ClockTicks kStart = 5000;

// A fight that goes somewhere: the hero walks in, kicks and punches in turn,
// crouches and jumps, tick by tick the same in every run given it.
void playerAt(Run& run, long tick) {
  const int press = 1;    // GLFW_PRESS
  const int release = 0;  // GLFW_RELEASE
  switch (tick % 90) {
    case 0:
      takeKey(run, kKeyRight, press);
      break;
    case 30:
      takeKey(run, kKeyRight, release);
      takeKey(run, kKeyX, press);
      break;
    case 50:
      takeKey(run, kKeyX, release);
      takeKey(run, kKeyZ, press);
      break;
    case 65:
      takeKey(run, kKeyZ, release);
      takeKey(run, kKeyDown, press);
      break;
    case 75:
      takeKey(run, kKeyDown, release);
      takeKey(run, tick % 180 == 75 ? kKeyUp : kKeyLeft, press);
      break;
    case 80:
      takeKey(run, kKeyUp, release);
      takeKey(run, kKeyLeft, release);
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

}  // namespace
