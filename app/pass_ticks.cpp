#include "app/pass_ticks.h"

#include "app/play_picture.h"
#include "rules/update_ticks.h"
#include "runs/run_log.h"

int runDueTicks(Game& game, ClockTicks now) {
  int ticks = 0;
  while (now >= nextTickTime(game)) {
    if (ticks == game.pace.mostPerPass) {
      if (playingBack(game)) {
        // A run played back drops only what its player's game dropped: too
        // far behind, the playback falls back instead.
        game.clock.time = game.tickClock;
        break;
      }
      // Too far behind to catch up: the rest is dropped, and the run says so.
      if (game.log != nullptr) game.log->ticksDropped(game, now - game.tickClock);
      game.tickClock = now;
      break;
    }
    noteBeforeTick(game);
    if (!runLoggedTick(game)) break;
    noteAfterTick(game);
    ++ticks;
  }
  return ticks;
}
