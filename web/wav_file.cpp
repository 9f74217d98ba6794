// The page's sound files, without libsndfile: the game's own sounds are
// 16-bit PCM WAV, so only that form is read; anything else, or a file cut
// short or lying about its sizes, is refused and the game plays without it.
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "audio/sound_file.h"

namespace audio {
namespace {

constexpr int kMaxRiffChunks = 64;

std::uint32_t le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool readWav(const std::string& bytes, PcmSound& pcm) {
  const auto* head = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  if (size < 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
  std::size_t offset = 12;
  bool haveFormat = false;
  for (int i = 0; i < kMaxRiffChunks && offset + 8 <= size; ++i) {
    const unsigned char* chunk = head + offset;
    const std::size_t length = le32(chunk + 4);
    const std::size_t body = offset + 8;
    if (length > size - body) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16) return false;
      const unsigned char* f = head + body;
      pcm.channels = le16(f + 2);
      pcm.sampleRate = static_cast<int>(le32(f + 4));
      if (le16(f) != 1 || le16(f + 14) != 16 || pcm.channels < 1 || pcm.channels > 2) return false;
      if (pcm.sampleRate < kMinSampleRate || pcm.sampleRate > kMaxSampleRate) return false;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return false;
      const std::size_t samples = length / 2;
      const std::size_t frames = samples / static_cast<std::size_t>(pcm.channels);
      if (frames == 0 || samples > kMaxSoundSamples ||
          static_cast<double>(frames) / pcm.sampleRate > kMaxSoundSeconds) {
        return false;
      }
      pcm.samples.resize(frames * static_cast<std::size_t>(pcm.channels));
      for (std::size_t s = 0; s < pcm.samples.size(); ++s) {
        pcm.samples[s] = static_cast<std::int16_t>(le16(head + body + 2 * s));
      }
      return true;
    }
    offset = body + length + (length & 1);  // chunks are padded to even sizes
  }
  return false;
}

}  // namespace

bool loadSoundFile(const char* path, PcmSound* out) {
  long long fileSize = 0;
  std::FILE* file = openSoundFile(path, out, &fileSize);
  if (!file) return false;
  std::string bytes(static_cast<std::size_t>(fileSize), '\0');
  const bool read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  PcmSound pcm;
  if (!read || !readWav(bytes, pcm)) return false;
  *out = std::move(pcm);
  return true;
}

}  // namespace audio
