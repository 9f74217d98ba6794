#include "rules/hits.h"

#include "enemies/roster.h"
#include "enemies/waves.h"

namespace {

void loseLife(Player& player, std::vector<Character>& roster, float level, std::vector<Element>& hearts,
              Chance& chance) {
  hearts.erase(hearts.begin() + (player.lives - 1));
  player.lives -= 1;
  player.reset();
  clearRoster(roster);
  spawnWave(roster, player, level, chance);
}

}  // namespace

bool resolveHits(Player& player, std::vector<Character>& roster, float level, std::vector<Element>& hearts,
                 Chance& chance, ClockTicks now) {
  bool lastLifeLost = false;
  bool landed = false;  // one impact is heard however many blows land at once
  if (player.isAttacking()) {
    const AttackBox attack = player.getAttackBox();
    for (size_t i = 0; i < roster.size(); ++i) {
      Character& enemy = roster[i];
      if (attack.getBox().overlaps(enemy.getHitbox()) && !enemy.isHitByBlow()) {
        enemy.setHitByBlow(true);
        enemy.markStruck(now);
        landed = true;
        if (enemy.takeDamage(attack.getDamage())) {
          player.raiseMultiplier();
          player.addScore(enemy.getScore());
        }
      }
    }
  }

  for (size_t j = 0; j < roster.size(); ++j) {
    if (!roster[j].isAttacking()) continue;
    const AttackBox attack = roster[j].getAttackBox();
    if (attack.getBox().overlaps(player.getHitbox()) && !roster[j].hasLandedBlow()) {
      roster[j].setBlowLanded(true);
      player.markStruck(now);  // kept by the reset after a lost life: he starts over flashing
      landed = true;
      if (player.takeDamage(attack.getDamage())) {
        loseLife(player, roster, level, hearts, chance);
        if (player.lives == 0) lastLifeLost = true;
      } else {
        player.resetMultiplier();
      }
    }
  }
  if (landed) player.playImpact();
  return lastLifeLost;
}
