// What the sound layer actually makes OpenAL mix, read back from the
// wave-file device. Fixtures use steady levels and clean sines, so the levels
// in the output tell which sounds were playing at each moment.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio_test_support.h"

namespace {

using namespace audiotest;

constexpr int kBlock = kRate / 50;       // 20 ms envelope blocks
constexpr int kQuiet = 64;               // dither and rounding stay below this
constexpr double kLevelTolerance = 0.05;  // relative error allowed on a mixed level

bool near(double actual, double expected) {
  return std::fabs(actual - expected) <= kLevelTolerance * std::fabs(expected) + kQuiet;
}

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    Capture::get();
    ASSERT_EQ(audio::createSoundSystem(&system_), audio::kSoundOk);
    ASSERT_EQ(system_->init(32, 0, nullptr), audio::kSoundOk);
  }

  void TearDown() override {
    for (audio::Sound* sound : sounds_) sound->release();
  }

  audio::Sound* load(const std::string& name, const Samples& samples, int mode,
                     audio::SoundSystem* system = nullptr) {
    audio::Sound* sound = nullptr;
    const std::string path = writeWav(name, samples);
    EXPECT_EQ((system ? system : system_)->createSound(path.c_str(), mode, nullptr, &sound),
              audio::kSoundOk);
    if (sound) sounds_.push_back(sound);
    return sound;
  }

  void play(audio::Sound* sound, audio::SoundSystem* system = nullptr) {
    audio::Channel* channel = nullptr;
    EXPECT_EQ((system ? system : system_)->playSound(sound, nullptr, false, &channel),
              audio::kSoundOk);
    EXPECT_NE(channel, nullptr);
  }

  void releaseAll() {
    for (audio::Sound* sound : sounds_) sound->release();
    sounds_.clear();
  }

  audio::SoundSystem* system_ = nullptr;
  std::vector<audio::Sound*> sounds_;
};

TEST_F(Playback, LoopRepeatsPastItsLengthUntilReleased) {
  constexpr double kLength = 0.2;
  constexpr double kAmplitude = 6000;
  audio::Sound* loop = load("loop.wav", sine(kLength, 500, kAmplitude), audio::kSoundLoop);
  ASSERT_NE(loop, nullptr);

  const long start = Capture::get().mark();
  play(loop);
  sleepSeconds(1.1);
  const Samples heard = Capture::get().since(start);
  const long begin = onset(heard, kQuiet);
  ASSERT_GE(begin, 0) << "the loop never sounded";
  const Samples from(heard.begin() + begin, heard.end());
  const std::vector<Block> envelope = blocks(from, kBlock);
  const std::size_t wanted = static_cast<std::size_t>(4 * kLength * kRate / kBlock);
  ASSERT_GE(envelope.size(), wanted);
  for (std::size_t i = 0; i < wanted; ++i) {
    EXPECT_TRUE(near(envelope[i].rms, kAmplitude / std::sqrt(2.0))) << "block " << i;
  }

  releaseAll();
  const long released = Capture::get().mark();
  sleepSeconds(0.45);
  const Samples after = Capture::get().since(released);
  // The file trails the mixer by a buffer or two; by 0.2 s the release has landed.
  const long settled = kRate / 5;
  ASSERT_GT(static_cast<long>(after.size()), settled + kRate / 20);
  EXPECT_LT(peak(after, settled), kQuiet);
}

TEST_F(Playback, OneShotIsMixedIntoARunningLoop) {
  constexpr double kLoopAmplitude = 4000;
  constexpr std::int16_t kShotLevel = 8000;
  constexpr double kShotLength = 0.3;
  audio::Sound* loop = load("bed.wav", sine(0.2, 500, kLoopAmplitude), audio::kSoundLoop);
  audio::Sound* shot = load("shot.wav", steady(kShotLength, kShotLevel), audio::kSoundDefault);
  ASSERT_TRUE(loop && shot);

  const long start = Capture::get().mark();
  play(loop);
  sleepSeconds(0.3);
  play(shot);
  sleepSeconds(0.8);
  const std::vector<Block> envelope = blocks(Capture::get().since(start), kBlock);
  ASSERT_FALSE(envelope.empty());

  // A 20 ms block holds whole cycles of the 500 Hz loop, so its mean is the
  // shot alone and the spread around the mean is the loop alone.
  const double loopRms = kLoopAmplitude / std::sqrt(2.0);
  int bothSounding = 0;
  int shotBlocks = 0;
  for (const Block& block : envelope) {
    if (block.mean > kShotLevel / 2) ++shotBlocks;
    if (near(block.mean, kShotLevel) && near(block.rms, loopRms)) ++bothSounding;
  }
  EXPECT_GE(bothSounding, 10);
  EXPECT_NEAR(shotBlocks, kShotLength * kRate / kBlock, 2) << "the shot plays once, whole";
  EXPECT_TRUE(near(envelope.back().mean, 0) && near(envelope.back().rms, loopRms))
      << "the loop goes on after the shot";
}

TEST_F(Playback, SecondPlayOfASoundOverlapsTheFirst) {
  constexpr std::int16_t kLevel = 7000;
  audio::Sound* blow = load("blow.wav", steady(0.5, kLevel), audio::kSoundDefault);
  ASSERT_NE(blow, nullptr);

  const long start = Capture::get().mark();
  play(blow);
  sleepSeconds(0.2);
  play(blow);
  sleepSeconds(0.75);
  const std::vector<Block> envelope = blocks(Capture::get().since(start), kBlock);

  int doubled = 0;
  int sounding = 0;
  for (const Block& block : envelope) {
    if (near(block.mean, 2 * kLevel)) ++doubled;
    if (block.mean > kLevel / 2) ++sounding;
  }
  // Started 0.2 s apart, the two 0.5 s plays overlap for about 0.3 s and
  // together last about 0.7 s.
  EXPECT_GE(doubled * kBlock, kRate / 5);
  EXPECT_NEAR(sounding * kBlock, 0.7 * kRate, 0.1 * kRate);
}

TEST_F(Playback, WhenAllVoicesAreBusyTheOldestGivesWay) {
  audio::SoundSystem* small = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&small), audio::kSoundOk);
  ASSERT_EQ(small->init(2, 0, nullptr), audio::kSoundOk);
  constexpr std::int16_t kFirst = 2000, kSecond = 4000, kThird = 8000;
  audio::Sound* first = load("first.wav", steady(0.2, kFirst), audio::kSoundLoop, small);
  audio::Sound* second = load("second.wav", steady(0.2, kSecond), audio::kSoundLoop, small);
  audio::Sound* third = load("third.wav", steady(0.2, kThird), audio::kSoundDefault, small);
  ASSERT_TRUE(first && second && third);

  const long start = Capture::get().mark();
  play(first, small);
  sleepSeconds(0.1);
  play(second, small);
  sleepSeconds(0.1);
  play(third, small);
  sleepSeconds(0.45);
  const std::vector<Block> envelope = blocks(Capture::get().since(start), kBlock);
  ASSERT_FALSE(envelope.empty());

  double loudest = 0;
  for (const Block& block : envelope) loudest = std::max(loudest, block.mean);
  EXPECT_TRUE(near(loudest, kSecond + kThird)) << "loudest " << loudest;
  EXPECT_TRUE(near(envelope.back().mean, kSecond)) << "only the newer loop is left";
}

// Music and effects play on systems of their own: each one's volume scales
// what it plays, sounds already playing included, and nothing of the other's.
TEST_F(Playback, EachSystemsVolumeScalesOnlyItsOwnSounds) {
  audio::SoundSystem* effects = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&effects), audio::kSoundOk);
  ASSERT_EQ(effects->init(4, 0, nullptr), audio::kSoundOk);
  constexpr std::int16_t kMusic = 8000, kBlow = 6000;
  audio::Sound* music = load("music.wav", steady(0.2, kMusic), audio::kSoundLoop);
  audio::Sound* blow = load("blow.wav", steady(0.3, kBlow), audio::kSoundDefault, effects);
  ASSERT_TRUE(music && blow);

  play(music);
  ASSERT_EQ(system_->setVolume(0.5f), audio::kSoundOk);
  ASSERT_EQ(effects->setVolume(0.0f), audio::kSoundOk);
  sleepSeconds(0.2);
  long start = Capture::get().mark();
  play(blow, effects);
  sleepSeconds(0.4);
  double loudest = 0;
  for (const Block& block : blocks(Capture::get().since(start), kBlock)) loudest = std::max(loudest, block.mean);
  EXPECT_TRUE(near(loudest, kMusic / 2)) << "music at half, the muted blow unheard: " << loudest;

  ASSERT_EQ(effects->setVolume(2.0f), audio::kSoundOk);  // clamped to full
  start = Capture::get().mark();
  play(blow, effects);
  sleepSeconds(0.4);
  loudest = 0;
  for (const Block& block : blocks(Capture::get().since(start), kBlock)) loudest = std::max(loudest, block.mean);
  EXPECT_TRUE(near(loudest, kMusic / 2 + kBlow)) << "the blow at full over the music at half: " << loudest;
}

// A system released stops what it plays and frees the sounds it still holds;
// the other systems on the device play on, and a new one opens beside them.
TEST_F(Playback, ASystemReleasedFallsSilentAloneWithItsSounds) {
  constexpr std::int16_t kMusic = 5000, kOther = 9000;
  audio::Sound* music = load("music.wav", steady(0.2, kMusic), audio::kSoundLoop);
  ASSERT_NE(music, nullptr);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    audio::SoundSystem* other = nullptr;
    ASSERT_EQ(audio::createSoundSystem(&other), audio::kSoundOk);
    ASSERT_EQ(other->init(4, 0, nullptr), audio::kSoundOk);
    audio::Sound* loop = nullptr;
    const std::string path = writeWav("other.wav", steady(0.2, kOther));
    ASSERT_EQ(other->createSound(path.c_str(), audio::kSoundLoop, nullptr, &loop), audio::kSoundOk);
    if (round == 0) play(music);
    play(loop, other);
    sleepSeconds(0.3);
    long start = Capture::get().mark();
    sleepSeconds(0.2);
    double loudest = 0;
    for (const Block& block : blocks(Capture::get().since(start), kBlock)) loudest = std::max(loudest, block.mean);
    EXPECT_TRUE(near(loudest, kMusic + kOther)) << "both loops: " << loudest;
    EXPECT_EQ(other->release(), audio::kSoundOk);  // its loop with it
    sleepSeconds(0.1);
    start = Capture::get().mark();
    sleepSeconds(0.3);
    const std::vector<Block> after = blocks(Capture::get().since(start), kBlock);
    ASSERT_FALSE(after.empty());
    for (const Block& block : after) EXPECT_TRUE(near(block.mean, kMusic)) << "the music alone: " << block.mean;
  }
  releaseAll();
  sleepSeconds(0.2);  // the device's buffered mix of the music runs out before the next test listens
}

// Each file carries a steady level for 1/8 s. Whatever its format, the mixer
// must put out that level for that long: converted to 16-bit, clipped (not
// wrapped) past full scale, and with stereo frames counted as frames.
TEST_F(Playback, OtherSampleFormatsPlayAtTheirLevelAndLength) {
  constexpr int kAnyLevel = 0;  // OpenAL chooses how stereo folds into the mono capture
  struct Case {
    const char* name;
    int format;
    int channels;
    double level;
    int expected;
  };
  const Case cases[] = {
      {"unsigned 8-bit", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 0.25, 8192},
      {"24-bit", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, -0.25, -8192},
      {"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 0.25, 8192},
      {"float past full scale", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 1.5, 32767},
      {"16-bit stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 0.25, kAnyLevel},
  };
  constexpr int kFrames = kRate / 8;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = scratchPath("format.wav");
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = c.channels;
    info.format = c.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    const std::vector<double> frames(static_cast<std::size_t>(kFrames * c.channels), c.level);
    sf_writef_double(file, frames.data(), kFrames);
    sf_close(file);

    audio::Sound* sound = nullptr;
    ASSERT_EQ(system_->createSound(path.c_str(), audio::kSoundDefault, nullptr, &sound), audio::kSoundOk);
    sounds_.push_back(sound);
    const long start = Capture::get().mark();
    play(sound);
    sleepSeconds(0.35);
    const std::vector<Block> envelope = blocks(Capture::get().since(start), kBlock);
    double strongest = 0;
    for (const Block& block : envelope) {
      if (std::fabs(block.mean) > std::fabs(strongest)) strongest = block.mean;
    }
    if (c.expected != kAnyLevel) {
      EXPECT_TRUE(near(strongest, c.expected)) << "heard " << strongest;
    }
    int sounding = 0;
    for (const Block& block : envelope) {
      if (std::fabs(block.mean) > std::fabs(strongest) / 2) ++sounding;
    }
    EXPECT_NEAR(sounding, kFrames / kBlock, 1);
  }
}

}  // namespace
