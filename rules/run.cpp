#include "rules/run.h"

#include "enemies/roster.h"
#include "enemies/waves.h"

namespace {

// The seed the opening wave's offsets are drawn from, the same in every run.
constexpr unsigned kRunSeed = 1;

constexpr float kHeartLeft = -0.6f;
constexpr float kHeartStep = 0.1f;

}  // namespace

void bringHeroOn(Run& run) {
  run.tovan.emplace(FrameSet::Hero, kStartLives);
  buildHearts(run);
}

void buildHearts(Run& run) {
  for (int i = 0; i < kStartLives; ++i) {
    Element vida(1.0f, Position(), Hitbox());
    const float left = kHeartLeft + kHeartStep * i;
    const float right = left + kHeartStep;
    // Left-top, left-bottom, right-bottom, right-top: the picture is mirrored.
    const float verticesVida[12] = {left, kHudTop, 0.0f, left, kHudBottom, 0.0f,
                                    right, kHudBottom, 0.0f, right, kHudTop, 0.0f};
    vida.setVertices(verticesVida);
    vida.shown = SpriteFrame{FrameSet::Heart, 0};
    run.hearts.push_back(vida);
  }
}

void resetRun(Run& run, ClockTicks now) {
  // A fresh value: nothing of an earlier run stays, whatever a run holds; a
  // run's state is the same whether it is the process's first or not.
  run = Run();
  bringHeroOn(run);
  run.tickClock = run.spawnClock = run.clearClock = now;
}

void beginRun(Run& run, float level, ClockTicks now, TickPace pace) {
  resetRun(run, now);
  run.level = level;
  run.pace = pace;
  run.tovan->classicBlows = pace.classic;
  // The opening wave's offsets are the first numbers a run draws.
  seedChance(run.chance, kRunSeed);
  spawnWave(run.enemies, *run.tovan, run.level, run.chance);
}
