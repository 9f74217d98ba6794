#include "enemies/update_pass.h"

#include "base/chance.h"
#include "base/console.h"
#include "enemies/roster.h"

bool killLinesShown = true;

void updateCharacters(Player& player, std::vector<Character>& roster, int code, Chance& chance, ClockTicks now) {
  player.update(code, now, roster);
  // The size is read again at every step; the enemy that moves into an
  // erased place waits for the next pass.
  for (size_t i = 0; i < roster.size(); ++i) {
    roster[i].updateNPC(player.getPosition(), chance, now);
    if (roster[i].isDead()) {
      if (killLinesShown) consoleLine("Kill");
      eraseEnemy(roster, i);
    }
  }
}
