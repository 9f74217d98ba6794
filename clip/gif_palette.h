#pragma once
// The colours of a GIF: at most 256, chosen for the clip from every frame it
// keeps (median cut over a count of the colours, to 5 bits a channel), and
// each pixel drawn in the nearest of them.
#include <array>
#include <cstdint>
#include <vector>

namespace clip {

constexpr int kGifColours = 256;

class ColourCount {
 public:
  ColourCount();
  // Counts the pixels of a frame given as 4 bytes a pixel, `red`, `green`
  // and `blue` being the bytes' places within each pixel.
  void addPixels(const unsigned char* pixels, long long count, int red, int green, int blue);
  // At most kGifColours colours, 0xAARRGGBB with alpha 0xff: the mean of the
  // pixels in each box of a median cut. A clip of no more colours than that,
  // each in a cell of its own, keeps its colours exactly.
  std::vector<std::uint32_t> palette() const;

 private:
  struct Cell {
    long long pixels = 0;
    long long red = 0, green = 0, blue = 0;
  };
  std::vector<Cell> cells_;
};

// The palette entry nearest to each colour (by its 5-bit cell), looked up.
class PaletteMap {
 public:
  explicit PaletteMap(const std::vector<std::uint32_t>& palette);
  std::uint8_t indexOf(unsigned char red, unsigned char green, unsigned char blue) const;

 private:
  std::vector<std::uint32_t> palette_;
  std::vector<std::uint8_t> nearest_;
};

}  // namespace clip
