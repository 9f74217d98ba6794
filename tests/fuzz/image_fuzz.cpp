// libFuzzer target: any bytes as a picture file must load or fail, never crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "render/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/dev/shm/nombre-image-fuzz-" + std::to_string(getpid()) + ".png";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  for (int channels : {0, 3}) {
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = loadImagePixels(path.c_str(), &w, &h, &c, channels);
    if (pixels != nullptr && (w <= 0 || h <= 0 || static_cast<long>(w) * h > kMaxImagePixels)) __builtin_trap();
    freeImagePixels(pixels);
  }
  return 0;
}
