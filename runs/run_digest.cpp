#include "runs/run_digest.h"

#include <cstring>

namespace {

// Each value is mixed in as one 64-bit word: a few operations per value, so
// folding the whole state at every tick costs little beside the tick itself.
class Digest {
 public:
  explicit Digest(std::uint64_t start) : value(start) {}
  template <typename T>
  void add(T v) {
    static_assert(sizeof(T) <= sizeof(std::uint64_t), "one word a value");
    std::uint64_t word = 0;
    std::memcpy(&word, &v, sizeof(T));
    value = (value ^ word) * 0x9e3779b97f4a7c15ULL;
    value ^= value >> 29;
  }
  template <typename T, size_t N>
  void addAll(const T (&values)[N]) {
    for (const T& v : values) add(v);
  }
  std::uint64_t value;
};

void addPosition(Digest& d, const Position& p) {
  d.add(p.x);
  d.add(p.y);
  d.add(p.facingRight);
}

void addHitbox(Digest& d, const Hitbox& box) {
  addPosition(d, box.position);
  d.add(box.halfWidth);
  d.add(box.halfHeight);
}

// The sprite's place and quad; its GL objects and image are drawing's.
void addElement(Digest& d, const Element& e) {
  d.add(e.speed);
  addPosition(d, e.position);
  addHitbox(d, e.hitbox);
  d.addAll(e.vertices);
  d.addAll(e.texCoords);
}

void addFighter(Digest& d, const Character& c) {
  addElement(d, c);
  d.add(c.clockStart);
  d.add(c.clockNow);
  d.add(c.seed);
  d.add(c.frameIndex);
  d.add(c.attackStarted);
  d.add(c.blowBuilt);
  d.add(c.dying);
  d.add(c.deathAnimRunning);
  d.add(c.health);
  d.add(c.power);
  d.add(c.score);
  d.add(c.state);
  d.add(c.dead);
  addHitbox(d, c.attackBox.getBox());
  d.add(c.attackBox.getDamage());
  d.add(c.attackActive);
  d.add(c.hitByBlow);
  d.add(c.blowLanded);
  d.add(c.struckAt);
  d.add(c.struck);
}

void addHero(Digest& d, const Player& hero) {
  addFighter(d, hero);
  d.add(hero.jumpHeight);
  d.add(hero.scoreMultiplier);
  d.add(hero.runScore);
  d.add(hero.jumpPhase);
  d.add(hero.jumpForward);
  d.add(hero.playerFrame);
  d.add(hero.enlarged);
  d.add(hero.playerClockStart);
  d.add(hero.playerClockNow);
  d.add(hero.crouchKickStart);
  d.add(hero.crouchKicked);
  d.add(hero.lives);
}

void addChance(Digest& d, const Chance& chance) {
  d.addAll(chance.table);
  d.add(chance.front);
  d.add(chance.rear);
  d.add(chance.fresh);
  d.add(chance.lastSeed);
  d.add(chance.seeded);
}

}  // namespace

std::uint64_t runStateDigest(const Run& run) {
  Digest d(kRunDigestStart);
  if (run.tovan) addHero(d, *run.tovan);
  d.add(run.enemies.size());
  for (const Character& enemy : run.enemies) addFighter(d, enemy);
  d.add(run.hearts.size());
  for (const Element& heart : run.hearts) addElement(d, heart);
  d.add(run.level);
  d.add(run.tickClock);
  d.add(run.spawnClock);
  d.add(run.clearClock);
  d.add(run.ticksRun);
  d.add(run.stageOver);
  d.add(run.endFrameIndex);
  d.add(run.controlCode);
  d.add(run.rightHeld);
  d.add(run.leftHeld);
  d.add(run.menuOpen);
  d.add(run.exitSelected);
  d.add(run.downHeld);
  d.add(run.standUpDue);
  d.add(run.codeAfterStandUp);
  addChance(d, run.chance);
  // Runs at 3 ms ticks have no carry; their digest stays as it was recorded.
  if (!run.pace.classic) {
    d.add(run.pace.num);
    d.add(run.pace.den);
    d.add(run.tickCarry);
  }
  return d.value;
}

std::uint64_t foldRunDigest(std::uint64_t digest, const Run& run) {
  Digest d(digest);
  d.add(runStateDigest(run));
  return d.value;
}
