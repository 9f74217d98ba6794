#include "rules/run.h"

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "rules/control_rules.h"

namespace {

// The seed the opening wave's offsets are drawn from, the same in every run.
constexpr unsigned kRunSeed = 1;

constexpr float kHeartLeft = -0.6f;
constexpr float kHeartStep = 0.1f;

}  // namespace

void bringHeroOn(Run& run) {
  run.tovan.emplace(&run.enemies, FrameSet::Hero, kStartLives);
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
  clearRoster(run.enemies);
  resetControlState(run);
  run.stageOver = false;
  run.endFrameIndex = 0;
  Player& hero = *run.tovan;
  hero.enemies = &run.enemies;
  hero.enlarge(false);
  hero.reset();
  hero.lives = kStartLives;
  hero.runScore = 0;
  hero.playerClockStart = 0;  // as a new hero's
  hero.showFrame(kStandingFrame);
  hero.crouchKicked = false;
  hero.struck = false;
  for (int& started : hero.soundsStarted) started = 0;
  // Nothing of an earlier run's blows stays with him: a run's state is the
  // same whether it is the process's first or not.
  hero.attackBox = AttackBox();
  hero.hitByBlow = hero.blowLanded = hero.attackStarted = hero.blowBuilt = false;
  // Nor the dying a lost life starts (the hero never plays it out).
  hero.dying = hero.deathAnimRunning = hero.dead = false;
  hero.frameIndex = 1;
  hero.clockStart = hero.clockNow = 0;
  run.hearts.clear();
  buildHearts(run);
  hero.playerFrame = 1;
  hero.playerClockNow = 0;
  hero.crouchKickStart = 0;
  hero.struckAt = 0;
  run.level = 1.0f;
  run.ticksRun = 0;
  run.tickClock = run.spawnClock = run.clearClock = now;
  run.clock = RunClock();
  run.pace = kGamePace;
  run.tickCarry = 0;
  hero.classicBlows = false;
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
