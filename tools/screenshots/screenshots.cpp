// Renders the README's screenshots from recorded runs of the real game:
//   nombre_screenshots OUT_DIR RUNS_DIR   (run from build/run, under Xvfb)
// Each scene is played by a short script through the game's own controls and
// recorded as every game is, into RUNS_DIR/NAME.nrep; the script marks the
// moments worth a picture. The run is then read back from its file and played
// back by the game's own passes, and each marked moment is drawn and saved.
// Nothing is set up by hand, so every picture is what the game draws today.
#include <stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/frame_loop.h"  // GL's headers first, then the window's

#include <GLFW/glfw3.h>

#include "app/pass_ticks.h"
#include "app/replay.h"
#include "app/window_callbacks.h"
#include "render/draw.h"
#include "render/shaders.h"
#include "rules/update_ticks.h"
#include "runs/run_log.h"
#include "screens/hud.h"

namespace {

constexpr ClockTicks kStart = 5000;
// The longest any step of a script waits for what it waits for: two minutes of play.
constexpr long kMostFrames = 60 * 120;

void save(const std::string& path) {
  std::vector<unsigned char> pixels(kWindowWidth * kWindowHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  stbi_flip_vertically_on_write(1);
  if (!stbi_write_png(path.c_str(), kWindowWidth, kWindowHeight, 3, pixels.data(), kWindowWidth * 3)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }
}

// A moment of a run worth a picture: after tick `tick`.
struct Shot {
  std::string file;
  long tick = 0;
};

// The pass of the game as the frame loop draws it, saved.
void drawAndSave(Game& game, const std::string& path) {
  advanceGame(game, lookAtClock(game));
  drawGame(game);
  save(path);
}

// Game time of the nth frame of a run, at 60 frames a second.
ClockTicks frameTime(long frame) { return kStart + ticksTime(kGamePace, frame); }

// A scene being played and recorded: the keys held, a frame at a time.
class Scene {
 public:
  Scene(Game& game, float level, std::string out) : game(game), out(std::move(out)) {
    setGameClock(kStart);
    startRun(game, level, kStart);
    game.log.beginRecording(game.run, nullptr);
  }
  Player& hero() { return *game.run.tovan; }

  void hold(int key, bool down) {
    if (keys[key] == down) return;
    keys[key] = down;
    sendKey(game, key, down ? GLFW_PRESS : GLFW_RELEASE);
  }
  // Holds `key` (0: none) and lets go of every other.
  void only(int key) {
    for (int k : {GLFW_KEY_LEFT, GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_X}) {
      if (k != key) hold(k, false);
    }
    if (key != 0) hold(key, true);
  }
  void tap(int key) {
    hold(key, true);
    pass();
    hold(key, false);
  }
  // One frame of play, its ticks run as the game runs them.
  void pass() {
    setGameClock(frameTime(++frame));
    if (!game.run.menuOpen && !gameIsOver(game.run)) runDueTicks(game, lookAtClock(game));
  }
  void passes(int count) {
    for (int i = 0; i < count; ++i) pass();
  }
  // Frames with `key` held (0: none) until `done` says so.
  void holdUntil(int key, const std::function<bool()>& done) {
    for (long i = 0; i < kMostFrames && !done(); ++i) {
      only(key);
      pass();
    }
    if (!done()) std::fprintf(stderr, "a scene waited too long before %s\n", nextShot().c_str());
  }
  // A run's file keeps no time of a pause (a replay passes it in no time):
  // the menu's picture is saved as the run is played.
  void shoot(const std::string& file) {
    if (game.run.menuOpen) {
      drawAndSave(game, out + "/" + file);
    } else {
      shots.push_back({file, game.run.ticksRun});
    }
  }
  std::string nextShot() const { return shots.empty() ? "its first picture" : "the picture after " + shots.back().file; }

  // The nearest living enemy within `within` of the hero, ahead of him (or behind).
  bool enemyNear(float within, bool ahead) const {
    const float x = game.run.tovan->getPosition().getX();
    const bool right = game.run.tovan->getPosition().isFacingRight();
    for (const Character& enemy : game.run.enemies) {
      const float d = enemy.getPosition().getX() - x;
      if (!enemy.dying && !enemy.isDead() && std::fabs(d) <= within && ((d >= 0) == right) == ahead) return true;
    }
    return false;
  }
  bool enemyStruckNow() const {
    for (const Character& enemy : game.run.enemies) {
      if (enemy.struck && enemy.struckAt == game.run.tickClock) return true;
    }
    return false;
  }
  bool heroStruckNow() { return hero().struck && hero().struckAt == game.run.tickClock; }
  // Kicks what is in reach ahead, turns to what is close behind, else walks on.
  int fightKey() const {
    if (enemyNear(0.22f, true)) return GLFW_KEY_X;
    if (enemyNear(0.22f, false)) return game.run.tovan->getPosition().isFacingRight() ? GLFW_KEY_LEFT : GLFW_KEY_RIGHT;
    return GLFW_KEY_RIGHT;
  }
  void fightUntil(const std::function<bool()>& done) {
    for (long i = 0; i < kMostFrames && !done(); ++i) {
      only(fightKey());
      pass();
    }
  }

  // The run as recorded.
  std::string finish() {
    only(0);
    const std::string text = game.log.finish(game.run);
    game.log = RunLog();
    return text;
  }

  Game& game;
  std::string out;
  std::vector<Shot> shots;
  bool keys[GLFW_KEY_LAST + 1] = {};
  long frame = 0;
};

// Walks up to the first group, kicks into it, fights it off, crouches, walks
// on and stands taking blows, pauses, and stands on until the game is over.
void fight(Scene& s) {
  s.holdUntil(GLFW_KEY_RIGHT, [&] { return s.enemyNear(0.3f, true); });
  s.only(0);
  s.passes(10);
  s.shoot("play.png");

  s.only(GLFW_KEY_X);
  s.passes(14);  // the leg on its way out
  s.shoot("kick.png");
  s.holdUntil(GLFW_KEY_X, [&] { return s.enemyStruckNow() && hitFlash(s.hero(), wallClock()) == 0.0f; });
  s.shoot("hit.png");

  // Once the group is beaten and gone, down into a crouch.
  s.fightUntil([&] {
    for (const Character& enemy : s.game.run.enemies) {
      if (enemy.dying || enemy.isDead()) return false;
    }
    return !s.enemyNear(0.6f, true) && !s.enemyNear(0.6f, false);
  });
  s.only(0);
  s.passes(60);
  s.only(GLFW_KEY_DOWN);
  s.passes(20);
  s.shoot("crouch.png");
  s.only(0);
  s.passes(2);

  // On to the next group; standing among them he takes blow after blow and the bar drains.
  s.holdUntil(GLFW_KEY_RIGHT, [&] { return s.enemyNear(0.3f, true); });
  s.holdUntil(0, [&] { return s.hero().getHealth() <= 250 && s.heroStruckNow(); });
  s.shoot("hurt.png");

  s.tap(GLFW_KEY_ESCAPE);
  s.passes(10);
  s.shoot("menu.png");
  s.tap(GLFW_KEY_ESCAPE);

  s.holdUntil(0, [&] { return gameIsOver(s.game.run); });
  s.passes(5);
  s.shoot("game-over.png");
}

// A new game left alone from the start: the first group closes in on the
// hero and piles up on one spot, drawn fanned out, one figure each, taken as
// their blows land on him. He crouches, turns to the pile and low-kicks into
// it. Then he fights his way to the gate and clears the stage.
void pile(Scene& s) {
  const auto pileOfThree = [&](bool ahead) {
    int count = 0;
    const float x = s.hero().getPosition().getX();
    const bool right = s.hero().getPosition().isFacingRight();
    for (const Character& enemy : s.game.run.enemies) {
      const float d = enemy.getPosition().getX() - x;
      if (!enemy.dying && std::fabs(d) <= 0.15f && ((d >= 0) == right) == ahead) ++count;
    }
    return count >= 3;
  };
  s.holdUntil(0, [&] { return (pileOfThree(true) || pileOfThree(false)) && s.heroStruckNow(); });
  s.shoot("pile.png");

  const bool turn = !pileOfThree(true);
  const bool facingRight = s.hero().getPosition().isFacingRight();
  s.only(GLFW_KEY_DOWN);
  s.passes(2);
  if (turn) s.tap(facingRight ? GLFW_KEY_LEFT : GLFW_KEY_RIGHT);  // crouched, an arrow only turns him
  for (long i = 0; i < kMostFrames && !s.enemyStruckNow(); ++i) {
    s.hold(GLFW_KEY_X, true);
    s.pass();
  }
  s.shoot("pile-kick.png");
  s.only(0);
  s.passes(2);

  const float level = s.game.run.level;
  s.fightUntil([&] { return s.game.run.stageOver && s.hero().lives > 0; });
  s.only(0);
  s.passes(48);  // the pose, the next level announced over the stage
  if (s.game.run.level != level) std::fprintf(stderr, "the stage-clear picture came too late\n");
  s.shoot("stage-clear.png");
}

// Records the scene into RUNS_DIR/NAME.nrep, then plays that file back and
// saves its pictures into OUT_DIR.
bool shootScene(Game& game, const std::string& name, void (*script)(Scene&), const std::string& out,
                const std::string& runs) {
  Scene scene(game, 1.0f, out);
  script(scene);
  const std::string path = runs + "/" + name + ".nrep";
  std::ofstream(path) << scene.finish();

  RunFile run;
  if (!loadRun(path, run)) return false;
  beginReplay(game, run);
  size_t next = 0;
  for (long frame = 1; next < scene.shots.size() && frame < 100 * kMostFrames; ++frame) {
    setGameClock(frameTime(frame));
    runDueTicks(game, lookAtClock(game));
    if (game.run.ticksRun != scene.shots[next].tick) continue;
    drawAndSave(game, out + "/" + scene.shots[next].file);
    ++next;
  }
  game.log = RunLog();
  if (next < scene.shots.size()) std::fprintf(stderr, "%s: %s was never reached\n", path.c_str(), scene.shots[next].file.c_str());
  return next == scene.shots.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: nombre_screenshots OUT_DIR RUNS_DIR\n");
    return 2;
  }
  Game game;
  if (startUpHidden(game) != 0) return 1;
  const bool fine = shootScene(game, "pile", pile, argv[1], argv[2]) && shootScene(game, "fight", fight, argv[1], argv[2]);
  return fine ? 0 : 1;
}
