#pragma once
// The play frame's update ticks. Every move is a fixed step per tick and a
// tick is 3 ms of game time, so a pass runs every tick that has come due
// since the last one, each at its own time: the game keeps its pace however
// few passes a second the display allows, and a blow that is live for one
// tick meets the hits resolved right after that tick.

#include <vector>

#include "base/clock.h"
#include "entities/player.h"

constexpr ClockTicks kTickLength = 3;  // ms of game time per update tick
constexpr double kTickDueAfter = 2.0;  // a tick is due once more than this has passed
constexpr int kMostTicksPerPass = 20;  // 60 ms of game; a longer stall is dropped

// Runs the ticks due at `now` since `tickClock`, advancing it by one tick
// length each: the hero and the enemies are updated with the clock held at
// the tick's time, then the hits of that tick are resolved. A pass with no
// tick due still resolves hits once. Stops once the stage is over or the
// hero has reached its end. Returns how many ticks ran.
int runUpdateTicks(ClockTicks& tickClock, ClockTicks now, Player& hero, std::vector<Character>& roster,
                   float level);
