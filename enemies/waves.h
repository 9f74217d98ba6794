#pragma once
// Filling the roster: the standing wave of a stage, and reinforcements that
// arrive every few seconds from either side.

#include "base/chance.h"
#include "entities/player.h"

// Five clusters ahead of the hero, larger as the level rises.
void spawnWave(std::vector<Character>& roster, const Player& player, float level, Chance& chance);
// One enemy ahead, one behind, or a group of three behind, by chance.
// `now` is the time of the tick they come at.
void spawnReinforcements(std::vector<Character>& roster, const Player& player, float level, Chance& chance,
                         ClockTicks now);

// Builds one enemy of a kind (1 or 2) at stage x and adds it to the roster,
// its quad placed relative to the hero.
void spawnEnemy(std::vector<Character>& roster, int kind, float x, float playerX, float level);
