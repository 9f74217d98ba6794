// Rendered frames read back from Mesa: the stage, the hero, the hearts, the
// health bar and the menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "render/draw.h"
#include "render/frames.h"
#include "render/shaders.h"
#include "rules/control_rules.h"
#include "app/frame_loop.h"
#include "rules/update_ticks.h"
#include "screens/hud.h"
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
    game->run.tovan->health = health;
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
  game->run.tovan->shiftVertices(false, 10.0f);  // out of sight
  renderOnly(*game);
  size_t i = 0;
  for (int y = toY(0.1f) + 2; y < toY(-0.25f) - 2; y += 4, ++i) {
    const Pixel p = readPixel(400, y);
    if (p.r != withHero[i].r || p.g != withHero[i].g || p.b != withHero[i].b) ++differing;
  }
  game->run.tovan->reset();
  EXPECT_GT(differing, static_cast<int>(withHero.size()) / 2);
}

// The hero alone on the clear colour, a row of window pixels through his
// quad, 200 ms into a kick facing one way (its widest picture).
std::vector<Pixel> kickRow(Game& game, bool facingRight, int y) {
  freshStage(game, 400000);
  Player& hero = *game.run.tovan;
  setGameClock(400000);
  hero.update(facingRight ? kWalkRight : kWalkLeft, wallClock(), game.run.enemies);  // at the stage's start: only turns
  hero.update(kKick, wallClock(), game.run.enemies);
  setGameClock(400200);
  hero.update(kKick, wallClock(), game.run.enemies);
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  useShaderProgram(game.drawing);
  drawFighter(game.drawing, hero, wallClock());
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
  game->run.tovan->score = 0;
  game->run.tovan->runScore = 175;
  renderOnly(*game);
  bool drawn = false;
  for (int y = toY(-0.7f) + 2; y < toY(-0.8f) - 2; ++y) drawn = drawn || !isClearGrey(readPixel(thirdDigitX, y));
  EXPECT_TRUE(drawn);
  game->run.tovan->runScore = 0;
}

// The level is written in the game's words wherever it is shown: above the
// hearts in play, the level that begins over the stage-clear poses, and the
// level reached on the game-over screen. Levels 1 and 3 differ where the
// number is and nowhere else.
TEST_F(Rendering, TheLevelIsShownInPlayAsAStageIsClearedAndAtGameOver) {
  struct Box {
    float left, top, right, bottom;  // normalized device coordinates
  };
  const auto region = [](const Box& b) {
    return readRegion(toX(b.left), toY(b.top), toX(b.right) - toX(b.left), toY(b.bottom) - toY(b.top));
  };
  const struct {
    const char* screen;
    void (*setUp)(Game&);
    Box word, number;
  } screens[] = {
      {"play", [](Game&) {}, {-0.6f, -0.56f, -0.36f, -0.66f}, {-0.34f, -0.56f, -0.30f, -0.66f}},
      {"stage clear",
       [](Game& g) {
         g.run.tovan->position.x = g.run.tovan->hitbox.position.x = kStageEndX;
         g.run.stageOver = true;
       },
       {-0.7f, 0.9f, -0.1f, 0.74f}, {-0.06f, 0.88f, -0.01f, 0.76f}},
      {"game over",
       [](Game& g) {
         g.run.tovan->lives = 0;
         g.run.stageOver = true;
       },
       {-0.7f, -0.29f, -0.1f, -0.45f}, {-0.06f, -0.31f, -0.01f, -0.43f}},
  };
  for (const auto& s : screens) {
    std::vector<unsigned char> word[2], number[2], all[2];
    const float levels[2] = {1.0f, 3.0f};
    for (int i = 0; i < 2; ++i) {
      freshStage(*game, kStart);
      game->run.level = levels[i];
      s.setUp(*game);
      renderOnly(*game);
      word[i] = region(s.word);
      number[i] = region(s.number);
      all[i] = readRegion(0, 0, kWindowWidth, kWindowHeight);
    }
    EXPECT_TRUE(word[0] == word[1]) << s.screen;
    EXPECT_TRUE(number[0] != number[1]) << s.screen;
    // Outside the number's place the two frames are the same.
    size_t differing = 0;
    for (size_t p = 0; p < all[0].size(); ++p) differing += all[0][p] != all[1][p];
    EXPECT_LE(differing, number[0].size()) << s.screen;
    EXPECT_GT(differing, 0u) << s.screen;
  }
  // The frame whose ticks end the poses still shows the level that begins,
  // though it has begun: the number drawn over the stage at the hero's new
  // start is the one a sequence from level 1 shows there.
  freshStage(*game, kStart);
  game->run.tovan->position.x = game->run.tovan->hitbox.position.x = kStageEndX;
  game->run.stageOver = true;
  // Two ticks in the frame: the poses end in the first.
  game->run.tickClock = kStart - 2 * ticksTime(game->run.pace, 1);
  game->run.clearClock = game->run.tickClock + ticksTime(game->run.pace, 1) - 1001;
  renderOnly(*game);
  ASSERT_FALSE(game->run.stageOver);
  ASSERT_EQ(game->run.level, 2.0f);
  const Box nextLevel = {-0.06f, 0.88f, -0.01f, 0.76f};
  const std::vector<unsigned char> lastFrame = region(nextLevel);
  game->run.level = 1.0f;
  game->run.stageOver = true;
  game->run.clearClock = game->run.tickClock = kStart;
  renderOnly(*game);
  EXPECT_TRUE(region(nextLevel) == lastFrame);
  // The word is there: the HUD's word over the grey band.
  freshStage(*game, kStart);
  renderOnly(*game);
  int inked = 0;
  for (int x = toX(-0.6f); x < toX(-0.36f); ++x) inked += !isClearGrey(readPixel(x, toY(-0.61f)));
  EXPECT_GT(inked, 20);
  freshStage(*game, kStart);
}

TEST_F(Rendering, TheMenuShowsTheChosenPictureOverTheWholeWindow) {
  game->run.menuOpen = true;
  game->run.exitSelected = false;
  ASSERT_EQ(chooseMode(game->run), FrameMode::Menu);
  renderOnly(*game);
  std::vector<Pixel> onContinue;
  for (int y = 0; y < kWindowHeight; y += 10) onContinue.push_back(readPixel(400, y));
  EXPECT_FALSE(isClearGrey(readPixel(400, 595)));
  game->run.exitSelected = true;
  renderOnly(*game);
  int differing = 0;
  for (int y = 0, i = 0; y < kWindowHeight; y += 10, ++i) {
    const Pixel p = readPixel(400, y);
    if (p.r != onContinue[i].r || p.g != onContinue[i].g || p.b != onContinue[i].b) ++differing;
  }
  EXPECT_GT(differing, 0);
  freshControls(game->run);
}

}  // namespace
