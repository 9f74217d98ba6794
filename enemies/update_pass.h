#pragma once
#include <vector>

#include "entities/player.h"

// One update tick: the hero with the current control code, then every enemy;
// an enemy whose death has played out leaves the roster with a "Kill" line.
void updateCharacters(Player& player, std::vector<Character>& roster);
