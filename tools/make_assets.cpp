// Writes the game's run-time data: <run dir>/img/*.png and <run dir>/sound/*.wav.
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
  std::filesystem::create_directories(runDir / "img", error);
  std::filesystem::create_directories(runDir / "sound", error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", runDir.c_str(), error.message().c_str());
    return 1;
  }
  const bool pictures = makePictures((runDir / "img").string());
  const bool sounds = makeSounds((runDir / "sound").string());
  return pictures && sounds ? 0 : 1;
}
