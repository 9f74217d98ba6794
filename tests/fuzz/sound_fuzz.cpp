// libFuzzer target: any bytes as a sound file must load or fail, never crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "audio/sound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/dev/shm/nombre-sound-fuzz-" + std::to_string(getpid()) + ".wav";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  audio::PcmSound sound;
  if (audio::loadSoundFile(path.c_str(), &sound)) {
    if (sound.channels < 1 || sound.channels > 2 || sound.samples.empty() ||
        sound.samples.size() > audio::kMaxSoundSamples) {
      __builtin_trap();
    }
  }
  return 0;
}
