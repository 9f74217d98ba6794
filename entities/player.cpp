#include "entities/player.h"

Player::Player(FrameSet playerFrames, int startLives) {
  frames = playerFrames;
  lives = startLives;
  setStageStart();
  placeQuad(position);
  showFrame(kStandingFrame);
}

void Player::setStageStart() {
  position = Position(0.0f, 0.0f, true);
  hitbox = Hitbox(position, kBodyHalfWidth, kBodyHalfHeight);
  speed = kPlayerSpeed;
  power = kPlayerPower;
  health = kPlayerHealth;
  score = 0;
  scoreMultiplier = 1.0f;
  jumpHeight = kJumpHeight;
  state = Idle;
  attackActive = false;
  jumpPhase = 0;
  jumpForward = 0;
}

void Player::reset() {
  setStageStart();
  for (int corner = 0; corner < 4; ++corner) {
    vertices[corner * 3] = kSpriteQuad[corner * 3];
    vertices[corner * 3 + 1] = kSpriteQuad[corner * 3 + 1];
  }
  placeQuad(position);
  turn(position.isFacingRight());
}

void Player::raiseMultiplier() { scoreMultiplier = static_cast<float>(scoreMultiplier + 0.5); }

void Player::resetMultiplier() { scoreMultiplier = 1.0f; }

void Player::addScore(int points) {
  const int before = score;
  score = static_cast<int>(static_cast<float>(score + points * scoreMultiplier));
  runScore += score - before;
}

void Player::clearHitFlags(std::vector<Character>& enemies) {
  for (Character& enemy : enemies) enemy.setHitByBlow(false);
}

void Player::standUp() {
  vertices[1] = 0.1f;
  vertices[4] = -0.25f;
  vertices[7] = -0.25f;
  vertices[10] = 0.1f;
}

void Player::moveRightEdge(float d) {
  vertices[0] += d;
  vertices[3] += d;
}

// A blow's picture reaches out on the side the hero strikes: the edge he faces
// moves outward by d (back in for a negative d).
void Player::moveFacingEdge(float d) {
  if (position.isFacingRight()) {
    moveRightEdge(d);
  } else {
    vertices[6] -= d;
    vertices[9] -= d;
  }
}

void Player::punchReach(bool on) { moveFacingEdge(on ? kPunchReach : -kPunchReach); }

void Player::kickReach(bool on) { moveFacingEdge(on ? kKickReach : -kKickReach); }

void Player::enlarge(bool on) {
  if (on == enlarged) return;
  enlarged = on;
  const float d = on ? kEnlargement : -kEnlargement;
  moveRightEdge(d);
  vertices[1] += d;
  vertices[10] += d;
}

void Player::playSound(BlowSound which) { ++soundsStarted[which]; }

void Player::playImpact() { playSound(Impact); }

void Player::restartClock() { playerClockStart = tickTime; }
