#pragma once
// The ticks of a pass of the frame loop: the ticks come due since the last
// pass run one by one (rules/update_ticks.h), each between the run log's
// turns, so the log hands a replay's inputs to the tick and records or checks
// what it did.

#include "rules/game_state.h"

// Runs the ticks due at game time `now` since `game.tickClock`. Each tick
// resolves its own hits, and nothing between two ticks moves a fighter, so a
// pass with no tick due has nothing to resolve. Returns how many ticks ran.
int runDueTicks(Game& game, ClockTicks now);

// Runs the next tick after the run's log has given it its inputs, and lets
// the log note it. Returns false, running nothing, while the menu is open,
// the game is over, or a replay has reached the end of its run.
bool runLoggedTick(Game& game);
