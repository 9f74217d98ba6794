// The clip's sound track: the game's own sounds, each blow heard from its
// moment, the music looping, and the same samples whatever the blocks.
#include "clip/sound_mix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/mix_levels.h"

namespace {

// The sound folder of the build's run directory, where the tests run.
const clip::TrackSounds& gameSounds() {
  static const clip::TrackSounds sounds = [] {
    std::vector<std::string> missing;
    clip::TrackSounds loaded = clip::loadTrackSounds("./sound", &missing);
    EXPECT_TRUE(missing.empty()) << missing.front();
    return loaded;
  }();
  return sounds;
}

std::vector<float> mixed(const clip::SoundTrack& track, long long first, int count) {
  std::vector<float> out(static_cast<std::size_t>(count) * clip::kTrackChannels);
  track.mix(first, count, out.data());
  return out;
}

long long firstLoudFrame(const std::vector<float>& samples, float loud) {
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (std::fabs(samples[i]) >= loud) return static_cast<long long>(i / clip::kTrackChannels);
  }
  return -1;
}

TEST(SoundTrack, EachBlowIsHeardWithinAFrameOfItsMoment) {
  const int rate = clip::SoundTrack(gameSounds(), {}, {}).rate();
  const long long oneFrame = rate / 60;
  for (clip::BlowSound blow : {clip::BlowSound::punch, clip::BlowSound::kick, clip::BlowSound::impact}) {
    const long long at = clip::trackFrameOfTick(100, rate) + 7;
    const clip::SoundTrack track(gameSounds(), {{blow, at}}, {0.0f, 1.0f});
    const std::vector<float> samples = mixed(track, 0, static_cast<int>(at + 4 * oneFrame));
    const long long loud = firstLoudFrame(samples, 0.05f);
    EXPECT_GE(loud, at) << "blow " << static_cast<int>(blow);
    EXPECT_LT(loud, at + oneFrame) << "blow " << static_cast<int>(blow);
  }
}

TEST(SoundTrack, BlocksOfAnySizeMakeTheSameTrack) {
  const int rate = clip::SoundTrack(gameSounds(), {}, {}).rate();
  const std::vector<clip::SoundEvent> blows = {{clip::BlowSound::kick, rate / 2},
                                                {clip::BlowSound::punch, rate / 2 + 300},
                                                {clip::BlowSound::impact, rate - 5}};
  const clip::SoundTrack track(gameSounds(), blows, {0.6f, 0.8f});
  const int length = 2 * rate;
  const std::vector<float> whole = mixed(track, 0, length);
  for (int block : {1, 367, rate / 60}) {
    std::vector<float> pieces;
    for (int first = 0; first < length; first += block) {
      const std::vector<float> part = mixed(track, first, std::min(block, length - first));
      pieces.insert(pieces.end(), part.begin(), part.end());
    }
    EXPECT_TRUE(pieces == whole) << "blocks of " << block;
  }
}

TEST(SoundTrack, MusicLoopsAtItsVolumeAndBlowsAtTheirs) {
  const clip::TrackSounds& sounds = gameSounds();
  const long long musicFrames = static_cast<long long>(sounds.music.samples.size()) / sounds.music.channels;
  const clip::SoundTrack full(sounds, {}, {1.0f, 1.0f});
  const clip::SoundTrack half(sounds, {}, {0.5f, 1.0f});
  const std::vector<float> start = mixed(full, 1000, 500);
  EXPECT_TRUE(mixed(full, musicFrames + 1000, 500) == start) << "the music starts again at its end";
  const std::vector<float> quieter = mixed(half, 1000, 500);
  for (std::size_t i = 0; i < start.size(); ++i) ASSERT_NEAR(quieter[i], start[i] * 0.5f, 1e-6f) << i;

  const clip::SoundTrack blowsOff(sounds, {{clip::BlowSound::punch, 1200}}, {0.0f, 0.0f});
  for (float sample : mixed(blowsOff, 1000, 2000)) ASSERT_EQ(sample, 0.0f);
}

// A sound file made at another rate than the music plays at its own speed,
// read between its samples; a mono one on both sides, a stereo one side by side.
TEST(SoundTrack, SoundsOfOtherRatesPlayAtTheirOwnSpeed) {
  clip::TrackSounds sounds;
  sounds.music = {std::vector<std::int16_t>(22050, 0), 1, 22050};
  sounds.punch = {{0, 1000, 2000, 3000, 4000, 5000, 6000, 7000}, 1, 44100};       // twice the track's rate
  sounds.kick = {{0, -800, 1000, -1800, 2000, -2800}, 2, 11025};                 // half of it, stereo
  const clip::SoundTrack track(sounds, {{clip::BlowSound::punch, 100}, {clip::BlowSound::kick, 200}}, {1.0f, 1.0f});
  const std::vector<float> punch = mixed(track, 100, 5);
  const std::vector<float> kick = mixed(track, 200, 7);
  const float step = audio::kEffectsShare / 32768;
  const std::vector<float> punchWanted = {0, 0, 2000 * step, 2000 * step, 4000 * step, 4000 * step,
                                          6000 * step, 6000 * step, 0, 0};
  const std::vector<float> kickWanted = {0, -800 * step, 500 * step, -1300 * step, 1000 * step, -1800 * step,
                                         1500 * step, -2300 * step, 2000 * step, -2800 * step,
                                         2000 * step, -2800 * step, 0, 0};
  for (std::size_t i = 0; i < punchWanted.size(); ++i) EXPECT_NEAR(punch[i], punchWanted[i], 1e-6f) << i;
  for (std::size_t i = 0; i < kickWanted.size(); ++i) EXPECT_NEAR(kick[i], kickWanted[i], 1e-6f) << i;
}

// The blows take turns, as on the game's one voice for them: the next blow's
// sound ends the last one's, and two at one moment leave the last played.
TEST(SoundTrack, EachBlowCutsTheOneBefore) {
  clip::TrackSounds sounds;
  sounds.music = {std::vector<std::int16_t>(22050, 0), 1, 22050};
  sounds.punch = {std::vector<std::int16_t>(100, 1000), 1, 22050};
  sounds.kick = {std::vector<std::int16_t>(100, 2000), 1, 22050};
  sounds.impact = {std::vector<std::int16_t>(100, 4000), 1, 22050};
  const clip::SoundTrack track(sounds,
                               {{clip::BlowSound::punch, 0},
                                {clip::BlowSound::kick, 50},
                                {clip::BlowSound::kick, 300},
                                {clip::BlowSound::impact, 300}},
                               {1.0f, 1.0f});
  const std::vector<float> heard = mixed(track, 0, 500);
  const auto level = [&](int frame) { return heard[static_cast<std::size_t>(frame) * clip::kTrackChannels]; };
  const float step = audio::kEffectsShare / 32768;
  EXPECT_FLOAT_EQ(level(49), 1000 * step);
  EXPECT_FLOAT_EQ(level(50), 2000 * step);
  EXPECT_FLOAT_EQ(level(149), 2000 * step);
  EXPECT_EQ(level(150), 0.0f);
  EXPECT_FLOAT_EQ(level(300), 4000 * step);
  EXPECT_FLOAT_EQ(level(399), 4000 * step);
}

// The game's own sounds at full volume, blows coming as fast as ticks go in
// every order over the whole of the music: never within 1 dB of full scale.
TEST(SoundTrack, TheMixKeepsItsHeadroom) {
  const clip::TrackSounds& sounds = gameSounds();
  const int rate = clip::SoundTrack(sounds, {}, {}).rate();
  const long long length = static_cast<long long>(sounds.music.samples.size()) / sounds.music.channels;
  std::vector<clip::SoundEvent> blows;
  const clip::BlowSound kinds[] = {clip::BlowSound::punch, clip::BlowSound::kick, clip::BlowSound::impact};
  unsigned pick = 1;
  for (long long tick = 0; clip::trackFrameOfTick(tick, rate) < length; tick += 1 + pick % 12) {
    pick = pick * 1103515245u + 12345u;
    blows.push_back({kinds[(pick >> 16) % 3], clip::trackFrameOfTick(tick, rate)});
  }
  const clip::SoundTrack track(sounds, blows, {1.0f, 1.0f});
  float peak = 0.0f;
  for (float sample : mixed(track, 0, static_cast<int>(length))) peak = std::max(peak, std::fabs(sample));
  EXPECT_LT(peak, std::pow(10.0f, -1.0f / 20.0f));
  EXPECT_GT(peak, 0.5f);  // the blows are still loud
}

TEST(SoundTrack, TickTimesFallOnTheirFrames) {
  EXPECT_EQ(clip::trackFrameOfTick(0, 22050), 0);
  EXPECT_EQ(clip::trackFrameOfTick(60, 22050), 22050);
  EXPECT_EQ(clip::trackFrameOfTick(21, 48000), 16800);
  EXPECT_EQ(clip::trackFrameOfTick(60 * 3600, 44100), 44100LL * 3600);
}

}  // namespace
