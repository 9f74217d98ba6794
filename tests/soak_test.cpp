// Many stage clears and lost lives through the real frame code: the live GL
// objects, the roster and the process memory stay flat.
#include <gtest/gtest.h>

#include <fstream>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/draw.h"
#include "app/frame_loop.h"
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
  game.run.tovan->position.x = kStageEndX;
  game.run.stageOver = true;
  game.run.tickClock = now;
  for (int ms : {1, 400, 800, 1001}) {
    setGameClock(now + ms);
    renderOnly(game);
  }
  now += 1100;
  game.run.level = 1.0f;  // keep every wave the same size
}

void loseOneLife(Game& game) {
  Player& hero = *game.run.tovan;
  hero.health = 1;
  spawnEnemy(game.run.enemies, 1, 0.05f, 0.0f, 1.0f);
  Character& striker = game.run.enemies.back();
  striker.attackBox = AttackBox(Hitbox(Position(0.0f, 0.0f), 0.035f, 0.6f), 25);
  striker.attackActive = true;
  if (resolveHits(hero, game.run.enemies, game.run.level, game.run.hearts, game.run.chance, wallClock())) game.run.stageOver = true;
  renderOnly(game);
}

TEST(Soak, StageClearsAndLostLivesKeepEverythingFlat) {
  Game& game = sharedGame();
  ClockTicks now = 500000;
  freshStage(game, now);
  spawnWave(game.run.enemies, *game.run.tovan, 1.0f, game.run.chance);
  // One round first, so that lazily made things exist before the count.
  clearOneStage(game, now);
  loseOneLife(game);
  freshStage(game, now);
  spawnWave(game.run.enemies, *game.run.tovan, 1.0f, game.run.chance);
  const int objects = liveGlObjects();
  const long memory = residentKb();
  for (int round = 0; round < 40; ++round) {
    clearOneStage(game, now);
    for (int life = 0; life < 5; ++life) loseOneLife(game);
    EXPECT_EQ(chooseMode(game.run), FrameMode::GameOver);
    freshStage(game, now);
    spawnWave(game.run.enemies, *game.run.tovan, 1.0f, game.run.chance);
  }
  EXPECT_EQ(liveGlObjects(), objects);
  EXPECT_EQ(game.run.enemies.size(), 25u);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed memory on purpose
  EXPECT_LT(residentKb() - memory, 8 * 1024) << "resident memory grew";
#else
  (void)memory;
#endif
}

// Drawing with vertex array 0 would read indices from address 0: when no
// GL objects could be made to draw a sprite through, it is reported and
// skipped. (Here none can be made: no context is current.)
TEST(Drawing, ASpriteThatCannotBeDrawnIsReportedAndSkipped) {
  Game& game = sharedGame();
  Element never(1.0f, Position(), Hitbox());
  glfwMakeContextCurrent(nullptr);
  const Drawing without;  // no GL object made
  testing::internal::CaptureStdout();
  drawSprite(without, never);
  const std::string said = testing::internal::GetCapturedStdout();
  glfwMakeContextCurrent(game.window);
  EXPECT_EQ(said, "fallo nulo\n");
}

}  // namespace
