#include "enemies/roster.h"

void eraseEnemy(std::vector<Character>& roster, size_t index) {
  roster[index].releaseBuffers();
  roster.erase(roster.begin() + static_cast<std::ptrdiff_t>(index));
}

void clearRoster(std::vector<Character>& roster) {
  for (Character& enemy : roster) enemy.releaseBuffers();
  roster.clear();
}
