// libFuzzer target: any bytes as a sound file must load or fail, never crash.
#include <sndfile.h>

#include "audio/sound_file.h"
#include "tests/fuzz/scratch_file.h"

namespace {

// libsndfile is not built for coverage, so the fuzzer cannot tell its decoders
// apart: a FLAC, an ADPCM and an Ogg file take the same path through our
// loader, and all but one would be dropped from the corpus. A counter for each
// container and sample type that libsndfile reports, loaded or refused, gives
// each its own feature, so an input that reaches another decoder is kept.
constexpr int kMajorTypes = 64, kSubtypes = 256;
__attribute__((used, section("__libfuzzer_extra_counters"))) uint8_t formatReached[2 * kMajorTypes * kSubtypes];

void noteFormat(const char* path, bool loaded) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (file == nullptr) return;
  sf_close(file);
  const int major = (info.format & SF_FORMAT_TYPEMASK) >> 16;
  const int subtype = info.format & SF_FORMAT_SUBMASK;
  if (major >= kMajorTypes || subtype >= kSubtypes) return;
  formatReached[((loaded ? kMajorTypes : 0) + major) * kSubtypes + subtype] = 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = writeScratchFile(data, size, ".wav");
  if (path.empty()) return 0;
  audio::PcmSound sound;
  const bool loaded = audio::loadSoundFile(path.c_str(), &sound);
  if (loaded) {
    if (sound.channels < 1 || sound.channels > 2 || sound.samples.empty() ||
        sound.samples.size() > audio::kMaxSoundSamples) {
      __builtin_trap();
    }
  }
  noteFormat(path.c_str(), loaded);
  return 0;
}
