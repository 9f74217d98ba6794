// libFuzzer target: any bytes as a picture file must load or fail, never crash.
#include "render/image.h"
#include "tests/fuzz/scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = writeScratchFile(data, size, ".png");
  if (path.empty()) return 0;
  for (int channels : {0, 3}) {
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = loadImagePixels(path.c_str(), &w, &h, &c, channels);
    if (pixels != nullptr && (w <= 0 || h <= 0 || static_cast<long>(w) * h > kMaxImagePixels)) __builtin_trap();
    freeImagePixels(pixels);
  }
  return 0;
}
