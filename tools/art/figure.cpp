#include "art/figure.h"

#include <functional>
#include <vector>

namespace art {
namespace {

// Body lengths and thicknesses at stature 1 and bulk 1, in pixels.
struct Proportions {
  float thigh = 25, shin = 24, foot = 8;
  float torso = 31, neck = 4, headRadius = 8.5f;
  float upperArm = 17, forearm = 15, fistRadius = 3.8f;
  float thighRadius = 6.2f, kneeRadius = 4.9f, shinRadius = 4.6f, ankleRadius = 2.9f;
  float toeRadius = 2.2f;
  float upperArmRadius = 4.5f, elbowRadius = 3.8f, wristRadius = 2.7f;
};

Proportions proportionsFor(const Style& style) {
  Proportions p;
  const float k = style.stature, w = style.bulk;
  p.thigh *= k, p.shin *= k, p.torso *= k;
  p.upperArm *= k * style.reach, p.forearm *= k * style.reach;
  p.thighRadius *= w, p.kneeRadius *= w, p.shinRadius *= w;
  p.upperArmRadius *= w, p.elbowRadius *= w, p.wristRadius *= std::sqrt(w);
  p.fistRadius *= std::sqrt(w);
  return p;
}

constexpr float kGroundY = 115.0f;       // soles rest here; the outline reaches 116
constexpr float kOutlineWidth = 1.0f;
constexpr float kFarSideShade = 0.74f;   // limbs on the far side sit in shadow

// A shape: signed distance plus bounds; `thickness` is how deep the shading
// takes to reach the middle (a limb's radius).
struct Shape {
  std::function<float(Vec2)> dist;
  Vec2 lo, hi;
  float thickness = 4;
};

Shape capsule(Vec2 a, Vec2 b, float ra, float rb) {
  const float r = std::max(ra, rb);
  return {[=](Vec2 p) { return capsuleDistance(p, a, b, ra, rb); },
          {std::min(a.x, b.x) - r, std::min(a.y, b.y) - r},
          {std::max(a.x, b.x) + r, std::max(a.y, b.y) + r},
          std::max(1.5f, std::min(ra, rb))};
}

Shape circle(Vec2 c, float r) {
  return {[=](Vec2 p) { return circleDistance(p, c, r); }, {c.x - r, c.y - r}, {c.x + r, c.y + r}, r};
}

Shape polygon(std::vector<Vec2> points, float thickness) {
  Vec2 lo{1e9f, 1e9f}, hi{-1e9f, -1e9f};
  for (Vec2 v : points) {
    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y)};
    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y)};
  }
  return {[pts = std::move(points)](Vec2 p) { return polygonDistance(p, pts); }, lo, hi, thickness};
}

// The part of `a` on the side of the line through `point` that `normal` points away from.
Shape clipBehind(Shape a, Vec2 point, Vec2 normal) {
  const float n = length(normal);
  const Vec2 u = normal * (1.0f / n);
  auto inner = a.dist;
  a.dist = [=](Vec2 p) { return std::max(inner(p), dot(p - point, u)); };
  return a;
}

// The part of `a` within `halfWidth` of the line through `point` along `along`.
Shape clipToBand(Shape a, Vec2 point, Vec2 along, float halfWidth) {
  const Vec2 n = perpendicular(along * (1.0f / length(along)));
  auto inner = a.dist;
  a.dist = [=](Vec2 p) { return std::max(inner(p), std::fabs(dot(p - point, n)) - halfWidth); };
  return a;
}

struct Part {
  Shape shape;
  Rgba colour;
  bool outlined = true;
  bool shaded = true;
};

// Round-ish shading: lit from the upper left and a little from the front.
float brightness(const Shape& shape, Vec2 p) {
  const float e = 0.5f;
  Vec2 g{shape.dist({p.x + e, p.y}) - shape.dist({p.x - e, p.y}),
         shape.dist({p.x, p.y + e}) - shape.dist({p.x, p.y - e})};
  const float gl = length(g);
  if (gl < 1e-4f) return 1.0f;
  g = g * (1.0f / gl);
  const float depth = clamp01(-shape.dist(p) / shape.thickness);
  const Vec2 n2 = g * (1.0f - depth);
  const float nz = std::sqrt(std::max(0.0f, 1.0f - dot(n2, n2)));
  const float lx = -0.45f, ly = -0.65f, lz = 0.6f;  // unit length
  const float lambert = n2.x * lx + n2.y * ly + nz * lz;
  return 1.0f + 0.32f * (lambert - 0.6f);
}

// Parts drawn together: all outlines first, then all fills, so joints between
// parts of one layer stay seamless while layers overlap with a contour.
class Layer {
 public:
  explicit Layer(float shade = 1.0f) : shade_(shade) {}
  void add(const Shape& s, Rgba colour) { parts_.push_back({s, colour, true, true}); }
  void detail(const Shape& s, Rgba colour, bool shaded = false) { parts_.push_back({s, colour, false, shaded}); }

  void draw(Canvas& canvas, Vec2 origin, Rgba outline) const {
    for (const Part& part : parts_)
      if (part.outlined) paint(canvas, origin, part, kOutlineWidth, scaled(outline, shade_ > 0.9f ? 1.0f : 0.8f));
    for (const Part& part : parts_) paint(canvas, origin, part, 0.0f, part.colour);
  }

 private:
  void paint(Canvas& canvas, Vec2 origin, const Part& part, float grow, Rgba colour) const {
    const Shape& s = part.shape;
    const Box box = boxAround(s.lo + origin, s.hi + origin, grow + 1.5f);
    const bool shaded = part.shaded && grow == 0.0f;
    const float shade = grow == 0.0f ? shade_ : 1.0f;
    fillSdf(canvas, box, [&](Vec2 p) { return s.dist(p - origin) - grow; },
            [&](Vec2 p) { return scaled(colour, shade * (shaded ? brightness(s, p - origin) : 1.0f)); });
  }

  float shade_;
  std::vector<Part> parts_;
};

Vec2 along(Vec2 from, float angle, float len) { return from + direction(angle) * len; }

void addArm(Layer& layer, const Style& style, const Proportions& p, const Skeleton& sk, Side side) {
  const Vec2 s = sk.shoulder[side], e = sk.elbow[side], h = sk.hand[side];
  const bool bareUpper = style.sleeves == Sleeves::Bare;
  const Rgba upperColour = bareUpper ? style.skin : style.top;
  const Rgba foreColour = style.sleeves == Sleeves::Full ? style.top : style.skin;
  const float grow = bareUpper ? 1.12f : 1.0f;  // bare arms are all muscle
  layer.add(capsule(s, e, p.upperArmRadius * grow, p.elbowRadius * grow), upperColour);
  layer.add(capsule(e, h, p.elbowRadius * 0.92f * grow, p.wristRadius), foreColour);
  if (style.sleeves == Sleeves::Gi)  // wide sleeve over half the forearm
    layer.add(capsule(e, lerp(e, h, 0.5f), p.elbowRadius + 0.5f, p.elbowRadius + 0.9f), style.top);
  if (style.sleeves == Sleeves::Bare)
    layer.add(capsule(lerp(e, h, 0.62f), lerp(e, h, 0.86f), p.wristRadius + 0.8f, p.wristRadius + 0.8f),
              style.accent);
  layer.add(circle(h + (h - e) * (0.8f / length(h - e)), p.fistRadius), style.hands);
}

void addLeg(Layer& layer, const Style& style, const Proportions& p, const Skeleton& sk, Side side) {
  const Vec2 hip = sk.hip[side], knee = sk.knee[side], ankle = sk.ankle[side], toe = sk.toe[side];
  const Vec2 heel = ankle + (ankle - toe) * (1.5f / length(toe - ankle));
  layer.add(capsule(heel, toe, p.ankleRadius, p.toeRadius), style.feet);
  layer.add(capsule(knee, lerp(knee, ankle, 0.88f), p.kneeRadius, p.shinRadius * 0.95f), style.shins);
  layer.add(capsule(hip, knee, p.thighRadius, p.kneeRadius), style.pants);
}

std::vector<Vec2> torsoOutline(const Style& style, const Proportions& p, const Skeleton& sk) {
  const float t = p.torso, w = style.bulk;
  auto at = [&](float u, float v) { return sk.pelvis + sk.up * u + sk.forward * (v * w); };
  return {at(-4, -7.5f), at(-4, 7.5f), at(9, 6.5f), at(t * 0.68f, 8.8f), at(t - 3, 7),
          at(t + 1, 3), at(t + 1, -4.5f), at(t - 3, -8.5f), at(t * 0.5f, -7.2f), at(5, -7.6f)};
}

void addTorso(Layer& layer, const Style& style, const Proportions& p, const Skeleton& sk) {
  const float w = style.bulk;
  auto at = [&](float u, float v) { return sk.pelvis + sk.up * u + sk.forward * (v * w); };
  layer.add(capsule(sk.neck - sk.up * 3.0f, sk.neck + (sk.head - sk.neck) * 0.5f, 3.2f * w, 3.0f * w),
            style.skin);
  layer.add(capsule(sk.hip[kNear], sk.hip[kFar], p.thighRadius + 1.0f, p.thighRadius + 1.0f), style.pants);
  const Shape body = polygon(torsoOutline(style, p, sk), 7.0f * w);
  layer.add(body, style.top);

  if (style.sleeves == Sleeves::Bare) {  // open vest: bare chest and belly at the front
    layer.detail(polygon({at(-1, 7.3f), at(9, 6.3f), at(p.torso * 0.68f, 8.6f), at(p.torso - 3, 6.8f),
                          at(p.torso + 0.6f, 3), at(p.torso - 2, 1), at(12, 2.5f), at(-1, 3.5f)},
                         4.0f * w),
                 style.chest, true);
  } else {  // crossed lapels
    const Vec2 collar = at(p.torso - 0.5f, 2.5f);
    layer.detail(capsule(at(p.torso, -2.5f), at(11, 6.5f), 1.4f, 1.0f), style.trim);
    layer.detail(capsule(collar, at(16, 7.0f), 0.9f, 0.7f), scaled(style.trim, 0.85f));
  }
  const Vec2 beltMid = at(6.5f, 0);
  layer.detail(clipBehind(body, beltMid, sk.up), style.hips, true);
  layer.detail(clipToBand(body, beltMid, sk.forward, 2.3f), style.belt, true);
}

void addBeltKnot(Layer& layer, const Style& style, const Skeleton& sk) {
  const Vec2 knot = sk.pelvis + sk.up * 6.5f + sk.forward * (7.2f * style.bulk);
  layer.add(circle(knot, 2.2f), style.belt);
  if (!style.beltTails) return;
  const Vec2 down = sk.up * -1.0f;
  layer.add(capsule(knot, knot + down * 8.0f + sk.forward * 2.5f, 1.1f, 1.0f), style.belt);
  layer.add(capsule(knot, knot + down * 7.0f + sk.forward * -0.5f, 1.1f, 1.0f), style.belt);
}

void addHead(Layer& layer, const Style& style, const Proportions& p, const Skeleton& sk, const Pose& pose) {
  const float r = p.headRadius;
  const Vec2 c = sk.head;
  const Vec2 up = direction(180.0f - pose.lean - pose.headTilt);
  const Vec2 fwd = perpendicular(up);  // the way the face looks
  auto at = [&](float u, float v) { return c + up * u + fwd * v; };

  switch (style.head) {
    case Headwear::HairAndBand: {
      // Headband tails stream out behind.
      const Vec2 knot = at(1.5f, -r * 0.9f);
      layer.add(capsule(knot, at(-2.5f, -r - 7.5f), 1.7f, 1.2f), scaled(style.accent, 0.85f));
      layer.add(capsule(knot, at(3.0f, -r - 6.5f), 1.6f, 1.1f), style.accent);
      layer.add(circle(c, r), style.skin);
      layer.add(circle(at(-0.8f, r * 0.92f), 1.6f), style.skin);  // nose
      layer.detail(clipBehind(circle(at(0.6f, -0.4f), r + 0.7f), at(1.6f, 0), up * -1.0f + fwd * -0.35f),
                   style.hair, true);
      layer.detail(clipBehind(circle(c, r + 0.6f), at(0, -r * 0.15f), fwd), style.hair, true);
      layer.detail(clipToBand(circle(c, r + 0.5f), at(2.6f, 0), fwd, 1.5f), style.accent, true);
      break;
    }
    case Headwear::Hood: {
      layer.add(polygon({at(3, -r * 0.9f), at(-r - 6, -r * 1.05f), at(-r - 7, r * 0.1f), at(-2, r * 0.6f)},
                        4.0f),
                style.top);
      layer.add(circle(c, r + 0.5f), style.top);
      layer.detail(clipBehind(clipToBand(circle(c, r - 0.2f), at(0.2f, 0), fwd, 1.8f), at(0, 1.0f), fwd * -1.0f),
                   style.skin);
      break;
    }
    case Headwear::Topknot: {
      layer.add(circle(at(r + 0.6f, -r * 0.35f), 2.8f), style.hair);
      layer.add(capsule(at(r + 1.0f, -r * 0.45f), at(r - 1.5f, -r - 3.0f), 1.5f, 1.0f), style.hair);
      layer.add(circle(c, r), style.skin);
      layer.add(circle(at(-0.8f, r * 0.92f), 1.7f), style.skin);  // nose
      layer.detail(capsule(at(-3.4f, r * 0.45f), at(-3.9f, r * 0.9f), 1.1f, 0.9f), style.hair);  // moustache
      break;
    }
    case Headwear::Wrap: {
      const Vec2 knot = at(0.5f, -r * 0.95f);
      layer.add(capsule(knot, at(-4.0f, -r - 3.5f), 1.6f, 1.1f), style.top);
      layer.add(circle(c, r), style.skin);
      layer.add(circle(at(-0.8f, r * 0.92f), 1.6f), style.skin);
      layer.detail(clipBehind(circle(c, r + 0.7f), at(1.8f, 0), up * -1.0f), style.top, true);
      break;
    }
  }
  // Eye and brow.
  const Vec2 eye = at(0.2f, r * 0.5f);
  if (style.head == Headwear::Hood) {
    layer.detail(circle(eye, 1.3f), hex(0xf0e8d0));
    layer.detail(circle(eye + fwd * 0.5f, 0.8f), style.eye);
  } else {
    layer.detail(capsule(eye, eye - up * 1.2f, 0.8f, 0.8f), style.eye);
    layer.detail(capsule(at(2.0f, r * 0.25f), at(1.4f, r * 0.8f), 0.7f, 0.7f), style.hair);
  }
}

}  // namespace

Skeleton solve(const Style& style, const Pose& pose) {
  const Proportions p = proportionsFor(style);
  Skeleton sk;
  sk.pelvis = pose.pelvis;
  sk.up = direction(180.0f - pose.lean);
  sk.forward = {-sk.up.y, sk.up.x};
  auto at = [&](float u, float v) { return sk.pelvis + sk.up * u + sk.forward * (v * style.bulk); };
  sk.neck = at(p.torso, 0.5f);
  sk.head = sk.neck + direction(180.0f - pose.lean - pose.headTilt) * (p.neck + p.headRadius * 0.8f);

  const Limb arms[2] = {pose.nearArm, pose.farArm};
  const Limb legs[2] = {pose.nearLeg, pose.farLeg};
  const float feet[2] = {pose.nearFoot, pose.farFoot};
  for (int side = 0; side < 2; ++side) {
    sk.shoulder[side] = at(p.torso - 4.5f, side == kNear ? 1.0f : -2.0f);
    sk.elbow[side] = along(sk.shoulder[side], arms[side].upper, p.upperArm);
    sk.hand[side] = along(sk.elbow[side], arms[side].lower, p.forearm);
    sk.hip[side] = at(-1.0f, side == kNear ? 1.5f : -1.5f);
    sk.knee[side] = along(sk.hip[side], legs[side].upper, p.thigh);
    sk.ankle[side] = along(sk.knee[side], legs[side].lower, p.shin);
    sk.toe[side] = along(sk.ankle[side], feet[side], p.foot);
  }

  if (pose.grounded) {
    float lowest = -1e9f;
    for (int side = 0; side < 2; ++side)
      lowest = std::max({lowest, sk.ankle[side].y + p.ankleRadius, sk.toe[side].y + p.toeRadius});
    const Vec2 shift{0, kGroundY - lowest};
    for (Vec2* v : {&sk.pelvis, &sk.neck, &sk.head}) *v = *v + shift;
    for (int side = 0; side < 2; ++side)
      for (Vec2* v : {&sk.shoulder[side], &sk.elbow[side], &sk.hand[side], &sk.hip[side], &sk.knee[side],
                      &sk.ankle[side], &sk.toe[side]})
        *v = *v + shift;
  }
  return sk;
}

void drawFigure(Canvas& canvas, Vec2 origin, const Style& style, const Pose& pose) {
  const Proportions p = proportionsFor(style);
  const Skeleton sk = solve(style, pose);
  Pose placed = pose;
  placed.pelvis = sk.pelvis;

  Layer farArm(kFarSideShade), farLeg(kFarSideShade), torso, nearLeg, front, head, nearArm;
  addArm(farArm, style, p, sk, kFar);
  addLeg(farLeg, style, p, sk, kFar);
  addTorso(torso, style, p, sk);
  addLeg(nearLeg, style, p, sk, kNear);
  addBeltKnot(front, style, sk);
  addHead(head, style, p, sk, placed);
  addArm(nearArm, style, p, sk, kNear);
  // The jacket's skirt hangs over the tops of the thighs, so the torso comes after both legs.
  for (const Layer* layer : {&farArm, &farLeg, &nearLeg, &torso, &front, &head, &nearArm})
    layer->draw(canvas, origin, style.outline);
}

}  // namespace art
