// A GIF's palette: few colours kept exactly, many colours kept close.
#include "clip/gif_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace {

std::vector<unsigned char> rgbaOf(const std::vector<std::array<int, 3>>& colours) {
  std::vector<unsigned char> pixels;
  for (const auto& c : colours) {
    pixels.insert(pixels.end(), {static_cast<unsigned char>(c[0]), static_cast<unsigned char>(c[1]),
                                 static_cast<unsigned char>(c[2]), 255});
  }
  return pixels;
}

std::array<int, 3> drawn(const std::vector<std::uint32_t>& palette, const clip::PaletteMap& map,
                         const std::array<int, 3>& colour) {
  const std::uint32_t entry = palette.at(map.indexOf(colour[0], colour[1], colour[2]));
  return {static_cast<int>(entry >> 16 & 0xff), static_cast<int>(entry >> 8 & 0xff), static_cast<int>(entry & 0xff)};
}

TEST(GifPalette, KeepsTheColoursOfAClipWithFewOfThem) {
  std::vector<std::array<int, 3>> colours;
  for (int i = 0; i < 256; ++i) colours.push_back({(i % 8) * 32 + 5, (i / 8 % 8) * 32 + 17, (i / 64) * 64 + 31});
  std::vector<std::array<int, 3>> pixels;
  for (int i = 0; i < 5000; ++i) pixels.push_back(colours[(i * 7919) % colours.size()]);
  clip::ColourCount count;
  const std::vector<unsigned char> rgba = rgbaOf(pixels);
  count.addPixels(rgba.data(), static_cast<long long>(pixels.size()), 0, 1, 2);
  const std::vector<std::uint32_t> palette = count.palette();
  EXPECT_EQ(palette.size(), 256u);
  const clip::PaletteMap map(palette);
  for (const auto& colour : colours) EXPECT_EQ(drawn(palette, map, colour), colour);
}

TEST(GifPalette, DrawsEveryColourCloseWhenThereAreTooMany) {
  // Every colour of a 32-step cube (32768 of them), as a gradient-heavy frame has.
  std::vector<std::array<int, 3>> pixels;
  for (int r = 0; r < 256; r += 8)
    for (int g = 0; g < 256; g += 8)
      for (int b = 0; b < 256; b += 8) pixels.push_back({r, g, b});
  clip::ColourCount count;
  const std::vector<unsigned char> rgba = rgbaOf(pixels);
  // Pixels laid out B, G, R as the spool of a GIF's frames keeps them.
  std::vector<unsigned char> bgrx(rgba.size());
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    bgrx[i] = rgba[i + 2];
    bgrx[i + 1] = rgba[i + 1];
    bgrx[i + 2] = rgba[i];
  }
  count.addPixels(bgrx.data(), static_cast<long long>(pixels.size()), 2, 1, 0);
  const std::vector<std::uint32_t> palette = count.palette();
  EXPECT_EQ(palette.size(), 256u);
  const clip::PaletteMap map(palette);
  int worst = 0;
  for (const auto& colour : pixels) {
    const auto got = drawn(palette, map, colour);
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(got[c] - colour[c]));
  }
  // 256 boxes over a cube of 256 steps a side: about 40 steps a side each.
  EXPECT_LE(worst, 40);
}

}  // namespace
