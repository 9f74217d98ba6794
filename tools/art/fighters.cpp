// Every fighter sprite: the three fighters' looks and the pose of each picture;
// and the game's icon, the hero's flying kick against the setting sun.
#include <cstdio>
#include <vector>

#include "art/art.h"
#include "art/figure.h"

namespace art {
namespace {

// Picture sizes. The standing box (64 x 116) sits at the bottom-left of the
// wider and taller pictures so the body never shifts between frames.
constexpr int kBoxW = 64, kBoxH = 116;
constexpr int kPunchW = 78, kKickW = 92;
constexpr int kFinishW = 92, kFinishH = 137;
constexpr int kIconSize = 128;

Style heroStyle() {
  Style s;  // white gi, black belt, red headband (the defaults)
  return s;
}

Style shadowStyle() {  // lean, hooded, dark violet
  Style s;
  s.outline = hex(0x0d0812);
  s.skin = hex(0xd49a70);
  s.top = hex(0x4a2d66);
  s.chest = s.top;
  s.trim = hex(0x2a1840);
  s.pants = hex(0x3c2454);
  s.shins = hex(0x6f6482);  // grey leg wraps
  s.feet = hex(0x1d1626);
  s.hands = hex(0x241a30);
  s.belt = hex(0xb0306e);
  s.accent = hex(0xb0306e);
  s.eye = hex(0xd01818);
  s.hips = s.top;
  s.reach = 0.95f;
  s.head = Headwear::Hood;
  s.sleeves = Sleeves::Full;
  s.bulk = 0.9f;
  s.stature = 1.02f;
  return s;
}

Style bruteStyle() {  // broad, bald with a topknot, olive vest and brown trousers
  Style s;
  s.outline = hex(0x1a1208);
  s.skin = hex(0xb87a4b);
  s.chest = hex(0xb87a4b);
  s.top = hex(0x6b7a2c);
  s.trim = hex(0x4a5420);
  s.pants = hex(0x7a5530);
  s.hips = s.pants;
  s.shins = hex(0x3e2c1c);  // boots
  s.feet = hex(0x3e2c1c);
  s.hands = s.skin;
  s.belt = hex(0x2c1d10);
  s.accent = hex(0x2c1d10);
  s.hair = hex(0x16110c);
  s.head = Headwear::Topknot;
  s.sleeves = Sleeves::Bare;
  s.bulk = 1.45f;
  s.stature = 0.95f;
  s.reach = 0.92f;
  s.beltTails = false;
  return s;
}

// The same fighter lying along the street, seen end-on: shorter, not thinner.
Style lyingDown(Style s) {
  s.stature *= 0.85f;
  return s;
}

Style fallenStyle() {  // the beaten enemy of either kind: plain dusky grey
  Style s;
  s.outline = hex(0x141414);
  s.skin = hex(0xb99278);
  s.top = hex(0x585a66);
  s.chest = s.top;
  s.trim = hex(0x3c3e48);
  s.pants = hex(0x4a4c56);
  s.shins = hex(0x4a4c56);
  s.feet = hex(0x2a2a30);
  s.hands = hex(0x2e2e36);
  s.belt = hex(0x2a2a30);
  s.hips = s.top;
  s.head = Headwear::Wrap;
  s.sleeves = Sleeves::Full;
  s.beltTails = false;
  return s;
}

// Poses, hero first. Angles: 0 down, 90 forward, 180 up.
Pose stance() {
  Pose p;
  p.pelvis = {30, 64};
  p.lean = 6;
  p.headTilt = -4;
  p.nearArm = {42, 152};
  p.farArm = {22, 132};
  p.nearLeg = {26, -2};
  p.farLeg = {-22, -14};
  p.farFoot = 78;
  return p;
}

Pose walk(int step) {
  Pose p = stance();
  p.lean = 8;
  const bool nearLeads = step == 0 || step == 1;
  Limb& lead = nearLeads ? p.nearLeg : p.farLeg;
  Limb& trail = nearLeads ? p.farLeg : p.nearLeg;
  float& trailFoot = nearLeads ? p.farFoot : p.nearFoot;
  if (step % 2 == 0) {  // contact: legs spread
    lead = {25, 6};
    trail = {-19, -28};
    trailFoot = 62;
  } else {  // passing: one leg carries, the other swings through
    lead = {4, -4};
    trail = {22, -38};
    trailFoot = 70;
  }
  const float swing = (step < 2 ? 1.0f : -1.0f) * 6.0f;
  p.nearArm = {42 + swing, 150};
  p.farArm = {22 - swing, 132};
  return p;
}

Pose punch(bool extended) {
  Pose p = stance();
  p.lean = extended ? 18 : 12;
  p.nearLeg = {30, 2};
  p.farLeg = {-26, -18};
  p.farFoot = 70;
  p.nearArm = extended ? Limb{90, 90} : Limb{66, 108};
  p.farArm = {20, 150};
  return p;
}

// The standing kick, thrown from the hip and driven out heel first. Both
// pictures reach an enemy in front of him: the first, shown as the blow lands,
// with the leg nearly straight at hip height; the second at full stretch.
Pose kick(bool extended) {
  Pose p = stance();
  p.pelvis = {35, 64};
  p.farLeg = {-10, -14};
  p.farFoot = 80;
  if (extended) {
    p.lean = -18;
    p.headTilt = 10;
    p.nearLeg = {92, 90};
    p.nearFoot = 170;  // heel leads, toes up
    p.nearArm = {40, 140};
    p.farArm = {-20, 30};
  } else {
    p.lean = -10;
    p.headTilt = 6;
    p.nearLeg = {80, 100};
    p.nearFoot = 165;
    p.nearArm = {44, 146};
    p.farArm = {-5, 60};
  }
  return p;
}

Pose flyingKick() {
  Pose p;
  p.grounded = false;
  p.pelvis = {20, 62};
  p.lean = 2;
  p.headTilt = 8;
  p.nearLeg = {43, 44};
  p.nearFoot = 34;  // toes pointed
  p.farLeg = {40, -100};
  p.farFoot = -20;
  p.nearArm = {-30, 10};
  p.farArm = {50, 140};
  return p;
}

// Low and guarded: the front knee forward, the back knee near the ground.
Pose crouch() {
  Pose p;
  p.pelvis = {28, 64};
  p.lean = 26;
  p.headTilt = -18;
  p.nearLeg = {84, -25};
  p.farLeg = {25, -100};
  p.farFoot = -30;
  p.nearArm = {40, 162};
  p.farArm = {24, 168};
  return p;
}

// From the crouch, the front leg sweeps out low, heel first. The picture is
// no wider than the standing box, so the hero sits further back in it.
Pose lowKick() {
  Pose p;
  p.pelvis = {13, 64};
  p.lean = 16;
  p.headTilt = -10;
  p.farLeg = {70, -10};
  p.nearLeg = {58, 63};
  p.nearFoot = 165;
  p.nearArm = {-18, 25};
  p.farArm = {55, 150};
  return p;
}

// Enemies stand a little left of centre with a narrower stance: their punch
// has to fit inside the plain 64-pixel box.
constexpr float kEnemyPelvisX = 24;

Pose enemyStance() {
  Pose p = stance();
  p.pelvis = {kEnemyPelvisX, 64};
  p.lean = 4;
  p.nearLeg = {20, -2};
  p.farLeg = {-16, -10};
  p.nearArm = {35, 140};
  p.farArm = {20, 128};
  return p;
}

Pose enemyWalk(int step) {
  Pose p = walk(step);
  p.pelvis = {kEnemyPelvisX + 2, 64};
  for (Limb* leg : {&p.nearLeg, &p.farLeg}) *leg = {leg->upper * 0.85f, leg->lower * 0.85f};  // shorter steps
  const float swing = (step < 2 ? 1.0f : -1.0f) * 8.0f;
  p.nearArm = {35 + swing, 138};
  p.farArm = {20 - swing, 126};
  return p;
}

Pose enemyPunch(bool extended, float reach) {
  Pose p = enemyStance();
  p.lean = extended ? 3 : 4;
  p.nearArm = extended ? Limb{84 + reach, 87 + reach} : Limb{55, 112};
  return p;
}

Pose bow() {
  Pose p;
  p.lean = 48;
  p.headTilt = 12;
  p.nearLeg = {3, 0};
  p.farLeg = {-3, 0};
  p.nearArm = {18, 28};
  p.farArm = {12, 24};
  return p;
}

Pose fistRaised() {
  Pose p;
  p.lean = 0;
  p.headTilt = -8;
  p.nearLeg = {14, 2};
  p.farLeg = {-12, -4};
  p.nearArm = {172, 176};
  p.farArm = {-35, 45};
  return p;
}

Pose armsRaised() {
  Pose p = fistRaised();
  p.nearArm = {148, 165};
  p.farArm = {-150, -168};
  return p;
}

Pose victory() {
  Pose p;
  p.headTilt = -4;
  p.farLeg = {-2, 0};
  p.nearLeg = {100, -4};
  p.nearFoot = 30;
  p.nearArm = {118, 150};
  p.farArm = {-140, -170};
  return p;
}

Pose staggering() {
  Pose p;
  p.pelvis = {36, 64};
  p.lean = -20;
  p.headTilt = -22;
  p.nearArm = {140, 190};
  p.farArm = {110, 150};
  p.nearLeg = {22, 4};
  p.farLeg = {-10, -22};
  p.farFoot = 60;
  return p;
}

Pose falling() {
  Pose p;
  p.grounded = false;
  p.pelvis = {30, 90};
  p.lean = -24;
  p.headTilt = 20;
  p.nearArm = {160, 185};
  p.farArm = {125, 150};
  p.nearLeg = {92, -12};
  p.farLeg = {72, 6};
  p.nearFoot = 120;
  p.farFoot = 110;
  return p;
}

// Flat on his back, legs in the air: the knockout everyone recognises. The
// figure lies along the street, so it is drawn foreshortened (see lyingDown).
Pose lying() {
  Pose p;
  p.grounded = false;
  p.pelvis = {51, 107.5f};
  p.lean = -88;
  p.headTilt = 20;
  p.nearArm = {95, 80};
  p.farArm = {80, 100};
  p.nearLeg = {173, 176};
  p.farLeg = {185, 190};
  p.nearFoot = 160;
  p.farFoot = 150;
  return p;
}

// Small yellow stars circling a knocked-out head, and dust where he landed.
void drawStar(Canvas& c, Vec2 centre, float radius, Rgba colour) {
  std::vector<Vec2> points;
  for (int i = 0; i < 10; ++i) {
    const float r = i % 2 == 0 ? radius : radius * 0.45f;
    const float a = kPi * i / 5.0f;
    points.push_back(centre + Vec2{std::sin(a), -std::cos(a)} * r);
  }
  fillPolygon(c, points, solid(hex(0x2a1a08)));  // drawn twice: dark rim, bright face
  std::vector<Vec2> inner;
  for (Vec2 v : points) inner.push_back(centre + (v - centre) * 0.7f);
  fillPolygon(c, inner, solid(colour));
}

void drawDust(Canvas& c, Vec2 at, float size, float opacity) {
  const Rgba dust = hex(0xb8a68a, opacity);
  fillEllipse(c, at, size, size * 0.55f, dust);
  fillEllipse(c, at + Vec2{size * 0.9f, size * 0.2f}, size * 0.7f, size * 0.4f, dust);
  fillEllipse(c, at + Vec2{-size * 0.8f, size * 0.25f}, size * 0.6f, size * 0.35f, dust);
}

struct Sprite {
  std::string file;
  int width, height;
  Style style;
  Pose pose;
  void (*extras)(Canvas&) = nullptr;
};

bool writeSprite(const std::string& dir, const Sprite& sprite) {
  Canvas canvas(sprite.width, sprite.height);
  const Vec2 origin{0, float(sprite.height - kBoxH)};
  drawFigure(canvas, origin, sprite.style, sprite.pose);
  if (sprite.extras) sprite.extras(canvas);
  // Nothing may touch the top, left or right edge: it would be cut off.
  for (int y = 0; y < sprite.height; ++y)
    for (int x : {0, sprite.width - 1})
      if (canvas.pixel(x, y).a > 0.05f) {
        std::fprintf(stderr, "warning: %s touches its %s edge at y=%d\n", sprite.file.c_str(), x ? "right" : "left", y);
        y = sprite.height;
        break;
      }
  for (int x = 0; x < sprite.width; ++x)
    if (canvas.pixel(x, 0).a > 0.05f) {
      std::fprintf(stderr, "warning: %s touches its top edge\n", sprite.file.c_str());
      break;
    }
  return canvas.savePng(dir + "/" + sprite.file, sprite.style.outline);
}

}  // namespace

bool makeFighterPictures(const std::string& dir) {
  const Style hero = heroStyle(), shadow = shadowStyle(), brute = bruteStyle(), fallen = fallenStyle();
  std::vector<Sprite> sprites = {
      {"veldrane-arc12.png", kBoxW, kBoxH, hero, stance()},
      {"movFrame1.png", kBoxW, kBoxH, hero, walk(0)},
      {"movFrame2.png", kBoxW, kBoxH, hero, walk(1)},
      {"movFrame3.png", kBoxW, kBoxH, hero, walk(2)},
      {"movFrame4.png", kBoxW, kBoxH, hero, walk(3)},
      {"movPunch1.png", kPunchW, kBoxH, hero, punch(false)},
      {"movPunch2.png", kPunchW, kBoxH, hero, punch(true)},
      {"movKick1.png", kKickW, kBoxH, hero, kick(false)},
      {"movKick2.png", kKickW, kBoxH, hero, kick(true)},
      {"flyKick.png", kBoxW, kBoxH, hero, flyingKick()},
      {"crouch.png", kBoxW, kBoxH, hero, crouch()},
      {"crouchKick.png", kBoxW, kBoxH, hero, lowKick()},
      {"finFrame1.png", kFinishW, kFinishH, hero, bow()},
      {"finFrame3.png", kFinishW, kFinishH, hero, fistRaised()},
      {"finFrame4.png", kFinishW, kFinishH, hero, armsRaised()},
      {"finFrame5.png", kFinishW, kFinishH, hero, victory()},
      {"frameDeath1.png", kBoxW, kBoxH, fallen, staggering()},
      {"frameDeath2.png", kBoxW, kBoxH, fallen, falling(),
       [](Canvas& c) { drawDust(c, {40, 110}, 6, 0.5f); }},
      {"frameDeath3.png", kBoxW, kBoxH, lyingDown(fallen), lying(),
       [](Canvas& c) {
         drawDust(c, {54, 112}, 5, 0.45f);
         drawStar(c, {9, 86}, 4.5f, hex(0xffd84a));
         drawStar(c, {20, 79}, 3.5f, hex(0xfff08a));
         drawStar(c, {31, 86}, 4.0f, hex(0xffd84a));
       }},
  };
  const struct {
    const char* suffix;
    Style style;
    float reach;
  } enemies[] = {{"NPC", shadow, 0}, {"NPC2", brute, -4}};
  bool ok = true;
  for (const Sprite& sprite : sprites) ok = writeSprite(dir, sprite) && ok;
  for (const auto& e : enemies) {
    const std::string s = e.suffix;
    const std::pair<std::string, Pose> frames[] = {
        {"tovan" + s, enemyStance()},          {"movFrame1" + s, enemyWalk(0)},
        {"movFrame2" + s, enemyWalk(1)},       {"movFrame3" + s, enemyWalk(2)},
        {"movFrame4" + s, enemyWalk(3)},       {"movPunch1" + s, enemyPunch(false, e.reach)},
        {"movPunch2" + s, enemyPunch(true, e.reach)},
    };
    for (const auto& [name, pose] : frames) ok = writeSprite(dir, {name + ".png", kBoxW, kBoxH, e.style, pose}) && ok;
  }
  return ok;
}

bool makeIcon(const std::string& path) {
  Canvas c(kIconSize, kIconSize);
  const Vec2 mid{kIconSize / 2.0f, kIconSize / 2.0f};
  const float half = kIconSize / 2.0f - 4;
  const Box whole{0, 0, kIconSize, kIconSize};
  // A dusk-red tile with a thin gold rim, the sun low behind the fighter.
  fillSdf(c, whole, [&](Vec2 p) { return roundedBoxDistance(p, mid, half, half, 22); },
          [](Vec2) { return hex(0xc89a3c); });
  fillSdf(c, whole, [&](Vec2 p) { return roundedBoxDistance(p, mid, half - 3, half - 3, 19); },
          verticalGradient(8, hex(0x3a1030), kIconSize - 8, hex(0xb4322a)));
  fillSdf(c, whole,
          [&](Vec2 p) {
            return std::max(circleDistance(p, {64, 80}, 36), roundedBoxDistance(p, mid, half - 3, half - 3, 19));
          },
          [](Vec2 p) { return mix(hex(0xffd890), hex(0xff8a50), clamp01((p.y - 44) / 72)); });
  drawFigure(c, {34, 4}, heroStyle(), flyingKick());
  return c.savePng(path);
}

}  // namespace art
