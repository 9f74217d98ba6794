#pragma once
// The random numbers of a run. Each run keeps its own generator, so two runs
// in one process never draw from each other; it gives exactly the numbers of
// the C library's standard generator (glibc's rand) for the same seeds, so
// every run recorded before draws the same again.
// Reseeding with the seed the generator already starts from, with no number
// drawn since, changes nothing, so it is skipped: every enemy reseeds at
// every tick and that would otherwise dominate the update pass.

#include <cstdint>

constexpr int kChanceDegree = 31;
constexpr int kChanceSeparation = 3;

struct Chance {
  std::int32_t table[kChanceDegree] = {};
  int front = kChanceSeparation;  // the two taps into the table
  int rear = 0;
  bool fresh = false;  // seeded with lastSeed and nothing drawn since
  unsigned lastSeed = 0;
  bool seeded = false;  // a run that draws before any seed draws as from seed 1
};

void seedChance(Chance& chance, unsigned seed);
int drawChance(Chance& chance);
