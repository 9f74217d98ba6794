#pragma once
// A fighter: a sprite with hit points, blows and animation state. Every enemy
// is a Character; the hero is a Player built on it.

#include "base/clock.h"
#include "entities/element.h"

// Frame-list entries shared by every fighter's list.
constexpr int kStandingFrame = 0;
constexpr int kFirstDeathFrame = 7;

// Every fighter's standing blow, the hero's and the enemies' alike: live on
// the first tick past kBlowLiveAfter ms from its start, ended past
// kBlowEndsAfter, its box this far in front of the striker's centre.
constexpr double kBlowLiveAfter = 347.0;
constexpr double kBlowEndsAfter = 350.0;
constexpr float kBlowOffset = 0.0625f;
// The stage's right end (stage units): no fighter walks past it.
constexpr float kStageEnd = 6.0f;

// Enemy states, chosen afresh at every update.
enum EnemyState { EnemyIdle = 0, EnemyApproach = 1, EnemyBlow = 2, EnemyDying = 3 };

// A fighter's move clock: when the move it times began and when it was last
// read, two members of the fighter (both state of the run).
struct MoveClock {
  ClockTicks& start;
  ClockTicks& lastRead;

  // The ms since the move began, read at `now` (which is noted as the last reading).
  double read(ClockTicks now) const;
  // A walk cycle read at `now`: past each of the four steps (ms) the next
  // image of 1 to 4 shows, and past the last the cycle starts over. Returns
  // the image to show, `image` while no step is past.
  int walkImage(const double (&steps)[4], ClockTicks now, int image) const;
};

class Character : public Element {
 public:
  Character() = default;
  // The enemy constructor.
  Character(int health, int power, float speed, Position position, Hitbox hitbox, int score,
            FrameSet frames);

  // Removes health; at 0 or below the fighter shows its first death image,
  // loses its body box and starts dying. Returns whether it is defeated.
  bool takeDamage(int amount);

  int getHealth() const { return health; }
  std::int64_t getScore() const { return score; }
  bool isAttacking() const { return attackActive; }
  AttackBox getAttackBox() const { return attackBox; }
  bool isHitByBlow() const { return hitByBlow; }
  bool hasLandedBlow() const { return blowLanded; }
  bool isDead() const { return dead; }
  void setHitByBlow(bool hit) { hitByBlow = hit; }
  void setBlowLanded(bool landed) { blowLanded = landed; }
  // A blow has just landed on the fighter: it is drawn flashing for a moment.
  void markStruck(ClockTicks now);

  // One enemy tick at time `now` against the hero's position (enemies/behaviour.cpp).
  void updateNPC(Position playerPosition, struct Chance& chance, ClockTicks now);
  void walkNPC(bool towardRight);

  ClockTicks clockStart = 0;
  ClockTicks clockNow = 0;
  int seed = 0;
  int frameIndex = 1;
  bool attackStarted = false;
  bool blowBuilt = false;  // this blow cycle has built its blow
  bool dying = false;
  bool deathAnimRunning = false;
  int health = 0;
  int power = 0;
  // What defeating it is worth; the hero's own is his score of the stage.
  std::int64_t score = 0;
  int state = 0;
  bool dead = false;
  AttackBox attackBox;
  bool attackActive = false;
  bool hitByBlow = false;
  bool blowLanded = false;
  ClockTicks struckAt = 0;  // when a blow last landed on this fighter
  bool struck = false;      // a blow has landed on it since it was made
  // Tells an enemy from every other made in the process, so the picture can
  // follow it from tick to tick however the roster changes; copies keep it.
  // The rules never read it.
  std::int64_t id = 0;

  // Shows entry index of its frame list (nothing when the list is shorter).
  void showFrame(int index);

 private:
  MoveClock moveClock() { return {clockStart, clockNow}; }
  void chooseState(float distance, ClockTicks now);
  void approachStep(float playerX, ClockTicks now);
  void blowStep(ClockTicks now);
  void fallStep(ClockTicks now);
};
