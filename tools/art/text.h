// Text set in DejaVu Sans Bold through stb_truetype, as coverage masks that
// can be outlined, shadowed and painted with any fill.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "art/canvas.h"

namespace art {

// One channel of coverage, 0..1.
struct Mask {
  int width = 0, height = 0;
  std::vector<float> value;
  float at(int x, int y) const {
    return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : value[size_t(y) * width + x];
  }
};

class Font {
 public:
  // Reads the font file; false (after a message on stderr) when it is missing.
  bool load(const std::string& path);
  // Renders UTF-8 text with its baseline at `ascent` pixels from the mask's
  // top; pixelHeight is the em size and widthScale squeezes the letters.
  Mask render(const std::string& text, float pixelHeight, float widthScale = 1.0f,
              float letterSpacing = 0.0f) const;

 private:
  std::vector<unsigned char> data_;
  struct Info;
  std::shared_ptr<Info> info_;
};

// The mask grown by a radius (round pen), for outlines and glows.
Mask dilate(const Mask& mask, float radius);
// The mask's inked rows and columns (half-open); empty masks give zero size.
Box inkBounds(const Mask& mask, float threshold = 0.02f);

// Paints the mask with its top-left at (x, y).
void drawMask(Canvas& canvas, const Mask& mask, float x, float y, const Paint& paint,
              float opacity = 1.0f);

// A finished line of lettering: dark outline, drop shadow and a gradient fill.
struct TextStyle {
  float size = 32;
  float widthScale = 1.0f;
  float spacing = 0.0f;
  Rgba top = hex(0xffffff), bottom = hex(0xd0d0d0);
  Rgba outline = hex(0x101010);
  float outlineWidth = 2.0f;
  Rgba shadow = hex(0x000000, 0.6f);
  float shadowOffset = 3.0f;
};
// Draws the text with its ink centred on (cx, cy).
void drawTextCentred(Canvas& canvas, const Font& font, const std::string& text, float cx,
                     float cy, const TextStyle& style);

}  // namespace art
