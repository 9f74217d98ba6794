// How many passes of the real frame loop run per second in play, beside a
// loop that only clears and presents a frame in the same window.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/game_state.h"
#include "bench/bench_game.h"
#include "bench/modes.h"
#include "bench/table.h"
#include "enemies/roster.h"
#include "enemies/waves.h"

namespace {

using Clock = std::chrono::steady_clock;

// The clock stays pinned here during the scene: no update tick, spawn or
// blow happens, so every pass draws the same roster with the hero in play.
constexpr ClockTicks kSceneClock = 1000;
constexpr int kWarmUpPasses = 30;
constexpr int kRounds = 5;  // game and reference take turns, against drift

struct Scene {
  const char* name;
  void (*setOut)(Game&);
};

void openingWave(Game& game) {
  freshBenchStage(game, kSceneClock);
  spawnWave(*game.tovan, game.level);
}

void levelTwelveWave(Game& game) {
  freshBenchStage(game, kSceneClock);
  game.level = 12.0f;
  spawnWave(*game.tovan, game.level);
}

// The level-12 wave once the hero has walked into it: all of it on screen
// around him, as in a fight.
void levelTwelveOnScreen(Game& game) {
  freshBenchStage(game, kSceneClock);
  game.level = 12.0f;
  Player& hero = *game.tovan;
  placeHero(hero, 3.0f);
  spreadRoster(hero, 140, 2.1f, 3.9f, game.level);
}

const Scene kScenes[] = {
    {"level 1 wave", openingWave},
    {"level 12 wave", levelTwelveWave},
    {"level 12, 140 on screen", levelTwelveOnScreen},
};

void referencePass(Game& game) {
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glfwSwapBuffers(game.window);
  glfwPollEvents();
}

// CPU time of every thread of the process (the renderer's too), in seconds.
double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const timeval& u = usage.ru_utime;
  const timeval& s = usage.ru_stime;
  return static_cast<double>(u.tv_sec + s.tv_sec) + static_cast<double>(u.tv_usec + s.tv_usec) / 1e6;
}

struct Tally {
  long passes = 0;
  double seconds = 0.0;
  double cpuSeconds = 0.0;
  double perSecond() const { return seconds > 0.0 ? static_cast<double>(passes) / seconds : 0.0; }
};

template <class Pass>
void runFor(double seconds, Tally& tally, Pass pass) {
  const double cpuStart = processCpuSeconds();
  const auto start = Clock::now();
  std::chrono::duration<double> spent{0.0};
  long passes = 0;
  do {
    pass();
    ++passes;
    spent = Clock::now() - start;
  } while (spent.count() < seconds);
  tally.passes += passes;
  tally.seconds += spent.count();
  tally.cpuSeconds += processCpuSeconds() - cpuStart;
}

// Whether the pass just run was still play with the scene's roster and no life lost.
bool stillInScene(const Game& game, size_t rosterSize, int lives) {
  return chooseMode(game) == FrameMode::Play && enemies.size() == rosterSize && game.tovan->lives == lives;
}

// The game's pace: update ticks per second of wall time while the real loop
// plays the scene on the real clock. The enemies close in and strike; the
// hero is given the health to outlast the measurement, so the scene stays.
bool measurePace(Game& game, const Scene& scene, double seconds) {
  scene.setOut(game);
  Player& hero = *game.tovan;
  hero.health = 1 << 30;
  const int lives = hero.lives;
  releaseGameClock();
  game.tickClock = game.spawnClock = game.clearClock = gameClock();
  Tally pace;
  const long ticksBefore = game.ticksRun;
  runFor(seconds, pace, [&] { runFrame(game); });
  const double ticksPerSecond = static_cast<double>(game.ticksRun - ticksBefore) / pace.seconds;
  const bool stayed = chooseMode(game) == FrameMode::Play && hero.lives == lives;
  setGameClock(kSceneClock);
  if (!stayed) {
    std::fprintf(stderr, "nombre_bench: %s left play while its pace was measured\n", scene.name);
    return false;
  }
  printRow(std::string("game pace, ") + scene.name, ticksPerSecond, "ticks/s", 0);
  printRow("  frame loop while it plays", pace.perSecond(), "passes/s", 0);
  return true;
}

const Scene* findScene(const char* name) {
  for (const Scene& scene : kScenes) {
    if (std::strcmp(scene.name, name) == 0) return &scene;
  }
  return nullptr;
}

}  // namespace

int runFrameRates(double seconds) {
  Game& game = benchGame(true);
  for (const Scene& scene : kScenes) {
    scene.setOut(game);
    const size_t rosterSize = enemies.size();
    const int lives = game.tovan->lives;
    for (int i = 0; i < kWarmUpPasses; ++i) {
      referencePass(game);
      runFrame(game);
    }
    Tally reference, play;
    for (int round = 0; round < kRounds; ++round) {
      runFor(seconds / kRounds, reference, [&] { referencePass(game); });
      runFor(seconds / kRounds, play, [&] { runFrame(game); });
    }
    const std::string name = std::string(scene.name) + " (" + std::to_string(rosterSize) + " enemies)";
    if (!stillInScene(game, rosterSize, lives)) {
      std::fprintf(stderr, "nombre_bench: %s left play during the measurement\n", name.c_str());
      return 1;
    }
    printRow("frame loop, " + name, play.perSecond(), "passes/s", 0);
    printRow("  clear and present only, same window", reference.perSecond(), "passes/s", 0);
    printRow("  frame loop / clear and present", play.perSecond() / reference.perSecond(), "ratio", 3);
    printRow("  frame loop, time per pass", 1000.0 / play.perSecond(), "ms", 3);
    printRow("  frame loop, CPU time per pass (all threads)", 1000.0 * play.cpuSeconds / play.passes, "ms", 3);
    if (!measurePace(game, scene, seconds)) return 1;
  }
  freshBenchStage(game, kSceneClock);
  releaseGameClock();
  return 0;
}

int runProfile(const char* sceneName, int passes) {
  const Scene* scene = findScene(sceneName);
  if (scene == nullptr) {
    std::fprintf(stderr, "scenes:");
    for (const Scene& known : kScenes) std::fprintf(stderr, " \"%s\"", known.name);
    std::fprintf(stderr, "\n");
    return std::strcmp(sceneName, "list") == 0 ? 0 : 1;
  }
  Game& game = benchGame(true);
  scene->setOut(game);
  const size_t rosterSize = enemies.size();
  const int lives = game.tovan->lives;
  Tally play;
  const auto start = Clock::now();
  for (int i = 0; i < passes; ++i) runFrame(game);
  play.passes = passes;
  play.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!stillInScene(game, rosterSize, lives)) return 1;
  printRow(std::string("frame loop, ") + scene->name, play.perSecond(), "passes/s", 0);
  return 0;
}
