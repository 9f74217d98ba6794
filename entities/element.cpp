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
