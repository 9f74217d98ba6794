#include "enemies/update_pass.h"

#include <cstdio>

#include "app/input.h"
#include "enemies/roster.h"

void updateCharacters(Player& player, std::vector<Character>& roster) {
  player.update(controlCode);
  // The size is read again at every step; the enemy that moves into an
  // erased place waits for the next pass.
  for (size_t i = 0; i < roster.size(); ++i) {
    roster[i].updateNPC(player.getPosition());
    if (roster[i].isDead()) {
      std::printf("Kill\n");
      std::fflush(stdout);
      eraseEnemy(roster, i);
    }
  }
}
