// How many passes of the real frame loop run per second in play, beside a
// loop that only clears and presents a frame in the same window; what a pass
// costs with sprites drawn whole and trimmed; and the game's pace and CPU
// share while the real loop plays at the display's rate, and uncapped as
// the loop ran before it had a cap.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/bench_game.h"
#include "bench/modes.h"
#include "bench/table.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/draw.h"
#include "rules/control_rules.h"
#include "app/frame_loop.h"

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
  spawnWave(game.run.enemies, *game.run.tovan, game.run.level, game.run.chance);
}

void levelTwelveWave(Game& game) {
  freshBenchStage(game, kSceneClock);
  game.run.level = 12.0f;
  spawnWave(game.run.enemies, *game.run.tovan, game.run.level, game.run.chance);
}

// The level-12 wave once the hero has walked into it: all of it on screen
// around him, as in a fight.
void levelTwelveOnScreen(Game& game) {
  freshBenchStage(game, kSceneClock);
  game.run.level = 12.0f;
  Player& hero = *game.run.tovan;
  placeHero(hero, 3.0f);
  spreadRoster(game.run, 140, 2.1f, 3.9f, game.run.level);
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
  return chooseMode(game.run) == FrameMode::Play && game.run.enemies.size() == rosterSize && game.run.tovan->lives == lives;
}

// A share of one core: CPU seconds of the process per second of wall time.
double cpuShare(const Tally& tally) { return tally.seconds > 0.0 ? tally.cpuSeconds / tally.seconds : 0.0; }

// The game's pace and cost while the real loop plays the scene on the real
// clock, capped at the display's rate as the game runs (one pass after
// another of runPass) and uncapped as it ran before (runFrame, no waiting).
// The enemies close in and strike; the hero is given the health to outlast
// the measurement, so the scene stays.
bool measurePace(Game& game, const Scene& scene, double seconds) {
  Player& hero = *game.run.tovan;
  Tally kept[2];
  double ticksPerSecond[2] = {0.0, 0.0};
  for (int uncapped = 0; uncapped < 2; ++uncapped) {
    scene.setOut(game);
    hero.health = 1 << 30;
    const int lives = hero.lives;
    releaseGameClock();
    setRunTime(game.run.clock, wallClock(), wallClock());
    game.run.tickClock = game.run.spawnClock = game.run.clearClock = game.run.clock.time;
    Tally& pace = kept[uncapped];
    const long ticksBefore = game.run.ticksRun;
    if (uncapped == 1) {
      runFor(seconds, pace, [&] { runFrame(game); });
    } else {
      runFor(seconds, pace, [&] { runPass(game); });
    }
    ticksPerSecond[uncapped] = static_cast<double>(game.run.ticksRun - ticksBefore) / pace.seconds;
    const bool stayed = chooseMode(game.run) == FrameMode::Play && hero.lives == lives;
    setGameClock(kSceneClock);
    if (!stayed) {
      std::fprintf(stderr, "nombre_bench: %s left play while its pace was measured\n", scene.name);
      return false;
    }
  }
  printRow(std::string("game pace, ") + scene.name, ticksPerSecond[0], "ticks/s", 0);
  printRow("  frame loop while it plays", kept[0].perSecond(), "passes/s", 0);
  printRow(std::string("cpu, ") + scene.name, 100.0 * cpuShare(kept[0]), "% of a core", 1);
  printRow("  uncapped, as before the cap: game pace", ticksPerSecond[1], "ticks/s", 0);
  printRow("  uncapped, as before the cap: frame loop", kept[1].perSecond(), "passes/s", 0);
  printRow("  uncapped, as before the cap: cpu", 100.0 * cpuShare(kept[1]), "% of a core", 1);
  printRow("  cpu capped / uncapped", cpuShare(kept[0]) / cpuShare(kept[1]), "ratio", 3);
  return true;
}

// A still screen: the pause menu or game over, as the game runs it (drawn
// once, then asleep until an event) and as it ran before (drawn every pass).
struct StillScene {
  const char* name;
  void (*setOut)(Game&);
  FrameMode mode;
};

void pauseMenu(Game& game) {
  freshBenchStage(game, kSceneClock);
  spawnWave(game.run.enemies, *game.run.tovan, game.run.level, game.run.chance);
  openMenu(game.run);
}

void gameOver(Game& game) {
  freshBenchStage(game, kSceneClock);
  game.run.stageOver = true;
  game.run.tovan->lives = 0;
}

const StillScene kStillScenes[] = {{"pause menu", pauseMenu, FrameMode::Menu},
                                   {"game over", gameOver, FrameMode::GameOver}};

bool measureStill(Game& game, const StillScene& scene, double seconds) {
  scene.setOut(game);
  releaseGameClock();
  Tally now, before;
  for (int round = 0; round < kRounds; ++round) {
    runFor(seconds / kRounds, now, [&] { runPass(game); });
    runFor(seconds / kRounds, before, [&] { runFrame(game); });
  }
  const bool stayed = chooseMode(game.run) == scene.mode;
  setGameClock(kSceneClock);
  if (!stayed) {
    std::fprintf(stderr, "nombre_bench: %s was left while it was measured\n", scene.name);
    return false;
  }
  printRow(std::string("cpu, ") + scene.name, 100.0 * cpuShare(now), "% of a core", 1);
  printRow("  passes (most of them asleep until an event)", now.perSecond(), "passes/s", 0);
  printRow("  drawn every pass, as before", 100.0 * cpuShare(before), "% of a core", 1);
  printRow("  cpu now / as before", cpuShare(now) / cpuShare(before), "ratio", 3);
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
  game.framePace = framePace(false);  // the cap runPass keeps
  framePace(true);  // the pass rates below are the renderer's ceiling
  for (const Scene& scene : kScenes) {
    scene.setOut(game);
    const size_t rosterSize = game.run.enemies.size();
    const int lives = game.run.tovan->lives;
    for (int i = 0; i < kWarmUpPasses; ++i) {
      referencePass(game);
      runFrame(game);
    }
    Tally reference, play, whole, asking;
    // Every sprite once asked the driver whether its vertex array was still
    // there: the pass as it was, with those questions put back.
    const size_t spritesDrawn = game.run.enemies.size() + game.run.hearts.size() + 1;
    const auto askPerSprite = [&] {
      for (size_t i = 0; i < spritesDrawn; ++i) glIsVertexArray(game.drawing.sprites.vao);
    };
    for (int round = 0; round < kRounds; ++round) {
      runFor(seconds / kRounds, reference, [&] { referencePass(game); });
      runFor(seconds / kRounds, play, [&] { runFrame(game); });
      runFor(seconds / kRounds, asking, [&] {
        askPerSprite();
        runFrame(game);
      });
      game.drawing.trimSprites = false;
      runFor(seconds / kRounds, whole, [&] { runFrame(game); });
      game.drawing.trimSprites = true;
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
    const double cpuPerPass = play.cpuSeconds / static_cast<double>(play.passes);
    const double wholeCpuPerPass = whole.cpuSeconds / static_cast<double>(whole.passes);
    printRow("  frame loop, CPU time per pass (all threads)", 1000.0 * cpuPerPass, "ms", 3);
    printRow("  the same, sprites drawn over their whole quads", 1000.0 * wholeCpuPerPass, "ms", 3);
    printRow("  CPU per pass, trimmed / whole sprites", cpuPerPass / wholeCpuPerPass, "ratio", 3);
    const double askingCpuPerPass = asking.cpuSeconds / static_cast<double>(asking.passes);
    printRow("  the same, a driver question per sprite (as before)", 1000.0 * askingCpuPerPass, "ms", 3);
    printRow("  CPU per pass, now / with the questions", cpuPerPass / askingCpuPerPass, "ratio", 3);
    if (!measurePace(game, scene, seconds)) return 1;
  }
  for (const StillScene& scene : kStillScenes) {
    if (!measureStill(game, scene, seconds)) return 1;
  }
  printRow("the cap: one pass per", 1000.0 * game.framePace.period, "ms", 2);
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
  const size_t rosterSize = game.run.enemies.size();
  const int lives = game.run.tovan->lives;
  Tally play;
  const auto start = Clock::now();
  for (int i = 0; i < passes; ++i) runFrame(game);
  play.passes = passes;
  play.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!stillInScene(game, rosterSize, lives)) return 1;
  printRow(std::string("frame loop, ") + scene->name, play.perSecond(), "passes/s", 0);
  return 0;
}
