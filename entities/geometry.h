#pragma once
// The geometry of fighters, in stage units: x along the stage (0 to 6), y the
// height above the ground.

class Position {
 public:
  Position() = default;
  Position(float x, float y) : x(x), y(y) {}
  Position(float x, float y, bool facingRight) : x(x), y(y), facingRight(facingRight) {}

  float getX() const { return x; }
  float getY() const { return y; }
  void setY(float newY) { y = newY; }
  bool isFacingRight() const { return facingRight; }
  void setFacingRight(bool right) { facingRight = right; }

  // Moving always turns the point toward the move.
  void move(float d, bool right);
  void moveY(float d, bool up);

  float x = 0.0f;
  float y = 0.0f;
  bool facingRight = true;
};

class Hitbox {
 public:
  // A default box has negative half sizes, so it overlaps nothing: this is the
  // body of a defeated fighter, which must not be hit (or scored) twice.
  Hitbox() = default;
  Hitbox(Position p, float halfWidth, float halfHeight)
      : position(p), halfWidth(halfWidth), halfHeight(halfHeight) {}

  Position getPosition() const { return position; }
  void setHalfHeight(float h) { halfHeight = h; }
  void move(float d, bool right) { position.move(d, right); }
  void moveY(float d, bool up) { position.moveY(d, up); }

  // Inclusive: boxes whose edges just touch overlap. NaN anywhere gives false.
  bool overlaps(Hitbox other) const;

  Position position;
  float halfWidth = -1.0f;
  float halfHeight = -1.0f;
};

class AttackBox {
 public:
  AttackBox() = default;
  AttackBox(Hitbox box, int damage) : damage(damage), box(box) {}

  int getDamage() const { return damage; }
  Hitbox getBox() const { return box; }

  int damage = 0;
  Hitbox box;
};
