#include "app/update_ticks.h"

#include "app/game_state.h"
#include "app/input.h"
#include "enemies/update_pass.h"
#include "hero/hits.h"

int runUpdateTicks(ClockTicks& tickClock, ClockTicks now, Player& hero, std::vector<Character>& roster,
                   float level) {
  int ticks = 0;
  while (elapsedMs(now, tickClock) > kTickDueAfter) {
    if (ticks == kMostTicksPerPass) {
      tickClock = now;  // too far behind to catch up: the rest is dropped
      break;
    }
    tickClock += kTickLength;
    const HeldClock atTick(tickClock);
    updateCharacters(hero, roster, controlCode);
    heroTicked(hero.state == Crouching || hero.state == CrouchKick);
    resolveHits(hero, roster, level);
    ++ticks;
    if (stageOver || hero.getPosition().getX() >= kStageEndX) break;
  }
  if (ticks == 0) resolveHits(hero, roster, level);
  return ticks;
}
