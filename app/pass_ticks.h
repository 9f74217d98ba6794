#pragma once
// The ticks of a pass of the frame loop: the ticks come due since the last
// pass run one by one (rules/update_ticks.h), each between the run log's
// turns, so the log hands a replay's inputs to the tick and records or checks
// what it did.

#include "runs/run_check.h"  // runLoggedTick
#include "shell/game.h"

// Runs the ticks due at game time `now` since `game.tickClock`. Each tick
// resolves its own hits, and nothing between two ticks moves a fighter, so a
// pass with no tick due has nothing to resolve. Returns how many ticks ran.
int runDueTicks(Game& game, ClockTicks now);
