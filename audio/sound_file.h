#pragma once
// Reading sound files into 16-bit PCM for the mixer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace audio {

// What one file may hold before it is refused: ten minutes, or 64 MB of samples.
constexpr double kMaxSoundSeconds = 600.0;
constexpr std::size_t kMaxSoundSamples = std::size_t{32} << 20;
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 192000;

struct PcmSound {
  std::vector<std::int16_t> samples;  // interleaved frames
  int channels = 0;                   // 1 or 2
  int sampleRate = 0;
};

// Fills *out from the file at path. Returns false, leaving *out empty, for a
// missing or unreadable file, a header that does not match the data, more
// than two channels, no samples at all, or more than the limits above.
bool loadSoundFile(const char* path, PcmSound* out);

// The start of loadSoundFile: empties *out and opens the regular file at
// `path` (its size in *bytes); null when there is none or either is null.
std::FILE* openSoundFile(const char* path, PcmSound* out, long long* bytes);

// Called, when set, with the path of each file the loader has opened and is
// about to read: tests change the file behind the name at that moment.
extern void (*soundFileChecked)(const char* path);

}  // namespace audio
