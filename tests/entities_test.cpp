// Sprites and fighters: quad placement, mirroring, GL objects, damage,
// score and the hero's quad operations.
#include <gtest/gtest.h>

#include "enemies/roster.h"
#include "render/draw.h"
#include "render/frames.h"
#include "tests/gl_fixture.h"

namespace {

void expectCornerX(const Element& e, float right, float left) {
  EXPECT_FLOAT_EQ(e.vertices[0], right);
  EXPECT_FLOAT_EQ(e.vertices[3], right);
  EXPECT_FLOAT_EQ(e.vertices[6], left);
  EXPECT_FLOAT_EQ(e.vertices[9], left);
}

TEST(Element, PlacesShiftsAndTurnsItsQuad) {
  const Element atHalf(1.0f, Position(0.5f, 0.0f), Hitbox());
  expectCornerX(atHalf, 0.5725f, 0.4275f);
  EXPECT_FLOAT_EQ(atHalf.vertices[1], 0.1f);
  EXPECT_FLOAT_EQ(atHalf.vertices[4], -0.25f);

  const Element raised(1.0f, Position(0.0f, 0.2f), Hitbox());
  EXPECT_NEAR(raised.vertices[1], -0.1f, 1e-6);
  EXPECT_NEAR(raised.vertices[7], -0.45f, 1e-6);

  Element shifted(1.0f, Position(), Hitbox());
  shifted.shiftVertices(true, 0.006f);
  expectCornerX(shifted, 0.0725f - 0.006f, -0.0725f - 0.006f);
  shifted.shiftVertices(false, 0.006f);
  expectCornerX(shifted, 0.0725f, -0.0725f);
  EXPECT_EQ(shifted.getPosition().getX(), 0.0f);

  Element turned;
  const float right[8] = {1, 0, 1, 1, 0, 1, 0, 0};
  const float mirrored[8] = {0, 0, 0, 1, 1, 1, 1, 0};
  turned.turn(true);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(turned.texCoords[i], right[i]);
  turned.turn(false);
  turned.turn(false);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(turned.texCoords[i], mirrored[i]);
}

// A sprite holds no GL object: every sprite is drawn through the drawing's
// own, made once as the game starts in its context, and no draw asks the
// driver about them again.
TEST(Element, EverySpriteIsDrawnThroughTheGlObjectsMadeAtStartUp) {
  Game& game = sharedGame();
  const Quad& sprites = game.drawing.sprites;
  const GLuint vao = sprites.vao;
  EXPECT_TRUE(glIsVertexArray(vao));
  Element never(1.0f, Position(), Hitbox());
  testing::internal::CaptureStdout();
  drawSprite(game.drawing, never);
  drawSprite(game.drawing, never);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(sprites.vao, vao);
  EXPECT_TRUE(glIsBuffer(sprites.positionVbo) && glIsBuffer(sprites.texCoordVbo) && glIsBuffer(sprites.ebo));
}

TEST(Character, DamageDefeatsAtZeroAndTheBodyThenOverlapsNothing) {
  Game* game = &sharedGame();
  Character enemy(100, 50, 0.005f, Position(1.0f, 0.0f), Hitbox(Position(1.0f, 0.0f), 0.0625f, 0.12f), 50,
                  FrameSet::Enemy);
  EXPECT_EQ(textureOf(game->drawing, enemy.shown), game->drawing.enemyFrames[0]);
  EXPECT_FALSE(enemy.takeDamage(99));
  EXPECT_EQ(enemy.getHealth(), 1);
  EXPECT_FALSE(enemy.dying);
  EXPECT_TRUE(enemy.takeDamage(1));
  EXPECT_EQ(enemy.getHealth(), 0);
  EXPECT_TRUE(enemy.dying);
  EXPECT_EQ(textureOf(game->drawing, enemy.shown), game->drawing.enemyFrames[kFirstDeathFrame]);
  EXPECT_FALSE(Hitbox(Position(1.0f, 0.0f), 1.0f, 1.0f).overlaps(enemy.getHitbox()));
  EXPECT_TRUE(enemy.takeDamage(0));
  EXPECT_EQ(enemy.getHealth(), 0);
}

class HeroTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, 100000);
  }
  Player& hero() { return *game->run.tovan; }
  Game* game = nullptr;
};

TEST_F(HeroTest, ScoreRisesWithTheMultiplier) {
  hero().raiseMultiplier();
  hero().addScore(50);
  EXPECT_EQ(hero().getScore(), 75);
  hero().raiseMultiplier();
  hero().addScore(50);
  EXPECT_EQ(hero().getScore(), 175);
  hero().resetMultiplier();
  EXPECT_FLOAT_EQ(hero().scoreMultiplier, 1.0f);
}

// The score the runs were recorded with: the sum taken as a float.
std::int64_t floatScore(int score, int points, float multiplier) {
  return static_cast<int>(static_cast<float>(score + points * multiplier));
}

// The score is whole numbers, added as it always was: exact to 2^24 and
// rounded past it as the float sum rounded, so every recorded run keeps its
// score, and with it its digest.
TEST_F(HeroTest, TheScoreAddsUpAsTheFloatSumDidAtEveryScore) {
  // Kill after kill without a blow taken: past 2^24 within 1200 kills, and
  // 12,000 reach 1.8 billion.
  int reference = 0;
  std::int64_t runScore = 0;
  for (int kill = 1; kill <= 12000; ++kill) {
    hero().raiseMultiplier();
    const int next = static_cast<int>(floatScore(reference, 50, hero().scoreMultiplier));
    runScore += next - reference;
    reference = next;
    hero().addScore(50);
    ASSERT_EQ(hero().getScore(), reference) << "kill " << kill;
    ASSERT_EQ(hero().runScore, runScore) << "kill " << kill;
  }
  EXPECT_GT(reference, 1 << 30);
  // Scores, points and multipliers around the edges of a float's whole numbers.
  const int scores[] = {0, 7, 8388607, 8388608, 16777200, 16777215, 16777216, 16777218, 33554430, 33554432,
                        100000001 / 8 * 8, 1400000000};
  const int points[] = {1, 3, 25, 50, 101};
  const float multipliers[] = {1.0f, 1.5f, 2.0f, 2.5f, 117.5f, 6001.5f};
  for (int score : scores) {
    for (int worth : points) {
      for (float multiplier : multipliers) {
        hero().score = score;
        hero().runScore = score;
        hero().scoreMultiplier = multiplier;
        hero().addScore(worth);
        const std::int64_t expected = floatScore(score, worth, multiplier);
        EXPECT_EQ(hero().getScore(), expected) << score << " + " << worth << " x " << multiplier;
        EXPECT_EQ(hero().runScore, expected) << score << " + " << worth << " x " << multiplier;
      }
    }
  }
}

TEST_F(HeroTest, QuadOperationsRestoreTheQuad) {
  float before[12];
  std::copy(hero().vertices, hero().vertices + 12, before);
  hero().enlarge(true);
  hero().enlarge(true);
  EXPECT_FLOAT_EQ(hero().vertices[0], before[0] + 0.0625f);
  EXPECT_FLOAT_EQ(hero().vertices[10], before[10] + 0.0625f);
  hero().enlarge(false);
  hero().enlarge(false);
  for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(hero().vertices[i], before[i]) << i;

  hero().punchReach(true);
  EXPECT_FLOAT_EQ(hero().vertices[3], before[3] + 0.0325f);
  EXPECT_FLOAT_EQ(hero().vertices[6], before[6]);
  hero().punchReach(false);
  hero().kickReach(true);
  EXPECT_FLOAT_EQ(hero().vertices[0], before[0] + 0.0625f);
  hero().kickReach(false);
  for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(hero().vertices[i], before[i]) << i;
}

TEST_F(HeroTest, ResetBringsALeftFacingDamagedJumpingHeroBackToTheStart) {
  Player& p = hero();
  p.walk(true, game->run.enemies);
  for (int i = 0; i < 4; ++i) p.jumpStep(true);
  p.position = Position(3.2f, p.position.y, false);
  p.turn(false);
  p.health = 40;
  p.lives = 3;
  p.score = 900;
  p.state = Jumping;
  p.jumpPhase = 1;
  p.reset();
  EXPECT_EQ(p.getPosition().getX(), 0.0f);
  EXPECT_EQ(p.getPosition().getY(), 0.0f);
  EXPECT_TRUE(p.getPosition().isFacingRight());
  EXPECT_EQ(p.getHealth(), 500);
  EXPECT_EQ(p.getScore(), 0);
  EXPECT_EQ(p.lives, 3);
  EXPECT_EQ(p.state, Idle);
  EXPECT_EQ(p.jumpPhase, 0);
  EXPECT_FLOAT_EQ(p.vertices[1], 0.1f);
  EXPECT_FLOAT_EQ(p.vertices[4], -0.25f);
  EXPECT_FLOAT_EQ(p.vertices[0], 0.0725f);
  EXPECT_EQ(p.texCoords[0], 1.0f);
  EXPECT_TRUE(p.getHitbox().overlaps(Hitbox(Position(0.0f, 0.0f), 0.0f, 0.0f)));
}

}  // namespace
