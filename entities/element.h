#pragma once
// A textured sprite: one quad in screen units, the GL objects that draw it,
// and its place on the stage in stage units.

#include <GL/glew.h>

#include <vector>

#include "entities/geometry.h"

using FrameList = std::vector<GLuint>;

class Element {
 public:
  Element() = default;
  // Places the quad at the position: x added to every corner, y subtracted.
  Element(float speed, Position position, Hitbox hitbox);

  Position getPosition() const { return position; }
  Hitbox getHitbox() const { return hitbox; }

  void setVertices(const float newVertices[12]);
  // Creates the vertex array and its three buffers and uploads the texture
  // coordinates and indices. Positions are uploaded at every draw.
  void setupBuffers();
  // Deletes the GL objects made by setupBuffers. Copies share them, so only
  // the owner of the last copy may call it.
  void releaseBuffers();
  void shiftVertices(bool left, float d);
  // Right-facing or mirrored texture coordinates.
  void turn(bool right);

  float speed = 0.0f;
  Position position;
  Hitbox hitbox;
  GLuint texture = 0;
  const FrameList* frames = nullptr;
  float vertices[12] = {
      0.0725f, 0.1f, 0.0f,     // top right
      0.0725f, -0.25f, 0.0f,   // bottom right
      -0.0725f, -0.25f, 0.0f,  // bottom left
      -0.0725f, 0.1f, 0.0f,    // top left
  };
  float texCoords[8] = {1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f};
  GLuint indices[6] = {0, 1, 3, 1, 2, 3};
  GLuint ebo = 0;
  GLuint vbo = 0;
  GLuint texVbo = 0;
  GLuint vao = 0;

 protected:
  // Moves the quad from the origin to the position (used by every constructor).
  void placeQuad(Position at);
};

// The quad every sprite is built with, before it is placed.
extern const float kSpriteQuad[12];
