// The digest of a run covers its whole state: change any one part and the
// digest changes; move any key event of a recorded run by one tick and the
// replay says it differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "base/chance.h"
#include "rules/run_fields.h"
#include "runs/run_digest.h"
#include "runs/run_log.h"
#include "tests/gl_fixture.h"
#include "tests/replay/scripted_play.h"

namespace {

constexpr ClockTicks kStart = 7000;

class RunDigests : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
    startRun(*game, 1.0f, kStart);
  }
  void TearDown() override { freshStage(*game, 0); }
  Game* game = nullptr;
};

struct Change {
  const char* part;
  void (*apply)(Game& game);
};

Player& heroOf(Game& g) { return *g.run.tovan; }
Character& firstEnemy(Game& g) { return g.run.enemies.front(); }

const Change kChanges[] = {
    {"hero x", [](Game& g) { heroOf(g).position.x += 0.001f; }},
    {"hero y", [](Game& g) { heroOf(g).position.y += 0.001f; }},
    {"hero facing", [](Game& g) { heroOf(g).position.facingRight = false; }},
    {"hero body box", [](Game& g) { heroOf(g).hitbox.halfHeight = kCrouchHalfHeight; }},
    {"hero quad", [](Game& g) { heroOf(g).vertices[0] += 0.01f; }},
    {"hero picture's mirroring", [](Game& g) { heroOf(g).texCoords[0] = 0.0f; }},
    {"hero speed", [](Game& g) { heroOf(g).speed *= 2; }},
    {"hero state", [](Game& g) { heroOf(g).state = Walking; }},
    {"hero health", [](Game& g) { heroOf(g).health -= 1; }},
    {"hero power", [](Game& g) { heroOf(g).power += 1; }},
    {"hero stage score", [](Game& g) { heroOf(g).score += 50; }},
    {"hero run score", [](Game& g) { heroOf(g).runScore += 50; }},
    {"hero multiplier", [](Game& g) { heroOf(g).scoreMultiplier = 1.5f; }},
    {"hero lives", [](Game& g) { heroOf(g).lives -= 1; }},
    {"hero image step", [](Game& g) { heroOf(g).playerFrame = 2; }},
    {"hero animation clock start", [](Game& g) { heroOf(g).playerClockStart += 1; }},
    {"hero animation clock now", [](Game& g) { heroOf(g).playerClockNow += 1; }},
    {"hero crouch kick clock", [](Game& g) { heroOf(g).crouchKickStart += 1; }},
    {"hero crouch kicked", [](Game& g) { heroOf(g).crouchKicked = true; }},
    {"hero jump phase", [](Game& g) { heroOf(g).jumpPhase = 1; }},
    {"hero jump forward", [](Game& g) { heroOf(g).jumpForward = 1; }},
    {"hero jump height", [](Game& g) { heroOf(g).jumpHeight -= 0.01f; }},
    {"hero enlarged", [](Game& g) { heroOf(g).enlarged = true; }},
    {"hero blow live", [](Game& g) { heroOf(g).attackActive = true; }},
    {"hero blow's box", [](Game& g) { heroOf(g).attackBox = AttackBox(heroOf(g).hitbox, 10); }},
    {"hero struck at", [](Game& g) { heroOf(g).struckAt += 1; }},
    {"hero struck", [](Game& g) { heroOf(g).struck = true; }},
    {"hero hit by a blow", [](Game& g) { heroOf(g).hitByBlow = true; }},
    {"hero dying", [](Game& g) { heroOf(g).dying = true; }},
    {"enemy x", [](Game& g) { firstEnemy(g).position.x += 0.001f; }},
    {"enemy facing", [](Game& g) { firstEnemy(g).position.facingRight = false; }},
    {"enemy quad", [](Game& g) { firstEnemy(g).vertices[3] += 0.01f; }},
    {"enemy clock start", [](Game& g) { firstEnemy(g).clockStart += 1; }},
    {"enemy clock now", [](Game& g) { firstEnemy(g).clockNow += 1; }},
    {"enemy seed", [](Game& g) { firstEnemy(g).seed = 3; }},
    {"enemy image", [](Game& g) { firstEnemy(g).frameIndex = 2; }},
    {"enemy blow started", [](Game& g) { firstEnemy(g).attackStarted = true; }},
    {"enemy blow built", [](Game& g) { firstEnemy(g).blowBuilt = true; }},
    {"enemy blow landed", [](Game& g) { firstEnemy(g).blowLanded = true; }},
    {"enemy blow's damage", [](Game& g) { firstEnemy(g).attackBox = AttackBox(firstEnemy(g).hitbox, 1); }},
    {"enemy dying", [](Game& g) { firstEnemy(g).dying = true; }},
    {"enemy death playing", [](Game& g) { firstEnemy(g).deathAnimRunning = true; }},
    {"enemy dead", [](Game& g) { firstEnemy(g).dead = true; }},
    {"enemy health", [](Game& g) { firstEnemy(g).health -= 1; }},
    {"enemy state", [](Game& g) { firstEnemy(g).state = EnemyApproach; }},
    {"enemy struck", [](Game& g) { firstEnemy(g).struck = true; }},
    {"roster order", [](Game& g) { std::swap(g.run.enemies.front(), g.run.enemies.back()); }},
    {"roster size", [](Game& g) { g.run.enemies.pop_back(); }},
    {"hearts", [](Game& g) { g.run.hearts.pop_back(); }},
    {"level", [](Game& g) { g.run.level = 2.0f; }},
    {"tick clock", [](Game& g) { g.run.tickClock += 3; }},
    {"reinforcement clock", [](Game& g) { g.run.spawnClock += 1; }},
    {"stage-clear clock", [](Game& g) { g.run.clearClock += 1; }},
    {"ticks run", [](Game& g) { g.run.ticksRun += 1; }},
    {"stage over", [](Game& g) { g.run.stageOver = true; }},
    {"stage-clear pose", [](Game& g) { g.run.endFrameIndex = 1; }},
    {"control code", [](Game& g) { g.run.controlCode = kWalkRight; }},
    {"right held", [](Game& g) { g.run.rightHeld = true; }},
    {"left held", [](Game& g) { g.run.leftHeld = true; }},
    {"menu open", [](Game& g) { g.run.menuOpen = true; }},
    {"exit chosen", [](Game& g) { g.run.exitSelected = true; }},
    {"down held", [](Game& g) { g.run.downHeld = true; }},
    {"stand-up due", [](Game& g) { g.run.standUpDue = true; }},
    {"code after standing up", [](Game& g) { g.run.codeAfterStandUp = kPunch; }},
    {"a number drawn", [](Game& g) { drawChance(g.run.chance); }},
    {"the generator reseeded", [](Game& g) { seedChance(g.run.chance, 2); }},
};

TEST_F(RunDigests, EveryPartOfTheRunsStateChangesItsDigest) {
  const std::uint64_t atStart = runStateDigest(game->run);
  startRun(*game, 1.0f, kStart);
  ASSERT_EQ(runStateDigest(game->run), atStart) << "the same run twice";
  ASSERT_GE(game->run.enemies.size(), 2u);
  std::vector<std::uint64_t> seen = {atStart};
  for (const Change& change : kChanges) {
    SCOPED_TRACE(change.part);
    startRun(*game, 1.0f, kStart);
    change.apply(*game);
    const std::uint64_t digest = runStateDigest(game->run);
    EXPECT_NE(digest, atStart);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), digest), 0) << "each change its own digest";
    seen.push_back(digest);
  }
}

// Where each listed field lies in its object: a list that leaves a member
// out leaves a hole between two fields that no alignment explains.
struct FieldPlaces {
  const char* base;
  std::vector<std::pair<size_t, std::pair<size_t, size_t>>> places;  // offset, size, alignment
  template <typename T>
  void operator()(const T& field, Kept) {
    places.push_back({static_cast<size_t>(reinterpret_cast<const char*>(&field) - base), {sizeof(T), alignof(T)}});
  }
  // Empty when the fields, in their order, tile the object of `size` bytes.
  std::string holes(size_t size, size_t alignment) const {
    std::string found;
    size_t end = 0;
    for (const auto& [offset, kind] : places) {
      const size_t aligned = (end + kind.second - 1) / kind.second * kind.second;
      if (offset != aligned) found += "a member unlisted at offset " + std::to_string(aligned) + "; ";
      end = offset + kind.first;
    }
    if ((end + alignment - 1) / alignment * alignment != size) found += "members unlisted at the end; ";
    return found;
  }
};

// The one list of a run's fields names every member of the run and of the
// hero and his enemies, in order, and every field it calls state is folded
// into the digest: a member added and left out of the list fails here.
TEST_F(RunDigests, TheListOfARunsFieldsLeavesNoMemberOut) {
  FieldPlaces run{reinterpret_cast<const char*>(&game->run), {}};
  forEachRunField(game->run, run);
  EXPECT_EQ(run.holes(sizeof(::Run), alignof(::Run)), "") << "Run";
  const Player& hero = *game->run.tovan;
  FieldPlaces heroPlaces{reinterpret_cast<const char*>(&hero), {}};
  forEachHeroField(hero, heroPlaces);
  EXPECT_EQ(heroPlaces.holes(sizeof(Player), alignof(Player)), "") << "Player";
  EXPECT_TRUE(everyStateFieldIsFolded(game->run));
}

// The run's numbers are the C library's for the same seeds, so the runs of
// the first format, drawn from it, still replay.
TEST(RunChance, TheNumbersAreTheStandardGeneratorsForTheSameSeed) {
  for (unsigned seed : {0u, 1u, 2u, 7000u, 4294967295u}) {
    Chance chance;
    seedChance(chance, seed);
    std::srand(seed);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(drawChance(chance), std::rand()) << "seed " << seed << ", draw " << i;
  }
  Chance unseeded;
  std::srand(1);
  EXPECT_EQ(drawChance(unseeded), std::rand()) << "drawn before any seed: as from seed 1";
}

}  // namespace
