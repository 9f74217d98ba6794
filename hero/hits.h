#pragma once
#include <vector>

#include "entities/player.h"

// Applies the blows of one frame both ways: the hero's live blow against each
// enemy, then each enemy's live blow against the hero, with the score, the
// loss of a life and the end of the game.
void resolveHits(Player& player, std::vector<Character>& roster, float level);
