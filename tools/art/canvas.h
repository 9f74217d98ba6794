// A small software painter: an RGBA float canvas and anti-aliased shapes.
// Shapes are given as signed distance functions (negative inside, in pixels)
// or as polygons; the edge pixel gets the fraction of its area inside.
#pragma once
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace art {

constexpr float kPi = 3.14159265358979f;

struct Vec2 {
  float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float k) { return {a.x * k, a.y * k}; }
inline float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec2 a) { return std::sqrt(dot(a, a)); }
inline Vec2 lerp(Vec2 a, Vec2 b, float t) { return a + (b - a) * t; }
inline Vec2 perpendicular(Vec2 a) { return {-a.y, a.x}; }

// Direction of a limb at the given angle in degrees: 0 points straight down,
// 90 points forward (+x, the way the figures face), 180 straight up.
inline Vec2 direction(float degrees) {
  const float r = degrees * kPi / 180.0f;
  return {std::sin(r), std::cos(r)};
}

inline float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline float smoothstep(float e0, float e1, float v) {
  const float t = clamp01((v - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Straight (not premultiplied) colour, channels 0..1.
struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};
Rgba hex(unsigned rgb, float alpha = 1.0f);
Rgba mix(Rgba a, Rgba b, float t);
Rgba scaled(Rgba c, float k);  // brightness, alpha kept
Rgba withAlpha(Rgba c, float alpha);

using Paint = std::function<Rgba(Vec2)>;
inline Paint solid(Rgba c) {
  return [c](Vec2) { return c; };
}
// Vertical gradient from c0 at y0 to c1 at y1, constant beyond.
Paint verticalGradient(float y0, Rgba c0, float y1, Rgba c1);

class Canvas {
 public:
  Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});
  int width() const { return width_; }
  int height() const { return height_; }

  // Paints colour c over pixel (x, y) covering the given fraction of it.
  void blend(int x, int y, Rgba c, float coverage);
  // Adds light (rgb times amount) to an opaque pixel, for glows.
  void addLight(int x, int y, Rgba c, float amount);
  Rgba pixel(int x, int y) const;  // straight colour
  // Paints another canvas over this one with its top-left at (x, y).
  void draw(const Canvas& other, int x, int y, float opacity = 1.0f);

  // Fully transparent pixels take the matte colour, so that mipmaps and linear
  // filtering pull the outline colour into the edge instead of black.
  bool savePng(const std::string& path, Rgba matte = {0, 0, 0, 0}) const;
  bool savePngRgb(const std::string& path) const;
  // As savePng (black matte), but stored without compression: larger, and
  // decoded several times faster, for the one big picture start-up waits on.
  bool savePngStored(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<Rgba> pixels_;  // premultiplied
};

struct Box {
  int x0, y0, x1, y1;  // half-open
};
inline Box boxAround(Vec2 lo, Vec2 hi, float margin) {
  return {int(std::floor(lo.x - margin)), int(std::floor(lo.y - margin)),
          int(std::ceil(hi.x + margin)) + 1, int(std::ceil(hi.y + margin)) + 1};
}

// Fills the shape whose signed distance is dist(p) using paint(p) for colour.
template <class Dist, class PaintFn>
void fillSdf(Canvas& canvas, Box box, Dist dist, PaintFn paint, float opacity = 1.0f) {
  const int x0 = std::max(0, box.x0), y0 = std::max(0, box.y0);
  const int x1 = std::min(canvas.width(), box.x1), y1 = std::min(canvas.height(), box.y1);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      const float coverage = clamp01(0.5f - dist(p));
      if (coverage > 0) canvas.blend(x, y, paint(p), coverage * opacity);
    }
  }
}

// Signed distances.
float circleDistance(Vec2 p, Vec2 centre, float radius);
float ellipseDistance(Vec2 p, Vec2 centre, float rx, float ry);
// A segment thickened by a radius growing linearly from ra at a to rb at b.
float capsuleDistance(Vec2 p, Vec2 a, Vec2 b, float ra, float rb);
// Closest point parameter along segment a..b, 0..1.
float segmentParam(Vec2 p, Vec2 a, Vec2 b);
float polygonDistance(Vec2 p, const std::vector<Vec2>& poly);
// Rectangle centred on c with half sizes (hx, hy) and rounded corners.
float roundedBoxDistance(Vec2 p, Vec2 c, float hx, float hy, float radius);

// Scan-converts a polygon (non-zero winding) with 4 sub-rows per pixel row and
// exact horizontal coverage; suited to large shapes such as landscapes.
void fillPolygon(Canvas& canvas, const std::vector<Vec2>& poly, const Paint& paint,
                 float opacity = 1.0f);
void fillRect(Canvas& canvas, float x0, float y0, float x1, float y1, const Paint& paint,
              float opacity = 1.0f);
void fillCircle(Canvas& canvas, Vec2 centre, float radius, Rgba colour);
void fillEllipse(Canvas& canvas, Vec2 centre, float rx, float ry, Rgba colour);
void fillCapsule(Canvas& canvas, Vec2 a, Vec2 b, float ra, float rb, Rgba colour);
// A soft additive light falling off smoothly to zero at the radius.
void addGlow(Canvas& canvas, Vec2 centre, float radius, Rgba colour, float strength);

// A small deterministic generator (xorshift) for scenery variety.
class Random {
 public:
  explicit Random(unsigned seed) : state_(seed ? seed : 1u) {}
  unsigned next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  float uniform(float lo, float hi) { return lo + (hi - lo) * float(next() % 100000u) / 100000.0f; }

 private:
  unsigned state_;
};

}  // namespace art
