#include "rules/update_ticks.h"

#include "enemies/roster.h"
#include "enemies/update_pass.h"
#include "enemies/waves.h"
#include "rules/control_rules.h"
#include "rules/hits.h"

namespace {

// From level 10 on, a reinforcement every 3 s; before, 200 ms less per level from 5 s.
double reinforcementInterval(float level) {
  float interval = 5000.0f - level * 1000.0f / 5.0f;
  if (3000.0f > interval) interval = 3000.0f;
  return interval;
}

void playTick(Run& run) {
  Player& hero = *run.tovan;
  if (elapsedMs(run.tickClock, run.spawnClock) > reinforcementInterval(run.level)) {
    run.spawnClock = run.tickClock;
    spawnReinforcements(run.enemies, hero, run.level, run.chance, run.tickClock);
  }
  updateCharacters(hero, run.enemies, run.controlCode, run.chance, run.tickClock);
  heroTicked(run, hero.state == Crouching || hero.state == CrouchKick);
  if (resolveHits(hero, run.enemies, run.level, run.hearts, run.chance, run.tickClock)) run.stageOver = true;
  if (!run.stageOver && hero.getPosition().getX() >= kStageEndX) {
    run.stageOver = true;  // the stage-clear poses start at this tick
    run.clearClock = run.tickClock;
    clearRoster(run.enemies);  // nothing fights while he poses; the next wave comes at the end
  }
}

// The hero poses by time since the stage ended; then the next level starts
// with its opening wave.
void stageClearTick(Run& run) {
  Player& hero = *run.tovan;
  hero.enlarge(true);
  const double e = elapsedMs(run.tickClock, run.clearClock);
  for (const PoseStep& step : kStageClearPoses) {
    if (e > step.after) run.endFrameIndex = step.endFrame;
  }
  hero.shown = SpriteFrame{FrameSet::HeroPoses, run.endFrameIndex};
  if (e > kStageClearLasts) {
    hero.enlarge(false);
    hero.reset();
    run.level += 1.0f;
    run.stageOver = false;
    spawnWave(run.enemies, hero, run.level, run.chance);
  }
}

}  // namespace

void updateCharacters(Player& hero, std::vector<Character>& roster, int code, Chance& chance, ClockTicks now) {
  hero.update(code, now, roster);
  hero.kills += updateEnemies(roster, hero.getPosition(), chance, now);
}

bool gameIsOver(const Run& run) { return run.stageOver && run.tovan->lives == 0; }

ClockTicks nextTickTime(const Run& run) {
  return run.tickClock + (run.tickCarry + run.pace.num) / run.pace.den;
}

bool runNextTick(Run& run) {
  if (run.menuOpen || gameIsOver(run)) return false;
  run.tickClock = nextTickTime(run);
  run.tickCarry = (run.tickCarry + run.pace.num) % run.pace.den;
  if (run.stageOver) {
    stageClearTick(run);
  } else {
    playTick(run);
  }
  ++run.ticksRun;
  return true;
}
