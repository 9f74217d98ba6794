#include "enemies/waves.h"


#include "base/chance.h"
#include "enemies/roster.h"

namespace {

constexpr int kEnemyHealth = 100;
constexpr int kEnemyScore = 50;
constexpr float kKind1Speed = 0.005f;
constexpr float kKind2Speed = 0.007f;
constexpr int kClusters = 5;

// Reinforcements.
constexpr int kReinforcementChoices = 5;
constexpr double kAheadLimit = 4.5;   // no enemy ahead this close to the stage's end
constexpr double kBehindLimit = 0.7;  // no enemy behind this close to its start
constexpr float kSingleDistance = 1.0f;
constexpr double kGroupStart = 1.5;

// r in {0, 0.1, 0.2, 0.3}
float randomOffset(Chance& chance) { return static_cast<float>((drawChance(chance) % 4) / 10.0); }

}  // namespace

void spawnEnemy(std::vector<Character>& roster, int kind, float x, float playerX, float level) {
  const int power = static_cast<int>(10.0f * level + 40.0f);
  const Position at(x, 0.0f);
  const Character enemy(kEnemyHealth, power, kind == 2 ? kKind2Speed : kKind1Speed, at,
                        Hitbox(at, kBodyHalfWidth, kBodyHalfHeight), kEnemyScore,
                        kind == 2 ? FrameSet::Enemy2 : FrameSet::Enemy);
  roster.push_back(enemy);
  roster.back().shiftVertices(true, playerX);
}

void spawnWave(std::vector<Character>& roster, const Player& player, float level, Chance& chance) {
  const float playerX = player.getPosition().getX();
  // The single-precision accumulator tested in double fixes the cluster size:
  // 2 x level + 3 up to level 9, one more from level 10 on.
  const double bound = static_cast<double>(2.0f * level / 10.0f) + 0.4;
  for (int i = 1; i <= kClusters; ++i) {
    for (float f = 0.1f; bound > f; f = static_cast<float>(static_cast<double>(f) + 0.1)) {
      const float r = randomOffset(chance);
      const float x = playerX + static_cast<float>(i) + f + r;
      spawnEnemy(roster, 1, x, playerX, level);
    }
  }
}

void spawnReinforcements(std::vector<Character>& roster, const Player& player, float level, Chance& chance,
                         ClockTicks now) {
  const float playerX = player.getPosition().getX();
  seedChance(chance, static_cast<unsigned>(now));
  const int k = drawChance(chance) % kReinforcementChoices;
  const int singleKind = level >= 1.0f ? 2 : 1;

  if (k == 0 && static_cast<double>(playerX) <= kAheadLimit) {
    spawnEnemy(roster, singleKind, playerX + kSingleDistance, playerX, level);
  } else if (k == 1 && static_cast<double>(playerX) >= kBehindLimit) {
    spawnEnemy(roster, singleKind, playerX - kSingleDistance, playerX, level);
  } else if (k >= 2 && static_cast<double>(playerX) >= kBehindLimit) {
    for (float f = 0.1f; 0.4 > f; f = static_cast<float>(static_cast<double>(f) + 0.1)) {
      seedChance(chance, static_cast<unsigned>(now));
      const float r = randomOffset(chance);
      const bool secondKind = drawChance(chance) % 2 == 1 && level > 2.0f;
      const float x = static_cast<float>(static_cast<double>(playerX) - kGroupStart + f + r);
      spawnEnemy(roster, secondKind ? 2 : 1, x, playerX, level);
    }
  }
}
