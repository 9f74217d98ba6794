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

namespace {

// A value in halves (twice the value, not negative) rounded to 24 significant
// bits, to the nearest and a tie to the even one.
std::int64_t toSignificantBits(std::int64_t halves) {
  int dropped = 0;
  while ((halves >> dropped) >= (std::int64_t{1} << 24)) ++dropped;
  if (dropped == 0) return halves;
  const std::int64_t kept = halves >> dropped;
  const std::int64_t rest = halves - (kept << dropped);
  const std::int64_t half = std::int64_t{1} << (dropped - 1);
  const bool up = rest > half || (rest == half && (kept & 1) != 0);
  return (kept + (up ? 1 : 0)) << dropped;
}

}  // namespace

// The score of a stage has always been kept as a 24-bit significand keeps a
// number: the points times the multiplier, then their sum with the score,
// each rounded to 24 significant bits, and the fraction dropped. Every score
// up to 2^24 is exact; a stage scoring past it rounds as every recorded run
// of it did, so they replay alike.
void Player::addScore(std::int64_t points) {
  const std::int64_t before = score;
  const auto multiplierHalves = static_cast<std::int64_t>(scoreMultiplier * 2.0f);
  const std::int64_t gain = toSignificantBits(points * multiplierHalves);  // in halves
  score = toSignificantBits(toSignificantBits(2 * score) + gain) / 2;
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
