#pragma once
// The enemy roster: every live enemy, in spawning order. Enemies leave it
// with their GL objects released (copies share them, so it happens once,
// here, and never for the hero's or a heart's objects).

#include <vector>

#include "entities/character.h"

void eraseEnemy(std::vector<Character>& roster, size_t index);
void clearRoster(std::vector<Character>& roster);
