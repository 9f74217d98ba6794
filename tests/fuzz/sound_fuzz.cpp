// libFuzzer target: any bytes as a sound file must load or fail, never crash.
#include "audio/sound_file.h"
#include "tests/fuzz/scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = writeScratchFile(data, size, ".wav");
  if (path.empty()) return 0;
  audio::PcmSound sound;
  if (audio::loadSoundFile(path.c_str(), &sound)) {
    if (sound.channels < 1 || sound.channels > 2 || sound.samples.empty() ||
        sound.samples.size() > audio::kMaxSoundSamples) {
      __builtin_trap();
    }
  }
  return 0;
}
