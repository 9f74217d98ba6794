#pragma once
// The process-wide random numbers of the game (the standard generator).
// Reseeding with the seed the generator already starts from, with no number
// drawn since, changes nothing, so it is skipped: every enemy reseeds at
// every tick and that would otherwise dominate the update pass.

void seedChance(unsigned seed);
int drawChance();
