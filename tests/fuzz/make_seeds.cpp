// Writes the fuzz targets' seed files: make_seeds PICTURE_DIR SOUND_DIR.
#include <cstdio>

#include "tests/fuzz/seeds.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_seeds PICTURE_DIR SOUND_DIR\n");
    return 2;
  }
  const size_t pictures = seeds::writePictureSeeds(argv[1]).size();
  const size_t sounds = seeds::writeSoundSeeds(argv[2]).size();
  std::printf("seeds: %zu pictures, %zu sounds\n", pictures, sounds);
  return pictures > 0 && sounds > 0 ? 0 : 1;
}
