// The impact the shell plays when a blow of the run lands, either way, heard
// through OpenAL's wave-file device. The blow sounds are read where each is
// a steady level of its own, so the level heard says which played.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game_sounds.h"
#include "audio/mix_levels.h"
#include "audio_test_support.h"
#include "entities/player.h"
#include "rules/hits.h"

namespace {

using namespace audiotest;

constexpr int kBlock = kRate / 50;  // 20 ms
constexpr std::int16_t kPunchLevel = 2000, kKickLevel = 4000, kImpactLevel = 8000;
// The blows play at the game's share of full volume.
constexpr double kShare = audio::kEffectsShare;
constexpr double kSoundLength = 0.1;

// The blow sounds read from the fixtures of `dir`; the impact is left out when asked.
void openSoundsOf(BlowSounds& sounds, const std::string& name, bool withImpact) {
  const std::string dir = scratchPath(name);
  std::filesystem::create_directories(dir + "/sound");
  writeWav(name + "/sound/punch.wav", steady(kSoundLength, kPunchLevel));
  writeWav(name + "/sound/kick.wav", steady(kSoundLength, kKickLevel));
  if (withImpact) writeWav(name + "/sound/impact.wav", steady(kSoundLength, kImpactLevel));
  const std::string back = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  openBlowSounds(sounds);
  std::filesystem::current_path(back);
}

Character enemyAt(float x) {
  const Position at(x, 0.0f);
  return Character(100, 50, 0.003f, at, Hitbox(at, 0.0625f, 0.12f), 50, FrameSet::Blank);
}

// The enemy's punch, live and not yet landed.
void strike(Character& enemy) {
  enemy.attackBox = AttackBox(Hitbox(Position(enemy.getPosition().getX() - 0.0625f, 0.0f), 0.035f, 0.6f), 25);
  enemy.attackActive = true;
  enemy.blowLanded = false;
}

// A 20 ms block that holds one of the fixtures' levels throughout.
bool steadyAt(const Block& block, double level) {
  return std::fabs(block.mean - level) < 0.1 * level && block.rms < 200;
}

// Resolves the same blows twice, as two ticks would, plays what they started
// as the shell does after a pass, and listens.
Samples heardAfterHits(Player& hero, std::vector<Character>& roster, BlowSounds& sounds) {
  const long start = Capture::get().mark();
  std::vector<Element> hearts;  // no life is lost here
  Chance chance;
  resolveHits(hero, roster, 1.0f, hearts, chance, wallClock());
  resolveHits(hero, roster, 1.0f, hearts, chance, wallClock());
  playNewBlowSounds(sounds, hero.soundsStarted);
  sleepSeconds(0.4);
  return Capture::get().since(start);
}

TEST(ImpactSound, PlaysOnceForEachPassInWhichABlowLands) {
  Capture::get();
  std::vector<Character> roster;
  Player hero(FrameSet::Blank, 5);
  BlowSounds sounds;
  openSoundsOf(sounds, "hero", true);
  struct Case {
    const char* name;
    std::vector<float> enemiesAt;
    void (*blows)(Player&, std::vector<Character>&);
    bool heard;
  };
  const Case cases[] = {
      {"the hero's punch lands", {0.1f}, [](Player& h, std::vector<Character>& r) { h.setAttackBox(0.035f, 0.6f, 0.5f, r); },
       true},
      {"his kick lands on two enemies at once", {0.1f, 0.12f},
       [](Player& h, std::vector<Character>& r) { h.setAttackBox(0.06f, 0.12f, 1.0f, r); }, true},
      {"an enemy's blow lands on him", {0.1f}, [](Player&, std::vector<Character>& r) { strike(r[0]); }, true},
      {"both at once", {0.1f},
       [](Player& h, std::vector<Character>& r) {
         h.setAttackBox(0.035f, 0.6f, 0.5f, r);
         strike(r[0]);
       },
       true},
      {"his punch misses", {0.5f}, [](Player& h, std::vector<Character>& r) { h.setAttackBox(0.035f, 0.6f, 0.5f, r); },
       false},
      {"an enemy's blow misses", {0.5f}, [](Player&, std::vector<Character>& r) { strike(r[0]); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    roster.clear();
    for (float x : c.enemiesAt) roster.push_back(enemyAt(x));
    hero.reset();
    c.blows(hero, roster);
    const int impactsBefore = hero.soundsStarted[Impact];
    const Samples heard = heardAfterHits(hero, roster, sounds);
    // One impact, not one per blow or pass (played together they would sound as one).
    EXPECT_EQ(hero.soundsStarted[Impact] - impactsBefore, c.heard ? 1 : 0);
    if (!c.heard) {
      EXPECT_LT(peak(heard), 64);
      continue;
    }
    int impactBlocks = 0;
    for (const Block& block : blocks(heard, kBlock)) {
      if (steadyAt(block, kShare * kImpactLevel)) ++impactBlocks;
      EXPECT_FALSE(steadyAt(block, kShare * kPunchLevel) || steadyAt(block, kShare * kKickLevel)) << "a swing sound";
    }
    EXPECT_NEAR(impactBlocks * kBlock, kSoundLength * kRate, 2 * kBlock);
  }
  releaseBlowSounds(sounds);
}

TEST(ImpactSound, WithoutItsFileABlowLandsInSilence) {
  Capture::get();
  std::vector<Character> roster{enemyAt(0.1f)};
  Player hero(FrameSet::Blank, 5);
  BlowSounds sounds;
  openSoundsOf(sounds, "no-impact", false);
  strike(roster[0]);
  const Samples heard = heardAfterHits(hero, roster, sounds);
  EXPECT_EQ(hero.getHealth(), 475);
  EXPECT_LT(peak(heard), 64);
  releaseBlowSounds(sounds);
}

}  // namespace
