// The hero's tick: walking with collision and scrolling, the jump, the four
// blows, their images, sounds and blow boxes.
#include <cmath>

#include "app/input.h"
#include "entities/player.h"

namespace {

// Images of the hero's frame list.
constexpr int kPunchFrame1 = 5;
constexpr int kPunchFrame2 = 6;
constexpr int kKickFrame1 = 7;
constexpr int kKickFrame2 = 8;
constexpr int kFlyingKickFrame = 9;

// Walk cycle: each threshold passed (ms) shows the next image; the last restarts.
constexpr double kWalkSteps[4] = {100.0, 200.0, 300.0, 400.0};

// Blows end after this long; their box is placed past kBlowLiveAfter.
constexpr double kBlowLiveAfter = 347.0;
constexpr double kBlowEndsAfter = 350.0;
constexpr double kPunchImage1After = 100.0;
constexpr double kPunchImage2After = 200.0;
constexpr double kKickImage1After = 25.0;
constexpr double kKickImage2After = 150.0;
constexpr double kKickImage3After = 250.0;
constexpr double kFlyingKickLasts = 225.0;

constexpr float kPunchBoxHalfWidth = 0.035f;
constexpr float kPunchBoxHalfHeight = 0.6f;
constexpr float kPunchFactor = 0.5f;
constexpr float kKickBoxHalfWidth = 0.06f;
constexpr float kKickBoxHalfHeight = 0.12f;
constexpr float kCrouchKickHalfWidth = 0.065f;
constexpr float kCrouchKickHalfHeight = 0.6f;
constexpr float kFullFactor = 1.0f;
constexpr float kBlowOffset = 0.0625f;
constexpr float kFlyingKickOffset = 0.065f;
constexpr float kFlyingKickHalfWidth = 0.05f;
constexpr float kFlyingKickHalfHeight = 0.6f;

constexpr float kProbeDistance = 0.01f;
constexpr float kStageEnd = 6.0f;

enum JumpPhase { kNotJumping = 0, kRising = 1, kFalling = 2 };

}  // namespace

void Player::update(int code) {
  switch (state) {
    case Idle:
      showFrame(kStandingFrame);
      if (code == kWalkLeft || code == kWalkRight) {
        state = Walking;
        walk(code == kWalkRight);
      } else if (code == kJump) {
        state = Jumping;
        jumpPhase = kRising;
        jumpForward = 0;
        jumpStep(true);
      } else if (code == kCrouch) {
        state = Crouching;
        hitbox.setHalfHeight(kCrouchHalfHeight);
      } else if (code == kPunch) {
        state = Punching;
        restartClock();
        punchReach(true);
        playSound(punchSound);
      } else if (code == kKick) {
        state = Kicking;
        kickReach(true);
        restartClock();
        playSound(kickSound);
      }
      break;

    case Walking: {
      playerClockNow = gameClock();
      const double elapsed = elapsedMs(playerClockNow, playerClockStart);
      for (int step = 0; step < 4; ++step) {
        if (elapsed > kWalkSteps[step]) playerFrame = step + 1;
      }
      if (elapsed > kWalkSteps[3]) restartClock();
      showFrame(playerFrame);
      if (code == kNoControl) {
        state = Idle;
      } else if (code == kWalkLeft || code == kWalkRight) {
        walk(code == kWalkRight);
      } else if (code == kJump) {
        state = Jumping;
        jumpPhase = kRising;
        jumpForward = 1;
        walk(position.isFacingRight());
        jumpStep(true);
      } else if (code == kCrouch) {
        state = Crouching;
        hitbox.setHalfHeight(kCrouchHalfHeight);
      } else if (code == kPunch) {
        state = Punching;
        punchReach(true);
        restartClock();
        playSound(punchSound);
      } else if (code == kKick) {
        state = Kicking;
        kickReach(true);
        restartClock();
        playSound(kickSound);
      }
      break;
    }

    case Crouching:
      if (code == kWalkLeft || code == kWalkRight) {
        const bool right = code == kWalkRight;
        position.setFacingRight(right);
        turn(right);
      } else if (code == kJump) {
        state = Jumping;
        jumpPhase = kRising;
        jumpForward = 0;
        jumpStep(true);
      } else if (code == kStandUp) {
        state = Idle;
        hitbox.setHalfHeight(kBodyHalfHeight);
      } else if (code == kKick) {
        state = CrouchKick;
        playSound(kickSound);
      }
      break;

    case Jumping:
      airborneStep();
      if (code == kKick) {
        state = FlyingKick;
        restartClock();
        playSound(kickSound);
        clearHitFlags();
      }
      break;

    case Punching: {
      playerClockNow = gameClock();
      const double elapsed = elapsedMs(playerClockNow, playerClockStart);
      if (elapsed > kPunchImage1After) playerFrame = kPunchFrame1;
      if (elapsed > kPunchImage2After) playerFrame = kPunchFrame2;
      if (elapsed > kBlowLiveAfter) setAttackBox(kPunchBoxHalfWidth, kPunchBoxHalfHeight, kPunchFactor);
      if (elapsed > kBlowEndsAfter) {
        punchReach(false);
        playerFrame = kPunchFrame2;
        restartClock();
        attackActive = false;
        if (code == kPunch) {
          playSound(punchSound);
          punchReach(true);
        } else {
          state = Idle;
        }
      }
      showFrame(playerFrame);
      break;
    }

    case Kicking: {
      playerClockNow = gameClock();
      const double elapsed = elapsedMs(playerClockNow, playerClockStart);
      if (elapsed > kKickImage1After) playerFrame = kKickFrame1;
      if (elapsed > kKickImage2After) playerFrame = kKickFrame2;
      if (elapsed > kKickImage3After) playerFrame = kKickFrame1;
      if (elapsed > kBlowLiveAfter) setAttackBox(kKickBoxHalfWidth, kKickBoxHalfHeight, kFullFactor);
      if (elapsed > kBlowEndsAfter) {
        kickReach(false);
        playerFrame = kKickFrame1;
        restartClock();
        attackActive = false;
        if (code == kKick) {
          playSound(kickSound);
          kickReach(true);
        } else {
          state = Idle;
        }
      }
      showFrame(playerFrame);
      break;
    }

    case CrouchKick:
      // Placed and withdrawn in the same tick: the crouch kick never lands.
      state = Crouching;
      setAttackBox(kCrouchKickHalfWidth, kCrouchKickHalfHeight, kFullFactor);
      attackActive = false;
      break;

    case FlyingKick: {
      playerClockNow = gameClock();
      if (elapsedMs(playerClockNow, playerClockStart) > kFlyingKickLasts) {
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
      airborneStep();
      break;
    }

    default:
      break;
  }
}

void Player::airborneStep() {
  if (jumpPhase == kRising) {
    if (position.getY() >= jumpHeight) {
      jumpPhase = kFalling;
      return;
    }
    if (jumpForward == 1) walk(position.isFacingRight());
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
    if (jumpForward == 1) walk(position.isFacingRight());
    jumpStep(false);
  } else {
    state = Idle;
    attackActive = false;
  }
}

void Player::walk(bool right) {
  if (position.isFacingRight() != right) {
    turn(right);
    position.setFacingRight(right);
  }

  bool free = true;
  bool toRight = false;
  for (Character& enemy : *enemies) {
    hitbox.move(kProbeDistance, right);
    if (hitbox.overlaps(enemy.getHitbox())) {
      free = false;
      toRight = enemy.getPosition().getX() < position.getX();
    }
    hitbox.move(-kProbeDistance, right);
  }

  const float x = position.getX();
  if (right && x + speed < kStageEnd) {
    if (!free && !toRight) return;  // blocked on the right
    for (Character& enemy : *enemies) enemy.shiftVertices(true, speed);
    position.move(speed, true);
    hitbox.move(speed, true);
  } else if (!right && x - speed > 0.0f) {
    if (!free && toRight) return;  // blocked on the left
    for (Character& enemy : *enemies) enemy.shiftVertices(false, speed);
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

void Player::setAttackBox(float halfWidth, float halfHeight, float factor) {
  attackActive = true;
  const bool right = position.isFacingRight();
  const float offset = right ? kBlowOffset : -kBlowOffset;
  const int damage = static_cast<int>(static_cast<float>(power) * factor);
  attackBox = AttackBox(Hitbox(Position(position.getX() + offset, position.getY(), right), halfWidth, halfHeight),
                        damage);
  clearHitFlags();
}
