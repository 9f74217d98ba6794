#include "enemies/roster.h"

void eraseEnemy(std::vector<Character>& roster, std::size_t index) {
  roster.erase(roster.begin() + static_cast<std::ptrdiff_t>(index));
}

void clearRoster(std::vector<Character>& roster) {
  roster.clear();
}
