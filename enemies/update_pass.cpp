#include "enemies/update_pass.h"

#include "base/chance.h"
#include "enemies/roster.h"

int updateEnemies(std::vector<Character>& roster, Position heroAt, Chance& chance, ClockTicks now) {
  int gone = 0;
  // The size is read again at every step; the enemy that moves into an
  // erased place waits for the next pass.
  for (size_t i = 0; i < roster.size(); ++i) {
    roster[i].updateNPC(heroAt, chance, now);
    if (roster[i].isDead()) {
      ++gone;
      eraseEnemy(roster, i);
    }
  }
  return gone;
}
