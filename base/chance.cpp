#include "base/chance.h"

namespace {

// The additive feedback generator of degree 31: the table is filled by a
// multiplicative generator from the seed, then stirred 310 times.
constexpr int kStirs = 10 * kChanceDegree;

std::int32_t nextOfSeed(std::int32_t word) {
  // 16807 * word % 2147483647 without overflow.
  const std::int32_t hi = word / 127773;
  const std::int32_t lo = word % 127773;
  std::int32_t next = 16807 * lo - 2836 * hi;
  if (next < 0) next += 2147483647;
  return next;
}

int step(Chance& chance) {
  std::int32_t* t = chance.table;
  const std::uint32_t sum = static_cast<std::uint32_t>(t[chance.front]) + static_cast<std::uint32_t>(t[chance.rear]);
  t[chance.front] = static_cast<std::int32_t>(sum);
  if (++chance.front >= kChanceDegree) chance.front = 0;
  if (++chance.rear >= kChanceDegree) chance.rear = 0;
  return static_cast<int>(sum >> 1);
}

void fill(Chance& chance, unsigned seed) {
  if (seed == 0) seed = 1;
  chance.table[0] = static_cast<std::int32_t>(seed);
  for (int i = 1; i < kChanceDegree; ++i) chance.table[i] = nextOfSeed(chance.table[i - 1]);
  chance.front = kChanceSeparation;
  chance.rear = 0;
  for (int i = 0; i < kStirs; ++i) step(chance);
  chance.seeded = true;
}

}  // namespace

void seedChance(Chance& chance, unsigned seed) {
  if (chance.fresh && seed == chance.lastSeed) return;
  fill(chance, seed);
  chance.fresh = true;
  chance.lastSeed = seed;
}

int drawChance(Chance& chance) {
  if (!chance.seeded) fill(chance, 1);
  chance.fresh = false;
  return step(chance);
}
