// Many stage clears and lost lives through the real frame code: the live GL
// objects, the roster and the process memory stay flat.
#include <gtest/gtest.h>

#include <fstream>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/draw.h"
#include "shell/game.h"
#include "rules/hits.h"
#include "screens/hud.h"
#include "tests/gl_fixture.h"

namespace {

// Names are handed out upwards, so counting the live ones below a fresh name counts them all.
int liveGlObjects() {
  GLuint probeBuffer = 0, probeArray = 0;
  glGenBuffers(1, &probeBuffer);
  glGenVertexArrays(1, &probeArray);
  int live = 0;
  for (GLuint name = 1; name < probeBuffer; ++name) live += glIsBuffer(name) ? 1 : 0;
  for (GLuint name = 1; name < probeArray; ++name) live += glIsVertexArray(name) ? 1 : 0;
  glDeleteBuffers(1, &probeBuffer);
  glDeleteVertexArrays(1, &probeArray);
  return live;
}

long residentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

void clearOneStage(Game& game, ClockTicks& now) {
  game.tovan->position.x = kStageEndX;
  game.stageOver = true;
  game.tickClock = now;
  for (int ms : {1, 400, 800, 1001}) {
    setGameClock(now + ms);
    renderOnly(game);
  }
  now += 1100;
  game.level = 1.0f;  // keep every wave the same size
}

void loseOneLife(Game& game) {
  Player& hero = *game.tovan;
  hero.health = 1;
  spawnEnemy(game.enemies, 1, 0.05f, 0.0f, 1.0f);
  Character& striker = game.enemies.back();
  striker.attackBox = AttackBox(Hitbox(Position(0.0f, 0.0f), 0.035f, 0.6f), 25);
  striker.attackActive = true;
  if (resolveHits(hero, game.enemies, game.level, game.hearts, game.chance, wallClock())) game.stageOver = true;
  renderOnly(game);
}

TEST(Soak, StageClearsAndLostLivesKeepEverythingFlat) {
  Game& game = sharedGame();
  ClockTicks now = 500000;
  freshStage(game, now);
  spawnWave(game.enemies, *game.tovan, 1.0f, game.chance);
  // One round first, so that lazily made things exist before the count.
  clearOneStage(game, now);
  loseOneLife(game);
  freshStage(game, now);
  spawnWave(game.enemies, *game.tovan, 1.0f, game.chance);
  const int objects = liveGlObjects();
  const long memory = residentKb();
  for (int round = 0; round < 40; ++round) {
    clearOneStage(game, now);
    for (int life = 0; life < 5; ++life) loseOneLife(game);
    EXPECT_EQ(chooseMode(game), FrameMode::GameOver);
    freshStage(game, now);
    spawnWave(game.enemies, *game.tovan, 1.0f, game.chance);
  }
  EXPECT_EQ(liveGlObjects(), objects);
  EXPECT_EQ(game.enemies.size(), 25u);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory on purpose
  EXPECT_LT(residentKb() - memory, 8 * 1024) << "resident memory grew";
#else
  (void)memory;
#endif
  // Put the background quad back after the game-over screens.
  std::copy(kFondoPoints, kFondoPoints + 12, game.points);
  refillPositions(game.quads.fondo, game.points);
}

// Drawing with vertex array 0 would read indices from address 0: when no
// GL objects could be made to draw a sprite through, it is reported and
// skipped. (Here none can be made: no context is current.)
TEST(Drawing, ASpriteThatCannotBeDrawnIsReportedAndSkipped) {
  Game& game = sharedGame();
  Element never(1.0f, Position(), Hitbox());
  glfwMakeContextCurrent(nullptr);
  const SpriteBuffers made = sprites;
  sprites = SpriteBuffers();
  testing::internal::CaptureStdout();
  drawSprite(never);
  const std::string said = testing::internal::GetCapturedStdout();
  glfwMakeContextCurrent(game.window);
  sprites = made;
  EXPECT_EQ(said, "fallo nulo\n");
}

}  // namespace
