#pragma once
// A sprite: one quad in screen units, the picture it shows, and its place on
// the stage in stage units. Drawing it is the drawing code's (render/draw.h).

#include "entities/geometry.h"

// The lists of pictures a sprite shows one of; the drawing code holds their
// textures, in the order the animation code indexes.
enum class FrameSet { Blank, Hero, HeroPoses, Enemy, Enemy2, Heart };

// One picture: an entry of a list (drawn as nothing when the list is shorter).
struct SpriteFrame {
  FrameSet list = FrameSet::Blank;
  int index = 0;
};

class Element {
 public:
  Element() = default;
  // Places the quad at the position: x added to every corner, y subtracted.
  Element(float speed, Position position, Hitbox hitbox);

  Position getPosition() const { return position; }
  Hitbox getHitbox() const { return hitbox; }

  void setVertices(const float newVertices[12]);
  void shiftVertices(bool left, float d);
  // Right-facing or mirrored texture coordinates.
  void turn(bool right);

  float speed = 0.0f;
  Position position;
  Hitbox hitbox;
  FrameSet frames = FrameSet::Blank;  // the list its animation shows
  SpriteFrame shown;                  // the picture it shows now
  float vertices[12] = {
      0.0725f, 0.1f, 0.0f,     // top right
      0.0725f, -0.25f, 0.0f,   // bottom right
      -0.0725f, -0.25f, 0.0f,  // bottom left
      -0.0725f, 0.1f, 0.0f,    // top left
  };
  float texCoords[8] = {1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f};

 protected:
  // Moves the quad from the origin to the position (used by every constructor).
  void placeQuad(Position at);
};

// The quad every sprite is built with, before it is placed.
extern const float kSpriteQuad[12];
