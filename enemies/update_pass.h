#pragma once
#include <vector>

#include "entities/character.h"

// Every enemy's update at time `now`, in roster order, against where the hero
// stands after his own; an enemy whose death has played out leaves the
// roster. Returns how many left it so.
int updateEnemies(std::vector<Character>& roster, Position heroAt, struct Chance& chance, ClockTicks now);
