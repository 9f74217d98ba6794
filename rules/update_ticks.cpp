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

void playTick(Game& game) {
  Player& hero = *game.tovan;
  if (elapsedMs(game.tickClock, game.spawnClock) > reinforcementInterval(game.level)) {
    game.spawnClock = game.tickClock;
    spawnReinforcements(game.enemies, hero, game.level, game.chance, game.tickClock);
  }
  updateCharacters(hero, game.enemies, game.controlCode, game.chance, game.tickClock);
  heroTicked(game, hero.state == Crouching || hero.state == CrouchKick);
  if (resolveHits(hero, game.enemies, game.level, game.hearts, game.chance, game.tickClock)) game.stageOver = true;
  if (!game.stageOver && hero.getPosition().getX() >= kStageEndX) {
    game.stageOver = true;  // the stage-clear poses start at this tick
    game.clearClock = game.tickClock;
    clearRoster(game.enemies);  // nothing fights while he poses; the next wave comes at the end
  }
}

// The hero poses by time since the stage ended; then the next level starts
// with its opening wave.
void stageClearTick(Game& game) {
  Player& hero = *game.tovan;
  hero.enlarge(true);
  const double e = elapsedMs(game.tickClock, game.clearClock);
  for (const PoseStep& step : kStageClearPoses) {
    if (e > step.after) game.endFrameIndex = step.endFrame;
  }
  hero.shown = SpriteFrame{FrameSet::HeroPoses, game.endFrameIndex};
  if (e > kStageClearLasts) {
    hero.enlarge(false);
    hero.reset();
    game.level += 1.0f;
    game.stageOver = false;
    spawnWave(game.enemies, hero, game.level, game.chance);
  }
}

}  // namespace

bool gameIsOver(const Game& game) { return game.stageOver && game.tovan->lives == 0; }

ClockTicks nextTickTime(const Game& game) {
  return game.tickClock + (game.tickCarry + game.pace.num) / game.pace.den;
}

bool runNextTick(Game& game) {
  if (game.menuOpen || gameIsOver(game)) return false;
  game.tickClock = nextTickTime(game);
  game.tickCarry = (game.tickCarry + game.pace.num) % game.pace.den;
  if (game.stageOver) {
    stageClearTick(game);
  } else {
    playTick(game);
  }
  ++game.ticksRun;
  return true;
}
