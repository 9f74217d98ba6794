// A fighter struck by a blow flashes bright for about 100 ms, read back from
// Mesa; before and after the flash it is drawn exactly as it was, and an
// enemy the blow fells falls from the flash on.
#include <gtest/gtest.h>

#include <algorithm>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "app/frame_loop.h"
#include "render/draw.h"
#include "render/shaders.h"
#include "rules/hits.h"
#include "screens/hud.h"
#include "tests/gl_fixture.h"

namespace {

// The window pixels under a sprite's quad, as RGBA.
std::vector<unsigned char> pixelsUnder(const Element& sprite) {
  float left = 1, right = -1, top = -1, bottom = 1;
  for (int corner = 0; corner < 4; ++corner) {
    left = std::min(left, sprite.vertices[corner * 3]);
    right = std::max(right, sprite.vertices[corner * 3]);
    top = std::max(top, sprite.vertices[corner * 3 + 1]);
    bottom = std::min(bottom, sprite.vertices[corner * 3 + 1]);
  }
  const int x0 = static_cast<int>((left + 1.0f) * 0.5f * kWindowWidth) + 1;
  const int x1 = static_cast<int>((right + 1.0f) * 0.5f * kWindowWidth) - 1;
  const int y0 = static_cast<int>((bottom + 1.0f) * 0.5f * kWindowHeight) + 1;  // from the bottom, as GL reads
  const int y1 = static_cast<int>((top + 1.0f) * 0.5f * kWindowHeight) - 1;
  std::vector<unsigned char> rgba(static_cast<size_t>((x1 - x0) * (y1 - y0) * 4));
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x0, y0, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}

// The summed colour of the window pixels under a sprite's quad.
long brightness(const Element& sprite) {
  const std::vector<unsigned char> rgba = pixelsUnder(sprite);
  long sum = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
  return sum;
}

class HitFlash : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
  }
  Player& hero() { return *game->run.tovan; }
  // A play frame at `ms` with no update tick due, so only the drawing can change.
  void renderAt(ClockTicks ms) {
    setGameClock(ms);
    game->run.tickClock = ms;
    renderOnly(*game);
  }
  // Enemy i strikes the hero with a live blow that has not landed.
  void enemyStrikes(size_t i) {
    Character& e = game->run.enemies[i];
    e.attackBox = AttackBox(Hitbox(Position(e.getPosition().getX() - 0.0625f, 0.0f), 0.035f, 0.6f), 25);
    e.attackActive = true;
    e.blowLanded = false;
  }

  // The roster alone on the clear grey, as play draws it at `ms`: the
  // pixels under the enemy's quad.
  std::vector<unsigned char> enemyDrawn(ClockTicks ms) {
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    useShaderProgram(game->drawing);
    drawAll(game->drawing, game->run.enemies, hero().getPosition().getX(), ms);
    return pixelsUnder(game->run.enemies[0]);
  }
  // The same, the enemy showing picture `index` of its list.
  std::vector<unsigned char> enemyDrawnShowing(int index, ClockTicks ms) {
    const SpriteFrame shown = game->run.enemies[0].shown;
    game->run.enemies[0].showFrame(index);
    std::vector<unsigned char> pixels = enemyDrawn(ms);
    game->run.enemies[0].shown = shown;
    return pixels;
  }

  static constexpr ClockTicks kStart = 500000;
  Game* game = nullptr;
};

// ms after the blow, and whether the struck fighter is still flashing.
constexpr std::pair<ClockTicks, bool> kFlashTimes[] = {{0, true}, {50, true}, {100, true}, {101, false}, {400, false}};

TEST_F(HitFlash, AnEnemyStruckByTheHeroFlashesAndTheHeroDoesNot) {
  spawnEnemy(game->run.enemies, 1, 0.15f, 0.0f, 1.0f);  // in the punch's reach, its quad clear of the hero's
  renderAt(kStart);
  const long enemyBefore = brightness(game->run.enemies[0]);
  const long heroBefore = brightness(hero());
  hero().setAttackBox(0.035f, 0.6f, 0.5f, game->run.enemies);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  ASSERT_EQ(game->run.enemies[0].getHealth(), 50);
  for (const auto& [after, flashing] : kFlashTimes) {
    renderAt(kStart + after);
    if (flashing) {
      EXPECT_GT(brightness(game->run.enemies[0]), enemyBefore * 11 / 10) << after;
    } else {
      EXPECT_EQ(brightness(game->run.enemies[0]), enemyBefore) << after;
    }
    EXPECT_EQ(brightness(hero()), heroBefore) << after;
  }
}

TEST_F(HitFlash, TheStruckHeroFlashesAndALostLifeStartsHimOverFlashing) {
  spawnEnemy(game->run.enemies, 1, 0.15f, 0.0f, 1.0f);
  renderAt(kStart);
  const long heroBefore = brightness(hero());
  const long enemyBefore = brightness(game->run.enemies[0]);
  enemyStrikes(0);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  ASSERT_EQ(hero().getHealth(), 475);
  for (const auto& [after, flashing] : kFlashTimes) {
    renderAt(kStart + after);
    if (flashing) {
      EXPECT_GT(brightness(hero()), heroBefore * 11 / 10) << after;
    } else {
      EXPECT_EQ(brightness(hero()), heroBefore) << after;
    }
    EXPECT_EQ(brightness(game->run.enemies[0]), enemyBefore) << after;
  }

  // The blow that takes a life: he is back at the start of the stage, flashing.
  const ClockTicks fatal = kStart + 1000;
  setGameClock(fatal);
  hero().health = 25;
  enemyStrikes(0);
  if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, wallClock())) game->run.stageOver = true;
  ASSERT_EQ(hero().lives, kStartLives - 1);
  ASSERT_EQ(hero().getPosition().getX(), 0.0f);
  renderAt(fatal + 101);
  const long afterFlash = brightness(hero());
  for (ClockTicks after : {0, 100}) {
    renderAt(fatal + after);
    EXPECT_GT(brightness(hero()), afterFlash * 11 / 10) << after;
  }
}

// A punch on an enemy of `health`: 50 fells it, 100 leaves it standing.
struct PunchCase {
  int health;
  bool felled;
};
constexpr PunchCase kPunches[] = {{50, true}, {100, false}};

TEST_F(HitFlash, AFelledEnemyFallsFromTheFlashOnAndOneLeftStandingGoesOnAsItWas) {
  constexpr ClockTicks kTick = 4;
  for (const PunchCase& punch : kPunches) {
    SCOPED_TRACE(testing::Message() << "a punch at " << punch.health);
    freshStage(*game, kStart);
    spawnEnemy(game->run.enemies, 1, 0.15f, 0.0f, 1.0f);
    Character& enemy = game->run.enemies[0];
    enemy.health = punch.health;
    ClockTicks now = kStart;
    // It walks up a while first: it shows a picture of its walk when struck.
    for (int tick = 0; tick < 30; ++tick) {
      now += kTick;
      setGameClock(now);
      enemy.updateNPC(hero().getPosition(), game->run.chance, now);
    }
    ASSERT_LT(enemy.shown.index, kFirstDeathFrame);
    hero().setAttackBox(0.035f, 0.6f, 0.5f, game->run.enemies);
    if (resolveHits(hero(), game->run.enemies, 1.0f, game->run.hearts, game->run.chance, now)) game->run.stageOver = true;
    ASSERT_EQ(enemy.dying, punch.felled);
    const ClockTicks blow = now;

    // Every frame from the blow until it is gone, or for as long for one left standing.
    int lastDeathPicture = kFirstDeathFrame;
    for (; now - blow <= 700 && !enemy.isDead(); now += kTick) {
      setGameClock(now);
      if (now > blow) enemy.updateNPC(hero().getPosition(), game->run.chance, now);
      const std::vector<unsigned char> drawn = enemyDrawn(now);
      if (punch.felled) {
        // One of its death pictures, flashing as it would, and never back up the fall.
        int shows = -1;
        for (int index = lastDeathPicture; index < kFirstDeathFrame + 3 && shows < 0; ++index) {
          if (drawn == enemyDrawnShowing(index, now)) shows = index;
        }
        ASSERT_GE(shows, lastDeathPicture) << now - blow << " ms after the blow";
        lastDeathPicture = shows;
      } else if (now - blow > 100) {
        // Past the flash: as if the blow had never been, going on with its own pictures.
        EXPECT_LT(enemy.shown.index, kFirstDeathFrame);
        enemy.struck = false;
        EXPECT_EQ(drawn, enemyDrawn(now)) << now - blow << " ms after the blow";
        enemy.struck = true;
      }
    }
    EXPECT_EQ(lastDeathPicture, punch.felled ? kFirstDeathFrame + 2 : kFirstDeathFrame);
    EXPECT_EQ(enemy.isDead(), punch.felled);
  }
}

}  // namespace
