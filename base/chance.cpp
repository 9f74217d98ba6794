#include "base/chance.h"

#include <cstdlib>

namespace {
bool fresh = false;  // seeded with lastSeed and nothing drawn since
unsigned lastSeed = 0;
}  // namespace

void seedChance(unsigned seed) {
  if (fresh && seed == lastSeed) return;
  std::srand(seed);
  fresh = true;
  lastSeed = seed;
}

int drawChance() {
  fresh = false;
  return std::rand();
}
