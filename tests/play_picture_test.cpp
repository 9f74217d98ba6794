// The picture of play between update ticks, read back from Mesa: a display
// faster than the ticks sees each fighter placed between the last two, never
// across a teleport; the picture of a blow that lands stays out for four
// frames at 60 Hz; and drawing leaves the run's state as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "app/pass_ticks.h"
#include "app/play_picture.h"
#include "render/frames.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "hero/control_codes.h"
#include "render/shaders.h"
#include "app/frame_loop.h"
#include "rules/update_ticks.h"
#include "runs/run_digest.h"
#include "tests/gl_fixture.h"

namespace {

constexpr ClockTicks kStart = 700000;
constexpr float kHeroX = 2.0f;

std::vector<unsigned char> wholeFrame() { return readRegion(0, 0, kWindowWidth, kWindowHeight); }

class PlayPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    freshStage(*game, kStart);
    Player& hero = *game->run.tovan;
    hero.position.x = hero.hitbox.position.x = kHeroX;
    game->drawBetweenTicks = true;
  }
  void TearDown() override {
    game->drawBetweenTicks = false;
    freshStage(*game, kStart);
  }

  // Runs the run's next tick at its own time.
  void tick() {
    const ClockTicks at = nextTickTime(game->run);
    setGameClock(at);
    ASSERT_EQ(runDueTicks(*game, at), 1);
  }
  // A play frame at game time `ms` (no tick due), read back.
  std::vector<unsigned char> frameAt(ClockTicks ms) {
    setGameClock(ms);
    renderOnly(*game);
    return wholeFrame();
  }
  // The frame at `ms` with the latest tick drawn as it is.
  std::vector<unsigned char> latestAt(ClockTicks ms) {
    game->drawBetweenTicks = false;
    std::vector<unsigned char> frame = frameAt(ms);
    game->drawBetweenTicks = true;
    return frame;
  }

  Game* game = nullptr;
};

// Where a fighter's quad and x stand, to put back after a reference frame.
struct Place {
  float vertices[12];
  float x;
};
Place placeOf(const Character& fighter) {
  Place place;
  std::memcpy(place.vertices, fighter.vertices, sizeof(place.vertices));
  place.x = fighter.position.x;
  return place;
}
void putAt(Character& fighter, const Place& place) {
  std::memcpy(fighter.vertices, place.vertices, sizeof(place.vertices));
  fighter.position.x = place.x;
}
Place halfWay(const Place& a, const Place& b) {
  Place mid;
  for (int i = 0; i < 12; ++i) mid.vertices[i] = a.vertices[i] + (b.vertices[i] - a.vertices[i]) * 0.5f;
  mid.x = a.x + (b.x - a.x) * 0.5f;
  return mid;
}

TEST_F(PlayPictureTest, FightersAreDrawnBetweenTheLastTwoTicksAndTheRunIsLeftAsItWas) {
  // The hero jumps straight up while an enemy walks up to him.
  spawnEnemy(game->run.enemies, 1, kHeroX + 0.8f, kHeroX, 1.0f);
  game->run.controlCode = kJump;
  tick();
  tick();
  Player& hero = *game->run.tovan;
  Character& enemy = game->run.enemies[0];
  const Place heroBefore = placeOf(hero), enemyBefore = placeOf(enemy);
  tick();  // the third tick, at +50 ms; the fourth falls at +66
  ASSERT_EQ(game->run.tickClock, kStart + 50);
  ASSERT_EQ(nextTickTime(game->run), kStart + 66);
  const Place heroAfter = placeOf(hero), enemyAfter = placeOf(enemy);
  ASSERT_NE(heroBefore.vertices[1], heroAfter.vertices[1]);
  ASSERT_NE(enemyBefore.x, enemyAfter.x);
  const std::uint64_t digest = runStateDigest(game->run);

  const std::vector<unsigned char> atTick = frameAt(kStart + 50);
  const std::vector<unsigned char> halfWayThrough = frameAt(kStart + 58);
  const std::vector<unsigned char> nearlyNext = frameAt(kStart + 65);
  EXPECT_EQ(runStateDigest(game->run), digest);

  // The frames the same fighters make placed by hand, drawn as they are.
  const auto placedBy = [&](const Place& heroAt, const Place& enemyAt) {
    putAt(hero, heroAt);
    putAt(enemy, enemyAt);
    std::vector<unsigned char> frame = latestAt(kStart + 58);
    putAt(hero, heroAfter);
    putAt(enemy, enemyAfter);
    return frame;
  };
  EXPECT_TRUE(atTick == placedBy(heroBefore, enemyBefore)) << "at fraction 0: the tick before the last";
  EXPECT_TRUE(halfWayThrough == placedBy(halfWay(heroBefore, heroAfter), halfWay(enemyBefore, enemyAfter)))
      << "at fraction 0.5: half way";
  EXPECT_FALSE(nearlyNext == atTick);
  EXPECT_FALSE(nearlyNext == latestAt(kStart + 50));
  EXPECT_EQ(runStateDigest(game->run), digest);
}

// Each case sets up the last tick; across it nothing is drawn between ticks.
struct Teleport {
  const char* name;
  std::function<void(Game&)> before;
};

TEST_F(PlayPictureTest, NothingIsDrawnBetweenTicksAcrossATeleport) {
  const Teleport teleports[] = {
      {"the hero turns",
       [](Game& game) {
         spawnEnemy(game.run.enemies, 1, kHeroX + 0.8f, kHeroX, 1.0f);
         game.run.controlCode = kWalkLeft;
       }},
      {"an enemy is removed and another spawned in one tick",
       [](Game& game) {
         spawnEnemy(game.run.enemies, 1, kHeroX + 0.8f, kHeroX, 1.0f);
         game.run.enemies[0].dead = true;
         game.run.controlCode = kNoControl;  // the hero stands: only the roster changes
         game.run.spawnClock = nextTickTime(game.run) - 10000;  // a reinforcement comes due
       }},
      {"a blow takes a life",
       [](Game& game) {
         spawnEnemy(game.run.enemies, 1, kHeroX + 0.05f, kHeroX, 1.0f);
         Character& enemy = game.run.enemies[0];
         enemy.attackBox = AttackBox(Hitbox(Position(kHeroX, 0.0f), 0.035f, 0.6f), 25);
         enemy.attackActive = true;
         game.run.tovan->health = 1;
       }},
  };
  for (const Teleport& teleport : teleports) {
    SCOPED_TRACE(teleport.name);
    freshStage(*game, kStart);
    Player& hero = *game->run.tovan;
    hero.position.x = hero.hitbox.position.x = kHeroX;
    game->run.controlCode = kWalkRight;
    tick();
    tick();
    teleport.before(*game);
    const long firstBefore = game->run.enemies[0].id;
    const int livesBefore = hero.lives;
    tick();
    ASSERT_TRUE(hero.lives < livesBefore || !hero.getPosition().isFacingRight() || game->run.enemies[0].id != firstBefore);
    const ClockTicks between = game->run.tickClock + 8;
    EXPECT_TRUE(frameAt(between) == latestAt(between));
  }
}

TEST_F(PlayPictureTest, APausedPictureStandsStill) {
  spawnEnemy(game->run.enemies, 1, kHeroX + 0.8f, kHeroX, 1.0f);
  game->run.controlCode = kJump;
  tick();
  tick();
  setGameClock(kStart + 40);
  holdReplay(*game, true);
  const std::vector<unsigned char> paused = frameAt(kStart + 40);
  EXPECT_TRUE(frameAt(kStart + 47) == paused);  // the wall clock runs on; game time does not
  holdReplay(*game, false);
}

TEST(DrawBetweenTicks, EveryDisplayButOneAtTheTicksOwnRate) {
  constexpr struct {
    int hertz;
    bool capped;
    TickPace pace;
    bool between;
  } kDisplays[] = {{60, true, kGamePace, false},   {75, true, kGamePace, true},  {120, true, kGamePace, true},
                   {144, true, kGamePace, true},   {50, true, kGamePace, true},  {60, false, kGamePace, true},
                   {60, true, kClassicPace, true}};
  for (const auto& display : kDisplays) {
    EXPECT_EQ(drawsBetweenTicks(1.0 / display.hertz, display.capped, display.pace), display.between)
        << display.hertz << " Hz" << (display.capped ? "" : " uncapped");
  }
  EXPECT_EQ(landingShownTicks(kGamePace), 4);
  EXPECT_EQ(landingShownTicks(kClassicPace), 23);
}

// The hero alone on the clear grey, as a play frame at the latest tick draws him.
std::vector<unsigned char> heroDrawn(Game& game) {
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  useShaderProgram(game.drawing);
  PlayPicture picture = playPicture(game, 1.0f);
  drawFighter(game.drawing, picture.hero, picture.now);
  glFinish();
  return wholeFrame();
}

TEST_F(PlayPictureTest, ALandedBlowsPictureStaysOutForFourFramesAt60Hz) {
  game->drawBetweenTicks = false;  // a 60 Hz display: a frame a tick
  spawnEnemy(game->run.enemies, 1, kHeroX + 0.15f, kHeroX, 1.0f);
  game->run.controlCode = kKick;
  tick();
  game->run.controlCode = kNoControl;  // one kick, not a chain
  const auto landed = [&] { return game->run.enemies[0].struck && game->run.enemies[0].struckAt == game->run.tickClock; };
  for (int ticks = 0; ticks < 40 && !landed(); ++ticks) tick();
  ASSERT_TRUE(landed());
  const Player& hero = *game->run.tovan;
  const GLuint landingImage = textureOf(game->drawing, hero.shown);
  const float landingEdge = hero.vertices[0];
  const std::vector<unsigned char> landing = heroDrawn(*game);

  for (int frame = 1; frame < 4; ++frame) {
    tick();
    // The rules take the blow back on the next tick; the picture stays.
    if (frame == 1) {
      EXPECT_TRUE(textureOf(game->drawing, hero.shown) != landingImage || hero.vertices[0] != landingEdge);
    }
    EXPECT_TRUE(heroDrawn(*game) == landing) << "frame " << frame;
  }
  tick();
  EXPECT_FALSE(heroDrawn(*game) == landing);
}

}  // namespace
