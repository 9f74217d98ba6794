#include "bench/bench_game.h"

#include <cstdio>
#include <cstdlib>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/frames.h"
#include "rules/control_rules.h"
#include "app/frame_loop.h"

Game& benchGame(bool visible) {
  static Game* game = nullptr;
  if (game != nullptr) return *game;
  glfwInit();
  glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
  game = new Game();
  if (startUp(*game) != 0) {
    std::fprintf(stderr, "nombre_bench: the game did not start (run it from build/run under Xvfb)\n");
    std::exit(1);
  }
  startSounds(game->sounds, game->settings);
  return *game;
}

void freshBenchStage(Game& game, ClockTicks now) {
  setGameClock(now);
  restartGame(game, now);
}

void placeHero(Player& hero, float x) {
  hero.position.x = x;
  hero.hitbox.position.x = x;
}

void spreadRoster(Run& run, int count, float from, float to, float level) {
  const Player& hero = *run.tovan;
  const float step = count > 1 ? (to - from) / static_cast<float>(count - 1) : 0.0f;
  const float heroX = hero.getPosition().getX();
  for (int i = 0; i < count; ++i) spawnEnemy(run.enemies, i % 2 + 1, from + step * static_cast<float>(i), heroX, level);
}
