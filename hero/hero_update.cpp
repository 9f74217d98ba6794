// The hero's tick: walking with collision and scrolling, crouching, the jump
// and the flying kick, the standing blows and the low kick, their images,
// sounds and blow boxes.
#include "hero/control_codes.h"
#include "entities/player.h"

struct ImageStep {
  double after;  // ms since the blow began
  int frame;
};

// A punch or kick thrown standing: its images by time, its box, its reach,
// the image it ends on and the code that chains the next one.
struct StandingBlow {
  ImageStep images[3];
  int imageCount;
  float halfWidth;
  float halfHeight;
  float factor;
  float reach;
  int endFrame;
  int chainCode;
};

namespace {

// Images of the hero's frame list.
constexpr int kPunchFrame1 = 5;
constexpr int kPunchFrame2 = 6;
constexpr int kKickFrame1 = 7;
constexpr int kKickFrame2 = 8;
constexpr int kFlyingKickFrame = 9;
constexpr int kCrouchFrame = 10;
constexpr int kLowKickFrame = 11;

// Crouched, the hero shows his low kick for this long after each crouch kick
// begins (at 3 ms ticks) or strikes.
constexpr double kLowKickShows = 150.0;
// The low kick's leg goes out this long after it begins.
constexpr double kLowKickLegOut = 250.0;

// Walk cycle: each threshold passed (ms) shows the next image; the last restarts.
constexpr double kWalkSteps[4] = {100.0, 200.0, 300.0, 400.0};

constexpr StandingBlow kPunchBlow = {{{100.0, kPunchFrame1}, {200.0, kPunchFrame2}}, 2, 0.035f, 0.6f, 0.5f,
                                     kPunchReach, kPunchFrame2, kPunch};
constexpr StandingBlow kKickBlow = {{{25.0, kKickFrame1}, {150.0, kKickFrame2}, {250.0, kKickFrame1}}, 3, 0.06f,
                                    0.12f, 1.0f, kKickReach, kKickFrame1, kKick};

constexpr float kCrouchKickHalfWidth = 0.065f;
constexpr float kCrouchKickHalfHeight = 0.6f;
constexpr double kCrouchKickEvery = kBlowEndsAfter;
constexpr double kFlyingKickLasts = 225.0;
constexpr float kFlyingKickOffset = 0.065f;
constexpr float kFlyingKickHalfWidth = 0.05f;
constexpr float kFlyingKickHalfHeight = 0.6f;

constexpr float kProbeDistance = 0.01f;

enum JumpPhase { kNotJumping = 0, kRising = 1, kFalling = 2 };

}  // namespace

void Player::update(int code, ClockTicks now, std::vector<Character>& enemies) {
  tickTime = now;
  switch (state) {
    case Idle:
      showFrame(kStandingFrame);
      groundControl(code, enemies);
      break;
    case Walking:
      playerFrame = heroClock().walkImage(kWalkSteps, tickTime, playerFrame);
      showFrame(playerFrame);
      groundControl(code, enemies);
      break;
    case Crouching:
      crouchingStep(code, enemies);
      break;
    case Jumping:
      jumpingStep(code, enemies);
      break;
    case Punching:
      standingBlowStep(kPunchBlow, PunchSwing, code, enemies);
      break;
    case Kicking:
      standingBlowStep(kKickBlow, KickSwing, code, enemies);
      break;
    case CrouchKick:
      crouchKickStep(code, enemies);
      break;
    case FlyingKick:
      flyingKickStep(enemies);
      break;
    default:
      break;
  }
}

// Standing or walking: a walk key walks, Up jumps (forward from a walk),
// nothing held stands, and the rest crouch or strike.
void Player::groundControl(int code, std::vector<Character>& enemies) {
  if (code == kWalkLeft || code == kWalkRight) {
    state = Walking;
    walk(code == kWalkRight, enemies);
  } else if (code == kJump) {
    startJump(state == Walking, enemies);
  } else if (code == kNoControl) {
    state = Idle;
  } else {
    startGroundMove(code);
  }
}

// Crouched: a walk key only turns him, Up jumps, a stand-up request stands
// him up, and a kick throws the low kick.
void Player::crouchingStep(int code, std::vector<Character>& enemies) {
  attackActive = false;  // a crouch kick is live for the one tick that placed it
  showFrame(lowKickShowing() ? kLowKickFrame : kCrouchFrame);
  if (code == kWalkLeft || code == kWalkRight) {
    const bool right = code == kWalkRight;
    position.setFacingRight(right);
    turn(right);
  } else if (code == kJump) {
    startJump(false, enemies);
  } else if (code == kStandUp) {
    state = Idle;
    hitbox.setHalfHeight(kBodyHalfHeight);
  } else if (code == kKick && (!classicBlows || crouchKickReady())) {
    state = CrouchKick;
    crouchKickStart = tickTime;
    crouchKicked = true;
    if (classicBlows) {
      showFrame(kLowKickFrame);
    } else {
      restartClock();
    }
    playSound(KickSwing);
  }
}

// In the air; a kick there turns the jump into a flying kick.
void Player::jumpingStep(int code, std::vector<Character>& enemies) {
  airborneStep(enemies);
  if (code != kKick) return;
  state = FlyingKick;
  restartClock();
  playSound(KickSwing);
  clearHitFlags(enemies);
}

void Player::crouchKickStep(int code, std::vector<Character>& enemies) {
  if (classicBlows) {
    // Live until the next tick, so the hits resolved after this one see it.
    state = Crouching;
    setAttackBox(kCrouchKickHalfWidth, kCrouchKickHalfHeight, 1.0f, enemies);
  } else {
    lowKickStep(code, enemies);
  }
}

// The flying kick strikes from its start until kFlyingKickLasts, then the
// jump goes on to its landing.
void Player::flyingKickStep(std::vector<Character>& enemies) {
  if (heroClock().read(tickTime) > kFlyingKickLasts) {
    playerFrame = kStandingFrame;
    restartClock();
    attackActive = false;
    state = Jumping;
  } else {
    playerFrame = kFlyingKickFrame;
    const bool right = position.isFacingRight();
    const float offset = right ? kFlyingKickOffset : -kFlyingKickOffset;
    const Position centre(position.getX() + offset, position.getY(), right);
    attackBox = AttackBox(Hitbox(centre, kFlyingKickHalfWidth, kFlyingKickHalfHeight), power);
    attackActive = true;
  }
  showFrame(playerFrame);
  airborneStep(enemies);
}

// Crouch, punch or kick from the ground, as Idle and Walking both allow.
void Player::startGroundMove(int code) {
  if (code == kCrouch) {
    state = Crouching;
    hitbox.setHalfHeight(kCrouchHalfHeight);
    showFrame(kCrouchFrame);
  } else if (code == kPunch) {
    if (!classicBlows) attackActive = false;
    state = Punching;
    restartClock();
    punchReach(true);
    playSound(PunchSwing);
  } else if (code == kKick) {
    if (!classicBlows) attackActive = false;
    state = Kicking;
    restartClock();
    kickReach(true);
    playSound(KickSwing);
  }
}

// A held kick key crouch-kicks at the standing kick's pace, not every other tick.
bool Player::crouchKickReady() const {
  return !crouchKicked || elapsedMs(tickTime, crouchKickStart) > kCrouchKickEvery;
}

bool Player::lowKickShowing() const {
  return crouchKicked && !(elapsedMs(tickTime, crouchKickStart) > kLowKickShows);
}

// Off the ground; a jump from a walk also carries the hero forward.
void Player::startJump(bool forward, std::vector<Character>& enemies) {
  state = Jumping;
  jumpPhase = kRising;
  jumpForward = forward ? 1 : 0;
  if (forward) walk(position.isFacingRight(), enemies);
  jumpStep(true);
}

// A blow goes live on the first tick past kBlowLiveAfter and ends on the
// first tick past kBlowEndsAfter once it has been live for a tick, so the
// hits resolved after every blow see it, however far apart the ticks are.
bool Player::blowEnds(double elapsed, bool wasLive) const {
  return elapsed > kBlowEndsAfter && (wasLive || classicBlows);
}

void Player::standingBlowStep(const StandingBlow& blow, BlowSound sound, int code, std::vector<Character>& enemies) {
  const double elapsed = heroClock().read(tickTime);
  const bool wasLive = attackActive;
  for (int i = 0; i < blow.imageCount; ++i) {
    if (elapsed > blow.images[i].after) playerFrame = blow.images[i].frame;
  }
  if (elapsed > kBlowLiveAfter) setAttackBox(blow.halfWidth, blow.halfHeight, blow.factor, enemies);
  if (blowEnds(elapsed, wasLive)) {
    moveFacingEdge(-blow.reach);
    playerFrame = blow.endFrame;
    restartClock();
    attackActive = false;
    if (code == blow.chainCode) {
      playSound(sound);
      moveFacingEdge(blow.reach);
    } else {
      state = Idle;
    }
  }
  showFrame(playerFrame);
}

// The low kick, thrown crouched: the hero gathers, the leg goes out, and the
// blow lands as it shows, on a standing kick's time and with its box, on
// what stands in front within reach. A held kick key throws the next one.
void Player::lowKickStep(int code, std::vector<Character>& enemies) {
  const double elapsed = heroClock().read(tickTime);
  const bool wasLive = attackActive;
  showFrame(elapsed > kLowKickLegOut ? kLowKickFrame : kCrouchFrame);
  if (elapsed > kBlowLiveAfter) setAttackBox(kKickBlow.halfWidth, kKickBlow.halfHeight, kKickBlow.factor, enemies);
  if (!blowEnds(elapsed, wasLive)) return;
  attackActive = false;
  crouchKickStart = playerClockNow;  // the leg stays out a moment after it struck
  if (code == kKick) {
    restartClock();
    playSound(KickSwing);
  } else {
    state = Crouching;
  }
}

void Player::airborneStep(std::vector<Character>& enemies) {
  if (jumpPhase == kRising) {
    if (position.getY() >= jumpHeight) {
      jumpPhase = kFalling;
      return;
    }
    if (jumpForward == 1) walk(position.isFacingRight(), enemies);
    jumpStep(true);
  } else if (jumpPhase == kFalling) {
    if (position.getY() <= 0.0f) {
      position.setY(0.0f);
      standUp();
      jumpPhase = kNotJumping;
      jumpForward = 0;
      state = Idle;
      attackActive = false;  // a flying kick ends with the landing
      return;
    }
    if (jumpForward == 1) walk(position.isFacingRight(), enemies);
    jumpStep(false);
  } else {
    state = Idle;
    attackActive = false;
  }
}

void Player::walk(bool right, std::vector<Character>& enemies) {
  if (position.isFacingRight() != right) {
    turn(right);
    position.setFacingRight(right);
  }

  // Every enemy the probe touches blocks its own side: one behind the hero
  // must not open the way through a crowd ahead. One at his very x stands
  // on the right.
  bool blockedRight = false;
  bool blockedLeft = false;
  for (Character& enemy : enemies) {
    hitbox.move(kProbeDistance, right);
    if (hitbox.overlaps(enemy.getHitbox())) {
      if (enemy.getPosition().getX() < position.getX()) {
        blockedLeft = true;
      } else {
        blockedRight = true;
      }
    }
    hitbox.move(-kProbeDistance, right);
  }

  const float x = position.getX();
  if (right && x + speed < kStageEnd) {
    if (blockedRight) return;
    for (Character& enemy : enemies) enemy.shiftVertices(true, speed);
    position.move(speed, true);
    hitbox.move(speed, true);
  } else if (!right && x - speed > 0.0f) {
    if (blockedLeft) return;
    for (Character& enemy : enemies) enemy.shiftVertices(false, speed);
    position.move(speed, false);
    hitbox.move(speed, false);
  }
}

void Player::jumpStep(bool up) {
  const float d = speed * 4.0f;
  position.moveY(d, up);
  if (position.getY() >= 0.0f) {
    for (int corner = 0; corner < 4; ++corner) vertices[corner * 3 + 1] += up ? d : -d;
  }
  hitbox.moveY(d, up);
}

void Player::setAttackBox(float halfWidth, float halfHeight, float factor, std::vector<Character>& enemies) {
  attackActive = true;
  const bool right = position.isFacingRight();
  const float offset = right ? kBlowOffset : -kBlowOffset;
  const int damage = static_cast<int>(static_cast<float>(power) * factor);
  attackBox = AttackBox(Hitbox(Position(position.getX() + offset, position.getY(), right), halfWidth, halfHeight),
                        damage);
  clearHitFlags(enemies);
}
