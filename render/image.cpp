#include "render/image.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <stb_image.h>

#include "base/files.h"

namespace {

// Both filters linear, both wraps clamped to the edge, on the bound texture.
void setPictureParams();

constexpr long long kMaxFileBytes = 64L * 1024 * 1024;
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// Why a picture file could not be opened as a regular file.
std::string whyNotOpened(const char* path) {
  const int opening = errno;
  struct stat status {};
  if (stat(path, &status) == 0 && !S_ISREG(status.st_mode)) return "not a plain file";
  return std::strerror(opening);
}

// Reads a whole file, refusing anything that cannot be a PNG we would draw.
bool readPngFile(const char* path, std::vector<unsigned char>& bytes, std::string& why) {
  long long size = 0;
  std::FILE* file = openRegularFile(path, &size);
  if (file == nullptr) {
    why = whyNotOpened(path);
    return false;
  }
  bool ok = size >= 8 && size <= kMaxFileBytes;
  if (!ok) why = size == 0 ? "empty file" : size < 8 ? "not a PNG file" : "larger than any picture of the game";
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!ok) why = "cut short while it was read";
  }
  std::fclose(file);
  for (int i = 0; ok && i < 8; ++i) ok = bytes[i] == kPngSignature[i];
  if (ok || !why.empty()) return ok;
  why = "not a PNG file";
  return false;
}

unsigned char* decode(const std::vector<unsigned char>& bytes, int* width, int* height, int* channels,
                      int forceChannels, long maxPixels, std::string& why) {
  int w = 0, h = 0, c = 0;
  const int length = static_cast<int>(bytes.size());
  if (!stbi_info_from_memory(bytes.data(), length, &w, &h, &c)) {
    why = stbi_failure_reason();
    return nullptr;
  }
  if (w <= 0 || h <= 0 || static_cast<long>(w) * h > std::min(maxPixels, kMaxImagePixels)) {
    why = std::to_string(w) + "x" + std::to_string(h) + " pixels, more than a picture of the game may have";
    return nullptr;
  }
  unsigned char* pixels = stbi_load_from_memory(bytes.data(), length, width, height, channels, forceChannels);
  if (pixels == nullptr) why = stbi_failure_reason();
  return pixels;
}

// Any channel layout to RGBA, the one layout we upload.
std::vector<unsigned char> toRgba(const unsigned char* pixels, int count, int channels) {
  std::vector<unsigned char> rgba(static_cast<size_t>(count) * 4);
  for (int i = 0; i < count; ++i) {
    const unsigned char* p = pixels + static_cast<size_t>(i) * channels;
    unsigned char* q = rgba.data() + static_cast<size_t>(i) * 4;
    const bool grey = channels < 3;
    q[0] = p[0];
    q[1] = grey ? p[0] : p[1];
    q[2] = grey ? p[0] : p[2];
    q[3] = channels == 2 ? p[1] : channels == 4 ? p[3] : 255;
  }
  return rgba;
}

void scaleToNtscSafe(std::vector<unsigned char>& rgba) {
  static const auto table = [] {
    std::array<unsigned char, 256> scaled{};
    for (int v = 0; v < 256; ++v) scaled[v] = static_cast<unsigned char>(std::lround(16.0 + v * (219.0 / 255.0)));
    return scaled;
  }();
  for (size_t i = 0; i < rgba.size(); i += 4) {
    for (size_t c = 0; c < 3; ++c) rgba[i + c] = table[rgba[i + c]];
  }
}

}  // namespace

unsigned char* loadImagePixels(const char* path, int* width, int* height, int* channels, int forceChannels,
                               long maxPixels, std::string* why) {
  std::string unused;
  if (why == nullptr) why = &unused;
  if (forceChannels < 0 || forceChannels > 4) {
    *why = "no picture has " + std::to_string(forceChannels) + " channels";
    return nullptr;
  }
  std::vector<unsigned char> bytes;
  if (!readPngFile(path, bytes, *why)) return nullptr;
  return decode(bytes, width, height, channels, forceChannels, maxPixels, *why);
}

void freeImagePixels(unsigned char* pixels) { stbi_image_free(pixels); }

bool decodePicture(const char* path, int forceChannels, unsigned flags, long maxPixels, Picture& picture,
                   int* fileChannels, std::string* why) {
  int width = 0, height = 0, channelsInFile = 0;
  unsigned char* pixels = loadImagePixels(path, &width, &height, &channelsInFile, forceChannels, maxPixels, why);
  if (pixels == nullptr) return false;
  const int channels = forceChannels != 0 ? forceChannels : channelsInFile;
  picture.width = width;
  picture.height = height;
  picture.rgba = toRgba(pixels, width * height, channels);
  freeImagePixels(pixels);
  if (flags & kImageNtscSafe) scaleToNtscSafe(picture.rgba);
  if (fileChannels != nullptr) *fileChannels = channelsInFile;
  return true;
}

GLuint loadImageTexture(const char* path, int forceChannels, GLuint reuseTexture, unsigned flags,
                        long maxPixels) {
  Picture picture;
  if (!decodePicture(path, forceChannels, flags, maxPixels, picture)) return 0;
  GLuint texture = reuseTexture;
  if (texture == 0) glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               picture.rgba.data());
  setPictureParams();
  return texture;
}

GLuint uploadMipChain(const std::vector<Picture>& chain) {
  if (chain.empty()) return 0;
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexStorage2D(GL_TEXTURE_2D, static_cast<GLsizei>(chain.size()), GL_RGBA8, chain[0].width, chain[0].height);
  for (size_t level = 0; level < chain.size(); ++level) {
    const Picture& picture = chain[level];
    glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, picture.width, picture.height, GL_RGBA,
                    GL_UNSIGNED_BYTE, picture.rgba.data());
  }
  setPictureParams();
  return texture;
}

namespace {

void setPictureParams() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace
