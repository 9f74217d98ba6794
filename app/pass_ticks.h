#pragma once
// The ticks of a pass of the frame loop: the ticks come due since the last
// pass run one by one (rules/update_ticks.h), each between the turns of the
// log held beside the run, so the log hands a replay's inputs to the tick
// and records or checks what it did.

#include <functional>

#include "app/game.h"
#include "runs/run_log.h"

// Runs the ticks due at game time `now` since `run.tickClock`, each between
// the turns of `log` (if any), which is told of the ticks dropped. Each tick
// resolves its own hits, and nothing between two ticks moves a fighter, so a
// pass with no tick due has nothing to resolve. `notes`, when given, are
// taken around each tick for the picture; `afterTick`, when given, is told of
// each tick that ran; `stopped`, when given, says whether a tick due could not
// run (the menu is open, the game is over, or a replay has reached the end of
// its run). Returns how many ticks ran.
int runDueTicks(Run& run, RunLog* log, ClockTicks now, TickNotes* notes = nullptr,
                const std::function<void(const Run&)>& afterTick = {}, bool* stopped = nullptr);
// The ticks due in the game's run, with its log, noted for its picture;
// then, if the game writes them, a "Kill" line for each enemy defeated in them.
int runDueTicks(Game& game, ClockTicks now);
