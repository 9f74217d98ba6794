// Rendered frames read back from Mesa: the stage, the hero, the hearts, the
// health bar and the menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/game_state.h"
#include "app/hud.h"
#include "app/input.h"
#include "render/draw.h"
#include "render/frames.h"
#include "render/shaders.h"
#include "tests/gl_fixture.h"

namespace {

bool isClearGrey(Pixel p) { return p.r == 51 && p.g == 51 && p.b == 51; }

// Window pixel of a point in normalized device coordinates.
int toX(float ndc) { return static_cast<int>((ndc + 1.0f) * 0.5f * kWindowWidth); }
int toY(float ndc) { return static_cast<int>((1.0f - ndc) * 0.5f * kWindowHeight); }

class Rendering : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
  }
  // Share of the bar's middle row that shows the "health left" colour.
  double barFill(int health) {
    game->tovan->health = health;
    renderOnly(*game);
    int full = 0, total = 0;
    for (int x = toX(0.3f) + 1; x < toX(0.6f) - 1; ++x, ++total) {
      const Pixel p = readPixel(x, toY(-0.75f));
      if (p.r > 120 && p.r > p.b + 60) ++full;
    }
    return static_cast<double>(full) / total;
  }
  static constexpr ClockTicks kStart = 400000;
  Game* game = nullptr;
};

TEST_F(Rendering, PlayFrameShowsStageAboveAndTheHudBandBelow) {
  renderOnly(*game);
  for (int x : {5, 200, 400, 795}) {
    EXPECT_FALSE(isClearGrey(readPixel(x, 10))) << x;
    EXPECT_FALSE(isClearGrey(readPixel(x, 440))) << x;
    EXPECT_TRUE(isClearGrey(readPixel(x, 460))) << x;
    EXPECT_TRUE(isClearGrey(readPixel(x, 595))) << x;
  }
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(isClearGrey(readPixel(toX(-0.55f + 0.1f * i), toY(-0.75f)))) << "heart " << i;
  }
  EXPECT_TRUE(isClearGrey(readPixel(toX(-0.65f), toY(-0.75f))));
  EXPECT_TRUE(isClearGrey(readPixel(toX(-0.05f), toY(-0.75f))));
}

TEST_F(Rendering, TheHeroStandsAtTheCentreOfTheStage) {
  // Drawn over the stage, then the same frame with the hero moved out of sight.
  renderOnly(*game);
  std::vector<Pixel> withHero;
  for (int y = toY(0.1f) + 2; y < toY(-0.25f) - 2; y += 4) withHero.push_back(readPixel(400, y));
  int differing = 0;
  game->tovan->shiftVertices(false, 10.0f);  // out of sight
  renderOnly(*game);
  size_t i = 0;
  for (int y = toY(0.1f) + 2; y < toY(-0.25f) - 2; y += 4, ++i) {
    const Pixel p = readPixel(400, y);
    if (p.r != withHero[i].r || p.g != withHero[i].g || p.b != withHero[i].b) ++differing;
  }
  game->tovan->reset();
  EXPECT_GT(differing, static_cast<int>(withHero.size()) / 2);
}

// The hero alone on the clear colour, a row of window pixels through his
// quad, 200 ms into a kick facing one way (its widest picture).
std::vector<Pixel> kickRow(Game& game, bool facingRight, int y) {
  freshStage(game, 400000);
  Player& hero = *game.tovan;
  setGameClock(400000);
  hero.update(facingRight ? kWalkRight : kWalkLeft);  // at the stage's start: only turns
  hero.update(kKick);
  setGameClock(400200);
  hero.update(kKick);
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  useShaderProgram(game.shaderProgram);
  drawFighter(hero);
  glFinish();
  std::vector<Pixel> row;
  for (int x = 0; x < kWindowWidth; ++x) row.push_back(readPixel(x, y));
  return row;
}

TEST_F(Rendering, AKickFacingLeftIsTheMirrorOfOneFacingRight) {
  const int heroX = toX(0.0f);  // the view follows the hero: he stands at the centre
  const int farRight = toX(0.0725f + 0.0625f);
  const int farLeft = 2 * heroX - farRight;
  int drawnLeftOfStanding = 0;  // the kick's picture reaches out in front of him
  for (int y = toY(0.1f) + 1; y < toY(-0.25f) - 1; y += 8) {
    const std::vector<Pixel> right = kickRow(*game, true, y);
    const std::vector<Pixel> left = kickRow(*game, false, y);
    int mismatched = 0;
    for (int x = farLeft - 2; x <= farRight + 2; ++x) {
      const Pixel a = right[x];
      const Pixel b = left[2 * heroX - 1 - x];
      if (std::abs(a.r - b.r) > 8 || std::abs(a.g - b.g) > 8 || std::abs(a.b - b.b) > 8) ++mismatched;
    }
    for (int x = farLeft; x < toX(-0.0725f) - 1; ++x) drawnLeftOfStanding += !isClearGrey(left[x]);
    // Rasterising a mirrored quad may shift a pixel at each edge, not more.
    EXPECT_LE(mismatched, 2) << "row " << y;
  }
  EXPECT_GT(drawnLeftOfStanding, 0);
  freshStage(*game, kStart);
}

TEST_F(Rendering, TheHealthBarShowsEveryPointOfHealth) {
  // Lit share of the bar by health, within two of its 120 pixels.
  const std::pair<int, double> cases[] = {{500, 1.0}, {475, 0.95}, {250, 0.5}, {25, 0.05}, {0, 0.0}, {-30, 0.0}};
  for (const auto& [health, lit] : cases) EXPECT_NEAR(barFill(health), lit, 2.0 / 120) << health;
  double previous = 2.0;
  for (int health = 500; health >= 0; health -= 25) {
    const double fill = barFill(health);
    EXPECT_LE(fill, previous + 1e-9) << health;
    previous = fill;
  }
}

TEST_F(Rendering, TheScoreShownIsTheRunsTotal) {
  // Digits grow leftwards from the right of the band; the third from the right
  // is drawn only for a total of 100 or more.
  const int thirdDigitX = toX(0.95f - 2.5f * 0.04f);
  game->tovan->score = 0;
  game->tovan->runScore = 175;
  renderOnly(*game);
  bool drawn = false;
  for (int y = toY(-0.7f) + 2; y < toY(-0.8f) - 2; ++y) drawn = drawn || !isClearGrey(readPixel(thirdDigitX, y));
  EXPECT_TRUE(drawn);
  game->tovan->runScore = 0;
}

TEST_F(Rendering, TheMenuShowsTheChosenPictureOverTheWholeWindow) {
  menuOpen = true;
  exitSelected = false;
  ASSERT_EQ(chooseMode(*game), FrameMode::Menu);
  renderOnly(*game);
  std::vector<Pixel> onContinue;
  for (int y = 0; y < kWindowHeight; y += 10) onContinue.push_back(readPixel(400, y));
  EXPECT_FALSE(isClearGrey(readPixel(400, 595)));
  exitSelected = true;
  renderOnly(*game);
  int differing = 0;
  for (int y = 0, i = 0; y < kWindowHeight; y += 10, ++i) {
    const Pixel p = readPixel(400, y);
    if (p.r != onContinue[i].r || p.g != onContinue[i].g || p.b != onContinue[i].b) ++differing;
  }
  EXPECT_GT(differing, 0);
  resetControlState();
}

}  // namespace
