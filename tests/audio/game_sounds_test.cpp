// The sounds the asset tool makes for the game (./sound in the run directory):
// they load through the sound layer and have the character the game relies on.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio_test_support.h"

namespace {

struct Recording {
  std::vector<double> samples;  // mono, full scale is 1
  int rate = 0;
  double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0; }
  double peak() const {
    double largest = 0;
    for (double sample : samples) largest = std::max(largest, std::fabs(sample));
    return largest;
  }
};

Recording readSound(const std::string& name) {
  Recording out;
  SF_INFO info{};
  SNDFILE* file = sf_open(("sound/" + name).c_str(), SFM_READ, &info);
  if (!file) return out;
  EXPECT_EQ(info.channels, 1) << name;
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
  out.rate = info.samplerate;
  out.samples.resize(static_cast<std::size_t>(info.frames));
  out.samples.resize(static_cast<std::size_t>(sf_read_double(file, out.samples.data(), info.frames)));
  sf_close(file);
  return out;
}

double decibels(double level) { return 20 * std::log10(level); }

TEST(GameSounds, LoadThroughTheSoundLayer) {
  audiotest::Capture::get();
  audio::SoundSystem* system = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&system), audio::kSoundOk);
  ASSERT_EQ(system->init(32, 0, nullptr), audio::kSoundOk);
  for (const char* name : {"sound/punch.wav", "sound/kick.wav", "sound/impact.wav", "sound/music.wav"}) {
    SCOPED_TRACE(name);
    audio::Sound* sound = nullptr;
    ASSERT_EQ(system->createSound(name, audio::kSoundDefault, nullptr, &sound), audio::kSoundOk);
    EXPECT_EQ(sound->release(), audio::kSoundOk);
  }
}

TEST(GameSounds, BlowsAreShortLoudAndStartAtOnce) {
  struct Case {
    const char* name;
    double minSeconds, maxSeconds;
  };
  for (const Case& c : {Case{"punch.wav", 0.12, 0.2}, Case{"kick.wav", 0.25, 0.35}, Case{"impact.wav", 0.08, 0.15}}) {
    SCOPED_TRACE(c.name);
    const Recording blow = readSound(c.name);
    ASSERT_GT(blow.rate, 0);
    EXPECT_GE(blow.seconds(), c.minSeconds);
    EXPECT_LE(blow.seconds(), c.maxSeconds);
    EXPECT_GT(decibels(blow.peak()), -2.0);
    // A blow lands with the key press: its first 5 ms must already be heard.
    const Recording opening{{blow.samples.begin(), blow.samples.begin() + blow.rate / 200}, blow.rate};
    EXPECT_GT(opening.peak(), 0.05);
    // And it ends in silence, so no click when the voice stops.
    EXPECT_LT(std::fabs(blow.samples.back()), 0.01);
  }
}

// The impact must not pass for a swing: at no lag does its waveform follow
// the punch's or the kick's closely.
TEST(GameSounds, TheImpactSoundsUnlikeEitherSwing) {
  const Recording impact = readSound("impact.wav");
  ASSERT_GT(impact.rate, 0);
  const auto energy = [](const std::vector<double>& x) {
    double sum = 0;
    for (double v : x) sum += v * v;
    return sum;
  };
  for (const char* swing : {"punch.wav", "kick.wav"}) {
    const Recording other = readSound(swing);
    ASSERT_GT(other.rate, 0);
    const double scale = std::sqrt(energy(impact.samples) * energy(other.samples));
    double closest = 0;
    const long n = static_cast<long>(impact.samples.size()), m = static_cast<long>(other.samples.size());
    for (long lag = -n; lag < m; lag += 4) {
      double sum = 0;
      for (long i = std::max(0L, -lag); i < n && i + lag < m; ++i) sum += impact.samples[i] * other.samples[i + lag];
      closest = std::max(closest, std::fabs(sum) / scale);
    }
    EXPECT_LT(closest, 0.5) << "like " << swing;
  }
}

TEST(GameSounds, MusicLoopsSeamlesslyBelowTheBlows) {
  const Recording music = readSound("music.wav");
  ASSERT_GT(music.rate, 0);
  EXPECT_GE(music.seconds(), 30.0);
  EXPECT_LE(music.seconds(), 60.0);

  // Blows must stand out over the music: about 10 dB of headroom.
  const double musicPeak = music.peak();
  EXPECT_LT(decibels(musicPeak), -8.0);
  EXPECT_GT(decibels(musicPeak), -14.0) << "the music is still meant to be heard";
  for (const char* blow : {"punch.wav", "kick.wav", "impact.wav"}) {
    EXPECT_GT(decibels(readSound(blow).peak()) - decibels(musicPeak), 7.0) << blow;
  }

  // The jump from the last sample back to the first must look like any other
  // step in the piece, not a click: no bigger than the 99th percentile step.
  const std::vector<double>& x = music.samples;
  std::vector<double> steps;
  for (std::size_t i = 1; i < x.size(); ++i) steps.push_back(std::fabs(x[i] - x[i - 1]));
  std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
  const double typicalLargeStep = steps[steps.size() * 99 / 100];
  EXPECT_LE(std::fabs(x.front() - x.back()), typicalLargeStep);
  // The slope carries on as well: the first sample is where the last two were heading.
  const double predicted = 2 * x.back() - x[x.size() - 2];
  EXPECT_LE(std::fabs(x.front() - predicted), typicalLargeStep);
  // The music plays all the way through: no second-long gap anywhere, wrap included.
  const std::size_t second = static_cast<std::size_t>(music.rate);
  for (std::size_t start = 0; start < x.size(); start += second / 2) {
    double loudest = 0;
    for (std::size_t i = 0; i < second; ++i) loudest = std::max(loudest, std::fabs(x[(start + i) % x.size()]));
    EXPECT_GT(loudest, 0.2 * musicPeak) << "quiet second at " << start / second << " s";
  }
}

}  // namespace
