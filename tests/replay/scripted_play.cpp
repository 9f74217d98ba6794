#include "tests/replay/scripted_play.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/frame_loop.h"
#include "app/pass_ticks.h"
#include "app/replay.h"
#include "enemies/roster.h"
#include "app/window_callbacks.h"
#include "rules/control_rules.h"
#include "rules/update_ticks.h"
#include "runs/run_log.h"

namespace {

// The keys the script holds, sent to the control rules as they change.
class Hand {
 public:
  explicit Hand(Game& g) : game(g) {}
  void hold(int key, bool down) {
    bool& held = keys[key];
    if (held == down) return;
    held = down;
    sendKey(game, key, down ? GLFW_PRESS : GLFW_RELEASE);
  }
  void tap(int key) {
    sendKey(game, key, GLFW_PRESS);
    sendKey(game, key, GLFW_RELEASE);
  }
  void only(int key) {
    for (int k : {GLFW_KEY_RIGHT, GLFW_KEY_LEFT, GLFW_KEY_X}) {
      if (k != key) hold(k, false);
    }
    if (key != 0) hold(key, true);
  }

 private:
  Game& game;
  bool keys[GLFW_KEY_LAST + 1] = {};
};

// Kicks an enemy in reach ahead; turns to one close behind; else walks right.
int fightKey(const Game& game) {
  const Player& hero = *game.run.tovan;
  const float x = hero.getPosition().getX();
  const bool right = hero.getPosition().isFacingRight();
  bool ahead = false;
  bool behind = false;
  for (const Character& enemy : game.run.enemies) {
    if (enemy.dying || enemy.isDead()) continue;
    const float d = enemy.getPosition().getX() - x;
    if (std::fabs(d) > 0.22f) continue;
    ((d >= 0) == right ? ahead : behind) = true;
  }
  if (ahead) return GLFW_KEY_X;
  if (behind) return right ? GLFW_KEY_LEFT : GLFW_KEY_RIGHT;
  return GLFW_KEY_RIGHT;
}

}  // namespace

std::string playScripted(Game& game, const std::vector<Step>& steps, ClockTicks passMs, float level,
                         ClockTicks start, RecordingFile* file) {
  setGameClock(start);
  startRun(game, level, start);
  game.log.beginRecording(game.run, file);
  Hand hand(game);
  ClockTicks wall = start;
  const auto pass = [&] {
    wall += passMs;
    setGameClock(wall);
    if (!game.run.menuOpen && !(game.run.stageOver && game.run.tovan->lives == 0)) runDueTicks(game, lookAtClock(game));
  };
  for (const Step& step : steps) {
    const ClockTicks until = wall + step.ms;
    if (step.act == Act::Pause) {
      hand.only(0);
      hand.tap(GLFW_KEY_ESCAPE);
      while (wall < until) pass();
      hand.tap(GLFW_KEY_ESCAPE);
      continue;
    }
    if (step.act == Act::Stall) {
      wall += step.ms;
      pass();
      continue;
    }
    while (wall < until && !(step.untilLevel > 0 && game.run.level >= step.untilLevel) && !gameIsOver(game.run)) {
      if (step.act == Act::Walk) hand.only(GLFW_KEY_RIGHT);
      if (step.act == Act::Stand) hand.only(0);
      if (step.act == Act::Fight) hand.only(fightKey(game));
      pass();
    }
  }
  hand.only(0);
  const std::string text = game.log.finish(game.run);
  game.log = RunLog();
  return text;
}

std::uint64_t replayAtPasses(Game& game, const std::string& text, ClockTicks passMs, std::int64_t* differsAt) {
  RunFile run;
  std::string why;
  if (!parseRunFile(text, run, why)) {
    std::fprintf(stderr, "not a run: %s\n", why.c_str());
    std::abort();
  }
  ClockTicks wall = 1000;  // another wall than the recording's: only game time counts
  setGameClock(wall);
  beginReplay(game, run);
  for (long pass = 0; !game.log.replayDone(game.run) && pass < 10000000; ++pass) {
    wall += passMs;
    setGameClock(wall);
    runDueTicks(game, lookAtClock(game));
  }
  if (differsAt != nullptr) *differsAt = game.log.firstDifference();
  const std::uint64_t hash = game.log.runHash(game.run);
  game.log = RunLog();
  return hash;
}
