#pragma once
// Seed files for the fuzz targets: small pictures of every kind a PNG may be,
// and short sounds in every container and sample type libsndfile can write.
// The tests load the same files, so a seed the game cannot read shows there.
#include <string>
#include <vector>

namespace seeds {

struct PictureSeed {
  std::string file;                // name inside the folder
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;  // what it holds, as 8-bit RGBA
};

struct SoundSeed {
  std::string file;
  int channels = 0;
  int sampleRate = 0;
  long frames = 0;
};

// Each writes its files into dir (which exists) and returns what it wrote;
// a file that could not be written is left out and named on stderr.
std::vector<PictureSeed> writePictureSeeds(const std::string& dir);
std::vector<SoundSeed> writeSoundSeeds(const std::string& dir);

}  // namespace seeds
