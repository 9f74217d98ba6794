#pragma once
// The enemy roster: every live enemy, in spawning order.

#include <cstddef>
#include <vector>

#include "entities/character.h"

void eraseEnemy(std::vector<Character>& roster, std::size_t index);
void clearRoster(std::vector<Character>& roster);
