#include "entities/geometry.h"

#include <cmath>

void Position::move(float d, bool right) {
  facingRight = right;
  if (right) {
    x += d;
  } else {
    x -= d;
  }
}

void Position::moveY(float d, bool up) {
  if (up) {
    y += d;
  } else {
    y -= d;
  }
}

bool Hitbox::overlaps(Hitbox other) const {
  const float dx = std::fabs(other.position.x - position.x);
  const float dy = std::fabs(other.position.y - position.y);
  // A default (defeated) box takes part in nothing, even at distance 0.
  if (halfWidth < 0.0f || halfHeight < 0.0f || other.halfWidth < 0.0f || other.halfHeight < 0.0f) {
    return false;
  }
  return (other.halfWidth + halfWidth >= dx) && (other.halfHeight + halfHeight >= dy);
}
