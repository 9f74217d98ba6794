#pragma once
// Pictures from PNG files: as a new 2-D texture, or as raw pixels.
// A missing, empty, truncated, corrupt or oversized file is a failure.

#include <GL/glew.h>

#include <string>
#include <vector>

#include "render/mipmaps.h"

// Scales every colour channel into the 16..235 range that TV-safe output
// expects; alpha is kept.
constexpr unsigned kImageNtscSafe = 128;

// Largest picture accepted, in pixels, so a forged header cannot ask for gigabytes.
constexpr long kMaxImagePixels = 4096L * 4096L;

// Loads a PNG into a new texture (reuseTexture must be 0) with as many
// channels as the file has (forceChannels 0). Both filters linear, both
// wraps clamped to the edge. A picture of more than maxPixels pixels is a
// failure, found from its header before anything is decoded. Returns the
// texture name, 0 on failure.
GLuint loadImageTexture(const char* path, int forceChannels, GLuint reuseTexture, unsigned flags,
                        long maxPixels = kMaxImagePixels);

// Decodes a PNG's pixels, forcing forceChannels channels (1 to 4) or keeping
// the file's (0). Returns null on failure, with *why (if given) saying what is
// wrong with the file; free with freeImagePixels.
unsigned char* loadImagePixels(const char* path, int* width, int* height, int* channels, int forceChannels,
                               long maxPixels = kMaxImagePixels, std::string* why = nullptr);
void freeImagePixels(unsigned char* pixels);

// Decodes a PNG into four channels (forceChannels as above, the rest filled
// in: grey spread to red, green and blue, alpha 255 where the file has none),
// scaled as `flags` ask. fileChannels, when given, gets the file's own count.
// False on any failure loadImagePixels has.
bool decodePicture(const char* path, int forceChannels, unsigned flags, long maxPixels, Picture& picture,
                   int* fileChannels = nullptr, std::string* why = nullptr);

// A new texture with immutable storage for every level of the chain, each
// uploaded as it is; filters and wraps as loadImageTexture sets them.
GLuint uploadMipChain(const std::vector<Picture>& chain);
