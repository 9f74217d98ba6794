// Writes the game's run-time data, <run dir>/img/*.png and <run dir>/sound/*.wav,
// and its desktop icon, <run dir>/icons/nombre.png, which the game never reads.
#include <cstdio>
#include <filesystem>

#include "assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nombre_assets RUN_DIR\n");
    return 2;
  }
  const std::filesystem::path runDir = argv[1];
  std::error_code error;
  for (const char* folder : {"img", "sound", "icons"}) {
    if (!error) std::filesystem::create_directories(runDir / folder, error);
  }
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", runDir.c_str(), error.message().c_str());
    return 1;
  }
  const bool pictures = makePictures((runDir / "img").string());
  const bool sounds = makeSounds((runDir / "sound").string());
  const bool icon = makeIcon((runDir / "icons").string());
  return pictures && sounds && icon ? 0 : 1;
}
