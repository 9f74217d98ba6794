#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "entities/geometry.h"

namespace {

struct OverlapCase {
  const char* name;
  Hitbox a;
  Hitbox b;
  bool overlaps;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Hitbox, OverlapIsInclusiveAndSymmetric) {
  const OverlapCase cases[] = {
      {"edges just touch", Hitbox(Position(0, 0), 0.25f, 0.5f), Hitbox(Position(0.5f, 0), 0.25f, 0.5f), true},
      {"a hair apart", Hitbox(Position(0, 0), 0.25f, 0.5f), Hitbox(Position(0.5001f, 0), 0.25f, 0.5f), false},
      {"top touches bottom", Hitbox(Position(0, 0), 0.1f, 0.25f), Hitbox(Position(0, 0.5f), 0.1f, 0.25f), true},
      {"too high", Hitbox(Position(0, 0), 0.1f, 0.25f), Hitbox(Position(0, 0.51f), 0.1f, 0.25f), false},
      {"same centre, zero sizes", Hitbox(Position(1, 1), 0, 0), Hitbox(Position(1, 1), 0, 0), true},
      {"facing plays no part", Hitbox(Position(0, 0, false), 0.1f, 0.1f), Hitbox(Position(0.1f, 0), 0.1f, 0.1f), true},
      {"NaN centre", Hitbox(Position(kNaN, 0), 1, 1), Hitbox(Position(0, 0), 1, 1), false},
      {"NaN size", Hitbox(Position(0, 0), kNaN, 1), Hitbox(Position(0, 0), 1, 1), false},
      {"defeated body, same centre", Hitbox(), Hitbox(Position(0, 0), 0.0625f, 0.12f), false},
      {"defeated body under a huge blow", Hitbox(), Hitbox(Position(0, 0), 5.0f, 5.0f), false},
  };
  for (const OverlapCase& c : cases) {
    EXPECT_EQ(c.a.overlaps(c.b), c.overlaps) << c.name;
    EXPECT_EQ(c.b.overlaps(c.a), c.overlaps) << c.name << " (swapped)";
  }
}

TEST(Position, MovingTurnsTowardTheMoveAndHeightKeepsFacing) {
  Position p(1.0f, 2.0f);
  EXPECT_TRUE(p.isFacingRight());
  p.move(0.5f, false);
  EXPECT_FLOAT_EQ(p.getX(), 0.5f);
  EXPECT_FALSE(p.isFacingRight());
  p.moveY(0.25f, true);
  EXPECT_FLOAT_EQ(p.getY(), 2.25f);
  EXPECT_FALSE(p.isFacingRight());

  Hitbox box(Position(0, 0), 0.1f, 0.1f);
  box.move(0.2f, false);
  EXPECT_FLOAT_EQ(box.getPosition().getX(), -0.2f);
  EXPECT_FALSE(box.getPosition().isFacingRight());
}

TEST(AttackBox, KeepsBoxAndDamage) {
  const AttackBox blow(Hitbox(Position(1, 0), 0.035f, 0.6f), 50);
  EXPECT_EQ(blow.getDamage(), 50);
  EXPECT_FLOAT_EQ(blow.getBox().halfHeight, 0.6f);
}

}  // namespace
