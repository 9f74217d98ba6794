// Every container and sample type libsndfile writes, under the .wav name the
// game gives its sounds: the loader takes what the file holds, at its level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "audio/sound_file.h"
#include "audio_test_support.h"
#include "tests/fuzz/seeds.h"

namespace {

// MIDI sample dumps are refused: their reader writes on the game's console.
const char kSampleDump[] = "sds-16.wav";

TEST(SoundFiles, EveryKindTheLibraryWritesLoadsAtItsLevel) {
  const std::vector<seeds::SoundSeed> sounds = seeds::writeSoundSeeds(audiotest::scratchDir());
  EXPECT_EQ(sounds.size(), 42u);
  for (const seeds::SoundSeed& sound : sounds) {
    SCOPED_TRACE(sound.file);
    audio::PcmSound pcm;
    if (sound.file == kSampleDump) {
      EXPECT_FALSE(audio::loadSoundFile(audiotest::scratchPath(sound.file).c_str(), &pcm));
      continue;
    }
    ASSERT_TRUE(audio::loadSoundFile(audiotest::scratchPath(sound.file).c_str(), &pcm));
    EXPECT_EQ(pcm.channels, sound.channels);
    EXPECT_EQ(pcm.sampleRate, sound.sampleRate);
    const long frames = static_cast<long>(pcm.samples.size()) / pcm.channels;
    // Block codecs round up to whole blocks, lossy ones add their priming.
    EXPECT_GE(frames, sound.frames * 9 / 10);
    EXPECT_LE(frames, sound.frames + 2304);
    int loudest = 0;
    for (std::int16_t s : pcm.samples) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    EXPECT_NEAR(loudest, 16384, 3000);  // the tone is at half of full scale
  }
}

// A damaged block in a sample dump makes libsndfile print a line on stdout;
// the loader must refuse the file before reading it, leaving the console quiet.
TEST(SoundFiles, ABrokenSampleDumpLeavesTheConsoleQuiet) {
  seeds::writeSoundSeeds(audiotest::scratchDir());
  std::ifstream in(audiotest::scratchPath(kSampleDump), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(bytes.size(), 200u);
  for (std::size_t i = 21; i < bytes.size(); i += 127) bytes[i] = 0;  // every data block loses its start
  const std::string path = audiotest::scratchPath("broken-dump.wav");
  ASSERT_TRUE(audiotest::writeFile(path, bytes));
  audio::PcmSound pcm;
  testing::internal::CaptureStdout();
  audio::loadSoundFile(path.c_str(), &pcm);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
