// What the player sees of a fight, read back from Mesa: every enemy of a pile
// is a figure of its own, before a blow lands and as it lands, the flash of a
// blow shows on the one struck, and a blow's picture reaches out as far as
// the blow does when it lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/play_picture.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "hero/control_codes.h"
#include "render/draw.h"
#include "render/shaders.h"
#include "app/frame_loop.h"
#include "rules/hits.h"
#include "tests/gl_fixture.h"

namespace {

constexpr ClockTicks kStart = 600000;
constexpr ClockTicks kTick = 4;
constexpr float kHeroX = 2.0f;  // mid-stage: room for a pile on either side

// The back buffer, rows from the top.
struct Picture {
  std::vector<unsigned char> rgb;
  Pixel at(int x, int y) const {
    const size_t i = (static_cast<size_t>(kWindowHeight - 1 - y) * kWindowWidth + static_cast<size_t>(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  bool drawn(int x, int y) const {
    const Pixel p = at(x, y);
    return p.r != 51 || p.g != 51 || p.b != 51;  // the clear grey
  }
};

Picture readPicture() {
  glFinish();
  Picture picture;
  picture.rgb.resize(static_cast<size_t>(kWindowWidth) * kWindowHeight * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
  return picture;
}

void clearToGrey(Game& game) {
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  useShaderProgram(game.drawing);
}

// The enemies alone on the clear grey, drawn as a play frame draws them.
Picture enemiesDrawn(Game& game) {
  clearToGrey(game);
  drawAll(game.drawing, game.run.enemies, game.run.tovan->getPosition().getX(), wallClock());
  return readPicture();
}

// Where the heads are, left to right as [first, last] pixel: the runs of
// drawn pixels, a head wide or more, along the row through the tops of the
// heads that parts the most of them.
std::vector<std::pair<int, int>> heads(const Picture& picture) {
  constexpr int kNarrowest = 5;
  int top = -1;
  for (int y = 0; y < kWindowHeight && top < 0; ++y) {
    for (int x = 0; x < kWindowWidth; ++x) {
      if (picture.drawn(x, y)) {
        top = y;
        break;
      }
    }
  }
  std::vector<std::pair<int, int>> most;
  if (top < 0) return most;
  for (int y = top + 3; y < top + 16; ++y) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < kWindowWidth; ++x) {
      if (!picture.drawn(x, y)) continue;
      const int first = x;
      while (x + 1 < kWindowWidth && picture.drawn(x + 1, y)) ++x;
      if (x - first + 1 >= kNarrowest) runs.push_back({first, x});
    }
    if (runs.size() > most.size()) most = runs;
  }
  return most;
}

long brightness(const Picture& picture, std::pair<int, int> run, int y0, int y1) {
  long sum = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = run.first; x <= run.second; ++x) {
      const Pixel p = picture.at(x, y);
      sum += p.r + p.g + p.b;
    }
  }
  return sum;
}

class FightPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
    now = kStart;
    Player& hero = *game->run.tovan;
    hero.position.x = hero.hitbox.position.x = kHeroX;
  }
  void TearDown() override { freshStage(*game, kStart); }

  // `count` enemies of a kind start on one spot a little way off on one side
  // and walk up to the hero by their own rules, until they stand and strike.
  void pileUp(int count, bool onRight, int kind = 1) {
    const float from = kHeroX + (onRight ? 0.25f : -0.25f);
    for (int i = 0; i < count; ++i) spawnEnemy(game->run.enemies, kind, from, kHeroX, 1.0f);
    for (int tick = 0; tick < 60; ++tick) {
      now += kTick;
      setGameClock(now);
      for (Character& enemy : game->run.enemies) enemy.updateNPC(game->run.tovan->getPosition(), game->run.chance, wallClock());
    }
    for (const Character& enemy : game->run.enemies) ASSERT_EQ(enemy.state, EnemyBlow);
  }

  Game* game = nullptr;
  ClockTicks now = kStart;
};

TEST_F(FightPicture, EveryEnemyOfAPileIsAFigureOfItsOwnOnEitherSide) {
  // Both kinds: the broad one of the later levels too.
  std::pair<int, int> loneHead[3][2];
  for (const int kind : {1, 2}) {
    for (const bool onRight : {true, false}) {
      for (const int count : {1, 3, 5}) {
        SCOPED_TRACE(testing::Message() << count << " of kind " << kind
                                        << (onRight ? " on the right" : " on the left"));
        clearRoster(game->run.enemies);
        pileUp(count, onRight, kind);
        for (const Character& enemy : game->run.enemies) {
          ASSERT_EQ(enemy.getPosition().getX(), game->run.enemies[0].getPosition().getX());  // one spot, by the rules
        }
        std::vector<Character> before = game->run.enemies;
        const Picture picture = enemiesDrawn(*game);
        const std::vector<std::pair<int, int>> seen = heads(picture);
        EXPECT_EQ(static_cast<int>(seen.size()), count);
        // The front figure, nearest the hero, stands where a lone enemy would;
        // the rest fan out away from him.
        if (!seen.empty()) {
          const auto& front = onRight ? seen.front() : seen.back();
          if (count == 1) loneHead[kind][onRight] = front;
          EXPECT_EQ(front, loneHead[kind][onRight]);
        }
        // Drawing moved nothing the rules keep.
        for (size_t i = 0; i < game->run.enemies.size(); ++i) {
          const Character& a = before[i];
          const Character& b = game->run.enemies[i];
          EXPECT_EQ(std::memcmp(a.vertices, b.vertices, sizeof(a.vertices)), 0) << i;
          EXPECT_EQ(std::memcmp(a.texCoords, b.texCoords, sizeof(a.texCoords)), 0) << i;
          EXPECT_EQ(a.position.x, b.position.x) << i;
          EXPECT_EQ(a.hitbox.position.x, b.hitbox.position.x) << i;
          EXPECT_EQ(a.hitbox.halfWidth, b.hitbox.halfWidth) << i;
          EXPECT_EQ(a.attackBox.box.position.x, b.attackBox.box.position.x) << i;
        }
        // The same pile is drawn the same way frame after frame.
        EXPECT_EQ(enemiesDrawn(*game).rgb, picture.rgb);
      }
    }
  }
}

TEST_F(FightPicture, AStruckEnemyOfAPileFlashesOnItsOwnFigure) {
  constexpr int kPile = 3;
  for (const bool onRight : {true, false}) {
    for (int struck = 0; struck < kPile; ++struck) {
      SCOPED_TRACE(testing::Message() << "enemy " << struck << (onRight ? " on the right" : " on the left"));
      clearRoster(game->run.enemies);
      pileUp(kPile, onRight);
      Player& hero = *game->run.tovan;
      hero.position.setFacingRight(onRight);
      const Picture before = enemiesDrawn(*game);
      const std::vector<std::pair<int, int>> seen = heads(before);
      ASSERT_EQ(static_cast<int>(seen.size()), kPile);
      int top = 0;
      while (!before.drawn(seen[0].first, top)) ++top;

      // A punch that lands on this one alone (the others took it already) and
      // leaves it standing.
      hero.setAttackBox(0.035f, 0.6f, 0.5f, game->run.enemies);
      for (int i = 0; i < kPile; ++i) game->run.enemies[static_cast<size_t>(i)].setHitByBlow(i != struck);
      if (resolveHits(hero, game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
      ASSERT_EQ(game->run.enemies[static_cast<size_t>(struck)].getHealth(), 50);
      const Picture after = enemiesDrawn(*game);

      // Figures are counted outward from the hero: the roster's first stands in front.
      for (int figure = 0; figure < kPile; ++figure) {
        const auto head = seen[static_cast<size_t>(onRight ? figure : kPile - 1 - figure)];
        const long was = brightness(before, head, top, top + 10);
        const long now = brightness(after, head, top, top + 10);
        if (figure == struck) {
          EXPECT_GT(now, was * 11 / 10) << "figure " << figure;
        } else {
          EXPECT_EQ(now, was) << "figure " << figure;
        }
      }
    }
  }
}

TEST_F(FightPicture, ThoseStillFightingStandInFrontOfTheDying) {
  constexpr int kPile = 4;
  for (const bool onRight : {true, false}) {
    SCOPED_TRACE(onRight ? "on the right" : "on the left");
    clearRoster(game->run.enemies);
    pileUp(kPile, onRight);
    const Picture before = enemiesDrawn(*game);
    // A blow fells the first two of the roster: they flash as they start to die.
    for (size_t i = 0; i < 2; ++i) {
      game->run.enemies[i].takeDamage(game->run.enemies[i].getHealth());
      game->run.enemies[i].markStruck(wallClock());
    }
    const Picture after = enemiesDrawn(*game);
    setGameClock(now + 200);
    const Picture flashOver = enemiesDrawn(*game);
    setGameClock(now);
    std::vector<std::pair<int, int>> seen = heads(before);
    ASSERT_EQ(static_cast<int>(seen.size()), kPile);
    if (!onRight) std::reverse(seen.begin(), seen.end());  // nearest the hero first
    int top = 0;
    while (!before.drawn(seen[0].first, top)) ++top;
    // The two still fighting are drawn where the first two stood, not flashing
    // (the nearest whole, the next with the felled showing past its head).
    EXPECT_EQ(brightness(after, seen[0], top, top + 10), brightness(before, seen[0], top, top + 10));
    EXPECT_LT(brightness(after, seen[1], top, top + 10), brightness(before, seen[1], top, top + 10) * 11 / 10);
    // The felled fall behind them, flashing: beyond the second figure's head.
    const std::pair<int, int> behind = onRight ? std::pair<int, int>{seen[1].second + 1, kWindowWidth - 1}
                                               : std::pair<int, int>{0, seen[1].first - 1};
    EXPECT_GT(brightness(after, behind, 0, kWindowHeight), brightness(flashOver, behind, 0, kWindowHeight));
  }
}

// The blows that land low in a pile or from above it: the first code is
// given once, the second held until the blow lands.
struct PileBlow {
  const char* name;
  int first;
  int held;
};
constexpr PileBlow kPileBlows[] = {{"low kick", kCrouch, kKick}, {"flying kick", kJump, kKick}};

TEST_F(FightPicture, APileStruckLowOrFromTheAirKeepsItsFanEveryFigureFlashingWhereItStands) {
  constexpr int kPile = 3;
  for (const PileBlow& blow : kPileBlows) {
    for (const bool onRight : {true, false}) {
      SCOPED_TRACE(testing::Message() << blow.name << (onRight ? " on the right" : " on the left"));
      freshStage(*game, now);
      Player& hero = *game->run.tovan;
      hero.position.x = hero.hitbox.position.x = kHeroX;
      hero.position.setFacingRight(onRight);
      hero.turn(onRight);
      pileUp(kPile, onRight);
      for (Character& enemy : game->run.enemies) enemy.health = 300;  // they take the kick standing
      const Picture before = enemiesDrawn(*game);
      const std::vector<std::pair<int, int>> fan = heads(before);
      ASSERT_EQ(static_cast<int>(fan.size()), kPile);
      int top = 0;
      while (!before.drawn(fan[0].first, top)) ++top;

      // Tick by tick, as the shell runs them, until the blow lands.
      bool landed = false;
      for (int tick = 0; tick < 200 && !landed; ++tick) {
        now += kTick;
        setGameClock(now);
        game->run.tickClock = now;
        hero.update(tick == 0 ? blow.first : blow.held, now, game->run.enemies);
        if (resolveHits(hero, game->run.enemies, 1.0f, game->run.hearts, game->run.chance, now)) game->run.stageOver = true;
        for (const Character& enemy : game->run.enemies) landed = landed || (enemy.struck && enemy.struckAt == now);
      }
      ASSERT_TRUE(landed);
      for (const Character& enemy : game->run.enemies) ASSERT_EQ(enemy.getHealth(), 200);
      noteAfterTick(game->notes, game->run);

      // The impact as a play frame draws it: the same three figures, each
      // where it stood, each flashing.
      PlayPicture seen = playPicture(*game, 1.0f);
      clearToGrey(*game);
      drawAll(game->drawing, seen.enemies, seen.heroX, seen.now);
      const Picture impact = readPicture();
      EXPECT_EQ(heads(impact), fan);
      for (const auto& head : fan) {
        EXPECT_GT(brightness(impact, head, top, top + 10), brightness(before, head, top, top + 10) * 11 / 10);
      }
    }
  }
}

// The hero's picture alone on the tick his blow goes live: how far past his
// body it reaches toward the side he faces, in window pixels.
struct BlowCase {
  const char* name;
  int code;
  float reach;
};
constexpr BlowCase kBlows[] = {{"punch", kPunch, kPunchReach}, {"kick", kKick, kKickReach}};

TEST_F(FightPicture, TheLiveBlowsPictureReachesAsFarAsTheBlow) {
  for (const BlowCase& blow : kBlows) {
    for (const bool facingRight : {true, false}) {
      SCOPED_TRACE(testing::Message() << blow.name << (facingRight ? " facing right" : " facing left"));
      freshStage(*game, kStart);
      now = kStart;
      Player& hero = *game->run.tovan;
      hero.update(facingRight ? kWalkRight : kWalkLeft, wallClock(), game->run.enemies);  // at the stage's start: only turns
      hero.update(kNoControl, wallClock(), game->run.enemies);
      ASSERT_EQ(hero.getPosition().isFacingRight(), facingRight);
      hero.update(blow.code, wallClock(), game->run.enemies);
      int ticks = 0;
      while (!hero.isAttacking() && ticks++ < 200) {
        now += kTick;
        setGameClock(now);
        hero.update(blow.code, wallClock(), game->run.enemies);
      }
      ASSERT_TRUE(hero.isAttacking());

      clearToGrey(*game);
      drawFighter(game->drawing, hero, wallClock());
      const Picture picture = readPicture();
      // The view follows the hero: his x is the window's centre.
      const float edge = kBodyHalfWidth + blow.reach;
      const int needed = static_cast<int>((1.0f + (facingRight ? edge : -edge)) * 0.5f * kWindowWidth);
      int farthest = facingRight ? 0 : kWindowWidth - 1;
      for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
          if (!picture.drawn(x, y)) continue;
          farthest = facingRight ? std::max(farthest, x) : std::min(farthest, x);
        }
      }
      if (facingRight) {
        EXPECT_GE(farthest, needed);
      } else {
        EXPECT_LE(farthest, needed);
      }
    }
  }
}

}  // namespace
