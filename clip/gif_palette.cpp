#include "clip/gif_palette.h"

#include <algorithm>

namespace clip {
namespace {

constexpr int kCellBits = 5;
constexpr int kCellsPerChannel = 1 << kCellBits;
constexpr int kCells = kCellsPerChannel * kCellsPerChannel * kCellsPerChannel;

int cellOf(unsigned char red, unsigned char green, unsigned char blue) {
  constexpr int drop = 8 - kCellBits;
  return (red >> drop) << (2 * kCellBits) | (green >> drop) << kCellBits | (blue >> drop);
}

int channelOfCell(int cell, int channel) {
  return (cell >> ((2 - channel) * kCellBits)) & (kCellsPerChannel - 1);
}

std::uint32_t argb(long long red, long long green, long long blue) {
  return 0xff000000u | static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 |
         static_cast<std::uint32_t>(blue);
}

}  // namespace

ColourCount::ColourCount() : cells_(kCells) {}

void ColourCount::addPixels(const unsigned char* pixels, long long count, int red, int green, int blue) {
  for (long long i = 0; i < count; ++i) {
    const unsigned char* p = pixels + i * 4;
    Cell& cell = cells_[cellOf(p[red], p[green], p[blue])];
    ++cell.pixels;
    cell.red += p[red];
    cell.green += p[green];
    cell.blue += p[blue];
  }
}

std::vector<std::uint32_t> ColourCount::palette() const {
  std::vector<int> used;
  for (int cell = 0; cell < kCells; ++cell) {
    if (cells_[cell].pixels > 0) used.push_back(cell);
  }
  if (used.empty()) return {argb(0, 0, 0)};
  // Boxes are ranges of `used`; each split sorts its box along its widest channel.
  struct Box {
    std::size_t begin, end;
  };
  std::vector<Box> boxes{{0, used.size()}};
  auto widest = [&](const Box& box, int* channel) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      int low = kCellsPerChannel, high = -1;
      for (std::size_t i = box.begin; i < box.end; ++i) {
        low = std::min(low, channelOfCell(used[i], c));
        high = std::max(high, channelOfCell(used[i], c));
      }
      if (high - low > best) {
        best = high - low;
        *channel = c;
      }
    }
    return best;
  };
  while (static_cast<int>(boxes.size()) < kGifColours) {
    // Split the box holding the most pixels among those with more than one cell.
    int chosen = -1;
    long long most = -1;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].end - boxes[b].begin < 2) continue;
      long long pixels = 0;
      for (std::size_t i = boxes[b].begin; i < boxes[b].end; ++i) pixels += cells_[used[i]].pixels;
      if (pixels > most) {
        most = pixels;
        chosen = static_cast<int>(b);
      }
    }
    if (chosen < 0) break;
    Box box = boxes[chosen];
    int channel = 0;
    widest(box, &channel);
    std::sort(used.begin() + box.begin, used.begin() + box.end,
              [&](int a, int b) { return channelOfCell(a, channel) < channelOfCell(b, channel); });
    // At the pixels' median, keeping a cell on each side.
    long long half = most / 2, seen = 0;
    std::size_t split = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
      seen += cells_[used[i]].pixels;
      split = i + 1;
      if (seen >= half) break;
    }
    boxes[chosen] = {box.begin, split};
    boxes.push_back({split, box.end});
  }
  std::vector<std::uint32_t> colours;
  for (const Box& box : boxes) {
    Cell sum;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      const Cell& cell = cells_[used[i]];
      sum.pixels += cell.pixels;
      sum.red += cell.red;
      sum.green += cell.green;
      sum.blue += cell.blue;
    }
    const long long n = sum.pixels;
    colours.push_back(argb((sum.red + n / 2) / n, (sum.green + n / 2) / n, (sum.blue + n / 2) / n));
  }
  return colours;
}

PaletteMap::PaletteMap(const std::vector<std::uint32_t>& palette) : palette_(palette), nearest_(kCells) {
  // Each cell goes to the entry nearest its middle; a palette entry wins its own cell.
  for (int cell = 0; cell < kCells; ++cell) {
    const int half = 1 << (7 - kCellBits);
    const int r = (channelOfCell(cell, 0) << (8 - kCellBits)) + half;
    const int g = (channelOfCell(cell, 1) << (8 - kCellBits)) + half;
    const int b = (channelOfCell(cell, 2) << (8 - kCellBits)) + half;
    long long best = -1;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const int dr = static_cast<int>(palette_[i] >> 16 & 0xff) - r;
      const int dg = static_cast<int>(palette_[i] >> 8 & 0xff) - g;
      const int db = static_cast<int>(palette_[i] & 0xff) - b;
      const long long distance = dr * dr + dg * dg + db * db;
      if (best < 0 || distance < best) {
        best = distance;
        nearest_[cell] = static_cast<std::uint8_t>(i);
      }
    }
  }
  for (std::size_t i = 0; i < palette_.size(); ++i) {
    nearest_[cellOf(palette_[i] >> 16 & 0xff, palette_[i] >> 8 & 0xff, palette_[i] & 0xff)] =
        static_cast<std::uint8_t>(i);
  }
}

std::uint8_t PaletteMap::indexOf(unsigned char red, unsigned char green, unsigned char blue) const {
  return nearest_[cellOf(red, green, blue)];
}

}  // namespace clip
