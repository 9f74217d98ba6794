#pragma once
// Pictures in memory and their mip chains, made on the CPU so that a texture
// gets every level in one upload each instead of the driver's blits.

#include <cstddef>
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

// Where each row of one mip level has texels with any alpha: its first and
// last such column, -1 in both for a row with none.
struct VisibleRows {
  int width = 0;
  int height = 0;
  std::vector<int> first;
  std::vector<int> last;
};
std::vector<VisibleRows> visibleRows(const std::vector<Picture>& chain);

// The span of texture coordinates across (0..1) outside which no sample
// taken between v0 and v1 down (texture coordinates, 0..1) from levels
// 0..deepest has any alpha: the bilinear filter reads the texel under a
// sample and the next one each way, and one texel more is kept for the
// driver's rounding. Across, where the game's textures repeat, a visible
// texel at one edge is reached from the other edge too; down they clamp.
// False when no such sample can have any alpha.
bool visibleSpan(const std::vector<VisibleRows>& levels, std::size_t deepest, float v0, float v1, float& u0, float& u1);
