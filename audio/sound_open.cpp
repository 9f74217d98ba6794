// Opening a sound file, the same for every reader of one.
#include "audio/sound_file.h"
#include "base/files.h"

namespace audio {

void (*soundFileChecked)(const char* path) = nullptr;

std::FILE* openSoundFile(const char* path, PcmSound* out, long long* bytes) {
  if (!out) return nullptr;
  *out = PcmSound{};
  if (!path) return nullptr;
  std::FILE* file = openRegularFile(path, bytes);
  if (file && soundFileChecked) soundFileChecked(path);
  return file;
}

}  // namespace audio
