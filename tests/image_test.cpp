// Pictures from files: good ones load with the TV-safe colour range, bad ones
// of every kind fail cleanly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>

#include "render/image.h"
#include "tests/fuzz/seeds.h"
#include "tests/gl_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A PNG signature and an IHDR chunk claiming the given size, and nothing more.
std::string forgedHeader(uint32_t width, uint32_t height) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  auto be32 = [&png](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>((v >> shift) & 0xff));
  };
  be32(13);
  png += "IHDR";
  be32(width);
  be32(height);
  png += std::string("\x08\x06\x00\x00\x00", 5);
  be32(0);  // CRC, not checked by the decoder
  return png;
}

TEST(Images, BadFilesFailWithoutACrash) {
  sharedGame();
  const std::string good = readFile(fs::path(NOMBRE_RUN_DIR) / "img" / "corazon.png");
  std::mt19937 random(7);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string corrupt = good;
  for (size_t i = 60; i < corrupt.size(); i += 7) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5a);
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"truncated", good.substr(0, good.size() / 2)},
      {"signature only", good.substr(0, 8)},
      {"wrong magic", "GIF89a" + good.substr(6)},
      {"random bytes", noise},
      {"PNG signature then noise", good.substr(0, 8) + noise},
      {"huge dimensions", forgedHeader(60000, 60000)},
      {"zero dimensions", forgedHeader(0, 0)},
      {"a data chunk claiming 2 GB", forgedHeader(16, 16) + std::string("\x7f\xff\xff\xf0IDAT\x78\x9c", 10)},
      {"corrupt data", corrupt},
  };
  const fs::path path = fs::temp_directory_path() / "nombre-bad.png";
  for (const auto& [name, bytes] : cases) {
    std::ofstream(path, std::ios::binary) << bytes;
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = loadImagePixels(path.c_str(), &w, &h, &c, 3);
    EXPECT_EQ(pixels, nullptr) << name;
    freeImagePixels(pixels);
    EXPECT_EQ(loadImageTexture(path.c_str(), 0, 0, kImageNtscSafe), 0u) << name;
  }
  EXPECT_EQ(loadImageTexture("/nonexistent/nothing.png", 0, 0, kImageNtscSafe), 0u);
  fs::remove(path);
}

// A named pipe with no writer makes a plain open wait for one for ever. Should
// the loader ever open it, the test plays the writer after a few seconds, so
// it fails instead of hanging.
TEST(Images, ANamedPipeOrAFolderIsRefusedWithoutWaiting) {
  const fs::path dir = fs::temp_directory_path() / ("nombre-special-" + std::to_string(getpid()));
  const fs::path pipe = dir / "pipe.png";
  const fs::path folder = dir / "folder.png";
  fs::create_directories(folder);
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const fs::path& path : {pipe, folder}) {
    auto refused = std::async(std::launch::async, [path] {
      int w = 0, h = 0, c = 0;
      unsigned char* pixels = loadImagePixels(path.c_str(), &w, &h, &c, 3);
      freeImagePixels(pixels);
      return pixels == nullptr;
    });
    if (refused.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      ADD_FAILURE() << path << " blocked the loader";
      close(open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
    }
    EXPECT_TRUE(refused.get()) << path;
  }
  fs::remove_all(dir);
}

// Every colour type, bit depth and interlacing a PNG may have, with the
// transparency chunk of each kind: decoded to the RGBA the file holds.
TEST(Images, EveryKindOfPngLoadsToItsPixels) {
  const fs::path dir = fs::temp_directory_path() / ("nombre-kinds-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::vector<seeds::PictureSeed> pictures = seeds::writePictureSeeds(dir.string());
  EXPECT_EQ(pictures.size(), 40u);
  for (const seeds::PictureSeed& picture : pictures) {
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = loadImagePixels((dir / picture.file).c_str(), &w, &h, &c, 4);
    ASSERT_NE(pixels, nullptr) << picture.file;
    EXPECT_EQ(w, picture.width) << picture.file;
    EXPECT_EQ(h, picture.height) << picture.file;
    const std::vector<unsigned char> loaded(pixels, pixels + picture.rgba.size());
    EXPECT_EQ(loaded, picture.rgba) << picture.file;
    freeImagePixels(pixels);
  }
  fs::remove_all(dir);
}

TEST(Images, AGoodPictureLoadsWithColoursInTheTvSafeRange) {
  sharedGame();
  const std::string path = std::string(NOMBRE_RUN_DIR) + "/img/gameover.png";
  int w = 0, h = 0, c = 0;
  unsigned char* pixels = loadImagePixels(path.c_str(), &w, &h, &c, 3);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  freeImagePixels(pixels);

  const GLuint texture = loadImageTexture(path.c_str(), 0, 0, kImageNtscSafe);
  ASSERT_NE(texture, 0u);
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint wrapS = 0, minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
  EXPECT_EQ(minFilter, GL_LINEAR);
  std::vector<unsigned char> texels(800 * 600 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  int lowest = 255, highest = 0;
  for (size_t i = 0; i < texels.size(); ++i) {
    if (i % 4 == 3) continue;
    lowest = std::min<int>(lowest, texels[i]);
    highest = std::max<int>(highest, texels[i]);
  }
  EXPECT_GE(lowest, 16);
  EXPECT_LE(highest, 235);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &texture);
}

}  // namespace
