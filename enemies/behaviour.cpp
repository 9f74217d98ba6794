// An enemy's tick: stand while the hero is far, walk up to him, strike when
// close, or play out its death.
#include <cmath>

#include "base/chance.h"
#include "entities/character.h"

namespace {

constexpr float kStrikeDistance = 0.1f;
constexpr double kNoticeDistance = 1.5;

// Walk cycle: past each time (ms) the enemy shows the next image; the last restarts the clock.
constexpr double kWalkSteps[4] = {200.0, 400.0, 600.0, 800.0};

constexpr int kPunchFrame1 = 5;
constexpr int kPunchFrame2 = 6;
constexpr double kBlowImage2After = 100.0;
constexpr double kBlowImage1After = 200.0;
constexpr double kBlowFactor = 0.5;
constexpr float kBlowHalfWidth = 0.035f;
constexpr float kBlowHalfHeight = 0.6f;

constexpr double kDeathSteps[3] = {200.0, 400.0, 600.0};

}  // namespace

void Character::updateNPC(Position playerPosition, Chance& chance, ClockTicks now) {
  seedChance(chance, static_cast<unsigned>(seed));
  const float playerX = playerPosition.getX();
  chooseState(std::fabs(playerX - position.getX()), now);
  switch (state) {
    case EnemyIdle:
      attackActive = false;
      break;
    case EnemyApproach:
      approachStep(playerX, now);
      break;
    case EnemyBlow:
      blowStep(now);
      break;
    case EnemyDying:
      fallStep(now);
      break;
    default:
      break;
  }
}

// Falling once felled; else striking within reach, standing while the hero
// is far, and walking up to him between.
void Character::chooseState(float distance, ClockTicks now) {
  if (dead) {
    state = EnemyDying;
  } else if (dying) {
    state = EnemyDying;
    if (!deathAnimRunning) clockStart = now;
  } else if (distance <= kStrikeDistance) {
    state = EnemyBlow;
    if (!attackStarted) {
      attackStarted = true;
      blowBuilt = false;
      clockStart = now;
    }
  } else if (static_cast<double>(distance) >= kNoticeDistance) {
    state = EnemyIdle;
  } else {
    state = EnemyApproach;
  }
}

void Character::approachStep(float playerX, ClockTicks now) {
  frameIndex = moveClock().walkImage(kWalkSteps, now, frameIndex);
  showFrame(frameIndex);
  attackActive = false;
  walkNPC(playerX >= position.getX());
}

void Character::blowStep(ClockTicks now) {
  const double t = moveClock().read(now);
  if (t > kBlowImage2After) frameIndex = kPunchFrame2;
  if (t > kBlowImage1After) frameIndex = kPunchFrame1;
  // Built once a cycle: the update after 350 ms must not build the blow
  // that landed a moment ago again and let it land a second time.
  if (t > kBlowLiveAfter && !blowBuilt) {
    blowBuilt = true;
    const bool right = position.isFacingRight();
    const float offset = right ? kBlowOffset : -kBlowOffset;
    const Hitbox reach(Position(position.getX() + offset, position.getY(), right), kBlowHalfWidth, kBlowHalfHeight);
    attackBox = AttackBox(reach, static_cast<int>(power * kBlowFactor));
    attackActive = true;
    blowLanded = false;
  }
  if (t > kBlowEndsAfter) {
    frameIndex = kPunchFrame1;
    attackStarted = false;
    state = EnemyIdle;
    clockStart = now;
  }
  showFrame(frameIndex);
}

// The death steps by time since the fall began; after the last the enemy is
// dead, and the update pass takes it off the roster. From the blow that
// felled it on, it shows its fall: the first death image until the steps begin.
void Character::fallStep(ClockTicks now) {
  deathAnimRunning = true;
  const double t = moveClock().read(now);
  for (int step = 0; step < 3; ++step) {
    if (t > kDeathSteps[step]) frameIndex = kFirstDeathFrame + step;
  }
  if (t > kDeathSteps[2]) {
    deathAnimRunning = false;
    dying = false;
    dead = true;
  }
  showFrame(frameIndex < kFirstDeathFrame ? kFirstDeathFrame : frameIndex);
}

void Character::walkNPC(bool towardRight) {
  const float myX = position.getX();
  if (towardRight) {
    if (!(myX + speed <= kStageEnd)) return;
    if (!position.isFacingRight()) turn(true);
    shiftVertices(false, speed);
  } else {
    if (!(myX - speed >= 0.0f)) return;
    if (position.isFacingRight()) turn(false);
    shiftVertices(true, speed);
  }
  position.move(speed, towardRight);
  hitbox.move(speed, towardRight);
}
