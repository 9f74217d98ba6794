#include "render/mipmaps.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// For each texel of the halved side, the two source texels it mixes and the
// weight (0..255) of the second.
struct Tap {
  int first;
  int second;
  int weight;
};

std::vector<Tap> taps(int from, int to) {
  std::vector<Tap> result(static_cast<size_t>(to));
  for (int i = 0; i < to; ++i) {
    const float centre = (static_cast<float>(i) + 0.5f) / static_cast<float>(to);
    const int fixed = static_cast<int>(std::lrint(centre * static_cast<float>(from) * 256.0f)) - 128;
    const int first = fixed >> 8;
    result[i] = {std::clamp(first, 0, from - 1), std::clamp(first + 1, 0, from - 1), fixed & 0xff};
  }
  return result;
}

int mix(int a, int b, int weight) { return (a * (256 - weight) + b * weight + 128) >> 8; }

}  // namespace

Picture halvePicture(const Picture& level) {
  Picture half;
  half.width = std::max(1, level.width / 2);
  half.height = std::max(1, level.height / 2);
  half.rgba.resize(static_cast<size_t>(half.width) * half.height * 4);
  const std::vector<Tap> across = taps(level.width, half.width);
  const std::vector<Tap> down = taps(level.height, half.height);
  const auto texel = [&](int x, int y) { return &level.rgba[(static_cast<size_t>(y) * level.width + x) * 4]; };
  unsigned char* out = half.rgba.data();
  for (const Tap& row : down) {
    for (const Tap& column : across) {
      const unsigned char* a = texel(column.first, row.first);
      const unsigned char* b = texel(column.second, row.first);
      const unsigned char* c = texel(column.first, row.second);
      const unsigned char* d = texel(column.second, row.second);
      for (int channel = 0; channel < 4; ++channel) {
        const int upper = mix(a[channel], b[channel], column.weight);
        const int lower = mix(c[channel], d[channel], column.weight);
        *out++ = static_cast<unsigned char>(mix(upper, lower, row.weight));
      }
    }
  }
  return half;
}

std::vector<Picture> mipChain(Picture base) {
  std::vector<Picture> chain;
  chain.push_back(std::move(base));
  while (chain.back().width > 1 || chain.back().height > 1) chain.push_back(halvePicture(chain.back()));
  return chain;
}

namespace {

// Widens [low, high] to take in the texture coordinates whose samples read
// texels first..last of a side `size` texels long: the filter reads the texel
// under the sample and its neighbour, and one texel more is kept for rounding.
void widen(int first, int last, int size, bool wraps, float& low, float& high) {
  const float n = static_cast<float>(size);
  low = std::min(low, (static_cast<float>(first) - 1.0f) / n);
  high = std::max(high, (static_cast<float>(last) + 2.0f) / n);
  if (wraps && last >= size - 2) low = -1.0f;
  if (wraps && first <= 1) high = 2.0f;
}

}  // namespace

std::vector<VisibleArea> visibleAreas(const std::vector<Picture>& chain) {
  std::vector<VisibleArea> areas;
  float left = 2.0f, right = -1.0f, top = 2.0f, bottom = -1.0f;
  bool any = false;
  for (const Picture& level : chain) {
    int x0 = level.width, x1 = -1, y0 = level.height, y1 = -1;
    for (int y = 0; y < level.height; ++y) {
      const unsigned char* row = &level.rgba[static_cast<size_t>(y) * level.width * 4];
      for (int x = 0; x < level.width; ++x) {
        if (row[x * 4 + 3] == 0) continue;
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
      }
    }
    if (x1 >= 0) {
      any = true;
      widen(x0, x1, level.width, true, left, right);
      widen(y0, y1, level.height, false, top, bottom);
    }
    VisibleArea area;
    area.empty = !any;
    if (any) {
      area.left = std::max(0.0f, left);
      area.right = std::min(1.0f, right);
      area.top = std::max(0.0f, top);
      area.bottom = std::min(1.0f, bottom);
    }
    areas.push_back(area);
  }
  return areas;
}
