#include "app/pass_ticks.h"

#include "app/play_picture.h"
#include "base/console.h"
#include "rules/update_ticks.h"

int runDueTicks(Run& run, RunLog* log, ClockTicks now, TickNotes* notes, const std::function<void(const Run&)>& afterTick,
                bool* stopped) {
  int ticks = 0;
  if (stopped != nullptr) *stopped = false;
  while (now >= nextTickTime(run)) {
    if (ticks == run.pace.mostPerPass) {
      if (log != nullptr && log->replaying()) {
        // A run played back drops only what its player's game dropped: too
        // far behind, the playback falls back instead.
        run.clock.time = run.tickClock;
        break;
      }
      // Too far behind to catch up: the rest is dropped, and the run says so.
      if (log != nullptr) log->ticksDropped(run, now - run.tickClock);
      run.tickClock = now;
      break;
    }
    if (notes != nullptr) noteBeforeTick(*notes, run);
    if (!runLoggedTick(run, log)) {
      if (stopped != nullptr) *stopped = true;
      break;
    }
    if (notes != nullptr) noteAfterTick(*notes, run);
    if (afterTick) afterTick(run);
    ++ticks;
  }
  return ticks;
}

int runDueTicks(Game& game, ClockTicks now) {
  const std::int64_t killsBefore = game.run.tovan->kills;
  const int ticks = runDueTicks(game.run, &game.log, now, &game.notes);
  if (!game.killLines) return ticks;
  for (std::int64_t kill = killsBefore; kill < game.run.tovan->kills; ++kill) consoleLine("Kill");
  return ticks;
}
