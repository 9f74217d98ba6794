#pragma once
#include <vector>

#include "base/chance.h"
#include "entities/player.h"

// Applies the blows of the tick at `now` both ways: the hero's live blow against each
// enemy, then each enemy's live blow against the hero, with the score, the
// loss of a life (a heart goes, the stage starts over with a fresh wave).
// Returns whether the hero has just lost his last life: the game is over.
bool resolveHits(Player& player, std::vector<Character>& roster, float level, std::vector<Element>& hearts,
                 Chance& chance, ClockTicks now);
