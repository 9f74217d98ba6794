// A clip's sound: the game's sound systems mixing into memory rather than a
// sound card, each sound from the frame it was started at. This process
// renders from its first sound on: no test here opens a sound card.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/sound.h"
#include "tests/audio/audio_test_support.h"

namespace {

constexpr int kRenderRate = 48000;

class SoundRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(audio::renderSoundInMemory(kRenderRate), audio::kSoundOk); }

  // A system of its own, with a steady sound of `level` lasting `seconds`.
  audio::Sound* steadySound(audio::SoundSystem** system, double seconds, std::int16_t level) {
    EXPECT_EQ(audio::createSoundSystem(system), audio::kSoundOk);
    EXPECT_EQ((*system)->init(4, 0, nullptr), audio::kSoundOk);
    audio::Sound* sound = nullptr;
    const std::string path = audiotest::writeWav("steady" + std::to_string(level) + ".wav",
                                                 audiotest::steady(seconds, level));
    EXPECT_EQ((*system)->createSound(path.c_str(), audio::kSoundDefault, nullptr, &sound), audio::kSoundOk);
    return sound;
  }

  static std::vector<float> render(int frames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2, -1.0f);
    EXPECT_EQ(audio::renderSound(out.data(), frames), audio::kSoundOk);
    return out;
  }

  static float loudest(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    float peak = 0;
    for (std::size_t i = from * 2; i < std::min(to * 2, samples.size()); ++i) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
  }
};

// Silence until a sound is played; from the next frame rendered it is heard,
// the same on both sides, and silence again once it has ended.
TEST_F(SoundRender, ASoundIsHeardFromTheFrameItStartsAt) {
  audio::SoundSystem* system = nullptr;
  audio::Sound* sound = steadySound(&system, 0.1, 8000);
  const std::vector<float> before = render(1000);
  EXPECT_EQ(loudest(before, 0, 1000), 0.0f);
  ASSERT_EQ(system->playSound(sound, nullptr, false, nullptr), audio::kSoundOk);
  const std::vector<float> after = render(kRenderRate / 5);
  EXPECT_GT(loudest(after, 0, 8), 0.05f) << "heard from its first frames";
  const std::size_t middle = kRenderRate / 20;
  EXPECT_FLOAT_EQ(after[middle * 2], after[middle * 2 + 1]);
  // A mono sound in the middle: OpenAL Soft puts about 0.6 of it on each side.
  EXPECT_NEAR(after[middle * 2] / (8000 / 32768.0f), 0.6f, 0.1f);
  EXPECT_EQ(loudest(after, kRenderRate / 10 + 64, kRenderRate / 5), 0.0f) << "0.1 s long";
}

// Two systems (the music's and the blows') are mixed into one render, each
// at its own volume: the clip hears both as a player does.
TEST_F(SoundRender, EverySystemIsMixedAtItsVolume) {
  audio::SoundSystem* music = nullptr;
  audio::SoundSystem* blows = nullptr;
  audio::Sound* tune = steadySound(&music, 0.2, 4000);
  audio::Sound* blow = steadySound(&blows, 0.2, 6000);
  ASSERT_EQ(music->playSound(tune, nullptr, false, nullptr), audio::kSoundOk);
  const float alone = render(kRenderRate / 20)[kRenderRate / 40 * 2];
  ASSERT_EQ(blows->setVolume(0.5f), audio::kSoundOk);
  ASSERT_EQ(blows->playSound(blow, nullptr, false, nullptr), audio::kSoundOk);
  const float both = render(kRenderRate / 20)[kRenderRate / 40 * 2];
  EXPECT_NEAR(both / alone, (4000 + 0.5f * 6000) / 4000, 0.02f);
}

TEST_F(SoundRender, IsChosenOnlyBeforeTheDeviceIsOpen) {
  EXPECT_EQ(audio::renderSoundInMemory(kRenderRate), audio::kSoundError);
}

}  // namespace
