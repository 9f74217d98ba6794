#pragma once
#include <vector>

#include "entities/player.h"

// One update tick at time `now`: the hero with the control code the player holds now, then
// every enemy; an enemy whose death has played out leaves the roster with a
// "Kill" line.
void updateCharacters(Player& player, std::vector<Character>& roster, int code, struct Chance& chance, ClockTicks now);

// Whether those "Kill" lines are written: in play and in a watched replay they
// are; a replay checked without drawing prints only its verdict.
extern bool killLinesShown;
