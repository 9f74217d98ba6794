#include "entities/element.h"

#include <cstring>

const float kSpriteQuad[12] = {
    0.0725f, 0.1f, 0.0f, 0.0725f, -0.25f, 0.0f, -0.0725f, -0.25f, 0.0f, -0.0725f, 0.1f, 0.0f,
};

namespace {
const float kFacingRight[8] = {1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f};
const float kFacingLeft[8] = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
}  // namespace

Element::Element(float speed, Position position, Hitbox hitbox)
    : speed(speed), position(position), hitbox(hitbox) {
  placeQuad(position);
}

void Element::placeQuad(Position at) {
  for (int corner = 0; corner < 4; ++corner) {
    vertices[corner * 3] += at.x;
    vertices[corner * 3 + 1] -= at.y;
  }
}

void Element::setVertices(const float newVertices[12]) { std::memcpy(vertices, newVertices, sizeof(vertices)); }

void Element::setupBuffers() {
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(1, &vbo);
  glGenBuffers(1, &texVbo);
  glGenBuffers(1, &ebo);
  glBindBuffer(GL_ARRAY_BUFFER, texVbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof(texCoords), texCoords, GL_STATIC_DRAW);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
  glEnableVertexAttribArray(2);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices), indices, GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void Element::releaseBuffers() {
  if (vao != 0) glDeleteVertexArrays(1, &vao);
  const GLuint buffers[3] = {vbo, texVbo, ebo};
  glDeleteBuffers(3, buffers);  // zero names are ignored
  vao = vbo = texVbo = ebo = 0;
}

void Element::shiftVertices(bool left, float d) {
  for (int corner = 0; corner < 4; ++corner) {
    if (left) {
      vertices[corner * 3] -= d;
    } else {
      vertices[corner * 3] += d;
    }
  }
}

void Element::turn(bool right) { std::memcpy(texCoords, right ? kFacingRight : kFacingLeft, sizeof(texCoords)); }
