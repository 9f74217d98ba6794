// The fighter model: one jointed figure drawn from a pose (joint angles) and a
// style (palette, clothing, build). Every fighter picture is this figure.
//
// Coordinates are pixels of the 64 x 116 "standing box" the game draws a
// fighter in, y down, figure facing right. Angles are absolute, in degrees:
// 0 points straight down, 90 forward (+x), 180 straight up, negative backwards.
#pragma once
#include "art/canvas.h"

namespace art {

struct Limb {
  float upper = 0;  // thigh or upper arm
  float lower = 0;  // shin or forearm
};

struct Pose {
  Vec2 pelvis{30, 64};
  bool grounded = true;  // drop or lift the figure so its lowest sole is on the ground
  float lean = 0;        // torso, degrees forward of upright (-90: lying on its back)
  float headTilt = 0;    // nod relative to the torso, + = chin down
  Limb nearArm, farArm;  // "near" is the side facing the viewer
  Limb nearLeg, farLeg;
  float nearFoot = 90, farFoot = 90;  // heel-to-toe direction
};

enum class Headwear { HairAndBand, Hood, Topknot, Wrap };
enum class Sleeves { Gi, Full, Bare };

struct Style {
  Rgba outline = hex(0x1a1418);
  Rgba skin = hex(0xe2a877);
  Rgba top = hex(0xf4f1ea);     // jacket / tunic / vest
  Rgba chest = hex(0xf4f1ea);   // what shows at the front of the torso
  Rgba trim = hex(0xc9c4b8);    // lapels, seams
  Rgba pants = hex(0xf4f1ea);
  Rgba hips = hex(0xf4f1ea);    // the torso below the belt (jacket skirt or trousers)
  Rgba belt = hex(0x17151a);
  Rgba hands = hex(0xe2a877);   // fists: skin or gloves
  Rgba feet = hex(0xe2a877);    // bare feet or shoes
  Rgba shins = hex(0xf4f1ea);   // lower leg (wraps, boots or trousers)
  Rgba hair = hex(0x1b1512);
  Rgba accent = hex(0xd41c1c);  // headband, hood slit, wristbands
  Rgba eye = hex(0x1b1512);
  Headwear head = Headwear::HairAndBand;
  Sleeves sleeves = Sleeves::Gi;
  float bulk = 1.0f;    // widths of torso and limbs
  float stature = 1.0f; // lengths
  float reach = 1.0f;   // arm length on top of stature
  bool beltTails = true;
};

// Joint positions, worked out from a pose.
struct Skeleton {
  Vec2 pelvis, neck, head;
  Vec2 up, forward;  // torso axes
  Vec2 shoulder[2], elbow[2], hand[2];
  Vec2 hip[2], knee[2], ankle[2], toe[2];
};
enum Side { kNear = 0, kFar = 1 };

Skeleton solve(const Style& style, const Pose& pose);

// Draws the figure with its standing box's top-left corner at `origin`.
void drawFigure(Canvas& canvas, Vec2 origin, const Style& style, const Pose& pose);

}  // namespace art
