#include "audio/sound_file.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>


namespace audio {
namespace {

constexpr sf_count_t kReadBlockFrames = 16384;
// A RIFF file with more chunks than this before its data is not a game sound.
constexpr int kMaxRiffChunks = 64;

std::uint32_t readLe32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// libsndfile's reader of MIDI sample dumps prints a line on standard output,
// the game's console, for each damaged block (tens of thousands for one broken
// file), already while opening it. No game sound comes in that form, so such
// a file is refused by the mark libsndfile knows it by, before it is opened.
bool isSampleDump(const unsigned char* head) {
  return head[0] == 0xf0 && head[1] == 0x7e && (head[2] & 0x80) == 0 && head[3] == 0x01;
}

// libsndfile quietly shortens a WAV whose data chunk claims more bytes than the
// file holds, so a cut-off or lying file would play as a fragment. Walk the
// chunks ourselves and refuse such files. Files that are not RIFF WAVE are left
// for libsndfile to judge, but for sample dumps.
bool headerIsAcceptable(std::FILE* file, long long fileSize) {
  unsigned char head[12];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  if (got >= 4 && isSampleDump(head)) return false;
  if (got != sizeof head) return true;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return true;
  long long offset = sizeof head;
  for (int i = 0; i < kMaxRiffChunks; ++i) {
    unsigned char chunk[8];
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
    if (std::fread(chunk, 1, sizeof chunk, file) != sizeof chunk) return false;
    const long long size = readLe32(chunk + 4);
    const long long body = offset + static_cast<long long>(sizeof chunk);
    if (std::memcmp(chunk, "data", 4) == 0) return body + size <= fileSize;
    offset = body + size + (size & 1);  // chunks are padded to even sizes
    if (offset > fileSize) return false;
  }
  return false;
}

// libsndfile scales integer formats by 1/32768, so 16-bit data comes back
// exactly; float data past full scale clips instead of wrapping round.
std::int16_t toSample16(float value) {
  if (std::isnan(value)) return 0;
  const float scaled = std::nearbyint(value * 32768.0f);
  return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

bool formatIsPlausible(const SF_INFO& info) {
  if (info.channels < 1 || info.channels > 2) return false;
  if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate) return false;
  if (info.frames <= 0) return false;
  const double seconds = static_cast<double>(info.frames) / info.samplerate;
  const double samples = static_cast<double>(info.frames) * info.channels;
  return seconds <= kMaxSoundSeconds && samples <= static_cast<double>(kMaxSoundSamples);
}

}  // namespace

bool loadSoundFile(const char* path, PcmSound* out) {
  // The file is opened once, and libsndfile reads what was checked: opening
  // the name again could meet a named pipe put there meanwhile, and block.
  long long fileSize = 0;
  std::FILE* file = openSoundFile(path, out, &fileSize);
  if (!file) return false;
  // libsndfile reads the descriptor from its start, past the stream's buffer.
  if (!headerIsAcceptable(file, fileSize) || lseek(fileno(file), 0, SEEK_SET) != 0) {
    std::fclose(file);
    return false;
  }

  SF_INFO info{};
  SNDFILE* sndfile = sf_open_fd(fileno(file), SFM_READ, &info, SF_FALSE);
  if (!sndfile) {
    std::fclose(file);
    return false;
  }
  if (!formatIsPlausible(info)) {
    sf_close(sndfile);
    std::fclose(file);
    return false;
  }
  // Read as float and convert ourselves: libsndfile's own short reader leaves
  // float files unscaled (a quarter-scale level comes out near zero).
  PcmSound pcm;
  pcm.channels = info.channels;
  pcm.sampleRate = info.samplerate;
  const std::size_t frames = static_cast<std::size_t>(info.frames);
  const std::size_t channels = static_cast<std::size_t>(info.channels);
  pcm.samples.resize(frames * channels);
  std::vector<float> block(static_cast<std::size_t>(kReadBlockFrames) * channels);
  std::size_t framesRead = 0;
  while (framesRead < frames) {
    const sf_count_t want =
        static_cast<sf_count_t>(std::min<std::size_t>(frames - framesRead, kReadBlockFrames));
    const sf_count_t got = sf_readf_float(sndfile, block.data(), want);
    if (got <= 0) break;
    const std::size_t count = static_cast<std::size_t>(got) * channels;
    std::transform(block.begin(), block.begin() + count, pcm.samples.begin() + framesRead * channels,
                   toSample16);
    framesRead += static_cast<std::size_t>(got);
  }
  const bool readError = sf_error(sndfile) != SF_ERR_NO_ERROR;
  sf_close(sndfile);
  std::fclose(file);
  // A short read means the header promised samples the file does not hold.
  if (readError || framesRead != frames) return false;

  *out = std::move(pcm);
  return true;
}

}  // namespace audio
