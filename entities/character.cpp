#include "entities/character.h"

namespace {
std::int64_t lastId = 0;
}

Character::Character(int health, int power, float speed, Position position, Hitbox hitbox, int score,
                     FrameSet frames) {
  this->health = health;
  this->power = power;
  this->speed = speed;
  this->position = position;
  this->hitbox = hitbox;
  this->score = score;
  this->frames = frames;
  id = ++lastId;
  placeQuad(position);
  showFrame(kStandingFrame);
}

void Character::showFrame(int index) { shown = SpriteFrame{frames, index}; }

bool Character::takeDamage(int amount) {
  health -= amount;
  if (health > 0) return false;
  showFrame(kFirstDeathFrame);
  hitbox = Hitbox();
  dying = true;
  return true;
}

void Character::markStruck(ClockTicks now) {
  struckAt = now;
  struck = true;
}

double MoveClock::read(ClockTicks now) const {
  lastRead = now;
  return elapsedMs(lastRead, start);
}

int MoveClock::walkImage(const double (&steps)[4], ClockTicks now, int image) const {
  const double elapsed = read(now);
  for (int step = 0; step < 4; ++step) {
    if (elapsed > steps[step]) image = step + 1;
  }
  if (elapsed > steps[3]) start = now;
  return image;
}
