#pragma once
// Pictures in memory and their mip chains, made on the CPU so that a texture
// gets every level in one upload each instead of the driver's blits.

#include <vector>

// One RGBA picture, 8 bits a channel, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;
};

// The level below `level`: each side halved (rounded down, at least 1).
// Every texel is the bilinear sample at its centre, as the driver's blit
// takes it: the coordinate in 1/256 texel, rounded; the two texels along x
// mixed with 8-bit weights and rounded, then the two rows the same way.
// Byte for byte what glGenerateMipmap makes on Mesa's llvmpipe.
Picture halvePicture(const Picture& level);
// Level 0 (the picture itself) down to 1x1.
std::vector<Picture> mipChain(Picture base);

// The part of a texture that can colour a pixel, in texture coordinates
// (0..1 each way): outside it every sample of the levels it was found from
// has alpha 0.
struct VisibleArea {
  float left = 0.0f;
  float right = 1.0f;
  float top = 0.0f;
  float bottom = 1.0f;
  bool empty = false;  // no texel with any alpha at all
};
// For each level k of the chain, the visible area of levels 0..k together:
// each level's texels with any alpha, widened by the bilinear filter's reach
// plus one texel. Across, where the game's textures repeat, visible texels
// at one edge keep the opposite edge too, since samples there wrap onto
// them; down, the textures clamp and no sample wraps.
std::vector<VisibleArea> visibleAreas(const std::vector<Picture>& chain);
