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

std::vector<VisibleRows> visibleRows(const std::vector<Picture>& chain) {
  std::vector<VisibleRows> levels;
  for (const Picture& level : chain) {
    VisibleRows rows;
    rows.width = level.width;
    rows.height = level.height;
    rows.first.assign(static_cast<size_t>(level.height), -1);
    rows.last.assign(static_cast<size_t>(level.height), -1);
    for (int y = 0; y < level.height; ++y) {
      const unsigned char* row = &level.rgba[static_cast<size_t>(y) * level.width * 4];
      for (int x = 0; x < level.width; ++x) {
        if (row[x * 4 + 3] == 0) continue;
        if (rows.first[y] < 0) rows.first[y] = x;
        rows.last[y] = x;
      }
    }
    levels.push_back(std::move(rows));
  }
  return levels;
}

bool visibleSpan(const std::vector<VisibleRows>& levels, size_t deepest, float v0, float v1, float& u0, float& u1) {
  // Beyond the edges down, the clamped sampler reads the edge rows.
  v0 = std::clamp(v0, 0.0f, 1.0f);
  v1 = std::clamp(v1, 0.0f, 1.0f);
  float low = 2.0f, high = -1.0f;
  for (size_t k = 0; k <= deepest && k < levels.size(); ++k) {
    const VisibleRows& level = levels[k];
    const float h = static_cast<float>(level.height);
    // Rows a sample at v reads: floor(v h - 0.5) and the next, one more each way.
    const int top = std::max(0, static_cast<int>(std::floor(v0 * h - 1.5f)) - 1);
    const int bottom = std::min(level.height - 1, static_cast<int>(std::ceil(v1 * h + 0.5f)) + 1);
    int first = level.width, last = -1;
    for (int y = top; y <= bottom; ++y) {
      if (level.first[y] < 0) continue;
      first = std::min(first, level.first[y]);
      last = std::max(last, level.last[y]);
    }
    if (last < 0) continue;
    const float w = static_cast<float>(level.width);
    low = std::min(low, (static_cast<float>(first) - 1.0f) / w);
    high = std::max(high, (static_cast<float>(last) + 2.0f) / w);
    if (last == level.width - 1) low = 0.0f;  // reached from the left edge too
    if (first == 0) high = 1.0f;
  }
  if (high < low) return false;
  u0 = std::max(0.0f, low);
  u1 = std::min(1.0f, high);
  return true;
}
