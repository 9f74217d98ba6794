#pragma once
// The hero: a fighter with lives, his score of the stage and of the run, a
// score multiplier, a jump, and the counts of the blow sounds he starts and
// of the enemies he defeats (the shell plays and tells them). His update
// takes the roster he walks among and strikes.

#include <vector>

#include "entities/character.h"

enum PlayerState {
  Idle = 0,
  Walking = 1,
  Crouching = 2,
  Jumping = 3,
  Punching = 4,
  Kicking = 5,
  CrouchKick = 6,
  FlyingKick = 7,
};

// The hero's blow sounds: two swings and the impact of a blow that lands.
// The run counts them as they start; the shell plays them.
enum BlowSound { PunchSwing = 0, KickSwing = 1, Impact = 2, kBlowSounds };

struct StandingBlow;

class Player : public Character {
 public:
  Player(FrameSet frames, int lives);

  // Back to the start of the stage; lives, images and clocks are kept.
  void reset();
  void raiseMultiplier();
  void resetMultiplier();
  // Adds points times the multiplier to the score of the stage and the run.
  void addScore(std::int64_t points);
  // Lets the next blow hit every enemy once.
  void clearHitFlags(std::vector<Character>& enemies);
  // Corners back to their standing heights, whatever the position says.
  void standUp();
  // The punch and kick widen the quad on the side the hero faces.
  void punchReach(bool on);
  void kickReach(bool on);
  // The stage-clear pose: a quad wider to the right and taller at the top.
  void enlarge(bool on);

  // One update tick of the hero at time `now` for a control code (hero/hero_update.cpp).
  void update(int code, ClockTicks now, std::vector<Character>& enemies);
  void walk(bool right, std::vector<Character>& enemies);
  void jumpStep(bool up);
  void setAttackBox(float halfWidth, float halfHeight, float factor, std::vector<Character>& enemies);
  // The sound of a blow that lands, whoever struck it.
  void playImpact();

  float jumpHeight = 0.24f;
  float scoreMultiplier = 1.0f;
  // Everything scored since the game began, over every life and stage: the
  // score the player sees. `score` itself starts again at each of them.
  std::int64_t runScore = 0;
  int jumpPhase = 0;
  int jumpForward = 0;
  int playerFrame = 1;
  bool enlarged = false;
  ClockTicks playerClockStart = 0;
  ClockTicks playerClockNow = 0;
  ClockTicks crouchKickStart = 0;  // when the last crouch kick began
  bool crouchKicked = false;       // a crouch kick has begun since the hero was made
  // The blows of a run recorded at 3 ms ticks (see TickPace::classic).
  bool classicBlows = false;
  // How many times each blow sound has been started since the run began.
  int soundsStarted[kBlowSounds] = {};
  int lives = 0;
  // Enemies defeated since the run began, counted as each leaves the roster
  // when its fall has played out; the shell says "Kill" for each.
  std::int64_t kills = 0;

 private:
  MoveClock heroClock() { return {playerClockStart, playerClockNow}; }
  void groundControl(int code, std::vector<Character>& enemies);
  void crouchingStep(int code, std::vector<Character>& enemies);
  void jumpingStep(int code, std::vector<Character>& enemies);
  void crouchKickStep(int code, std::vector<Character>& enemies);
  void flyingKickStep(std::vector<Character>& enemies);
  void moveRightEdge(float d);
  void moveFacingEdge(float d);
  void setStageStart();
  void playSound(BlowSound which);
  void airborneStep(std::vector<Character>& enemies);
  void startGroundMove(int code);
  void startJump(bool forward, std::vector<Character>& enemies);
  bool crouchKickReady() const;
  bool lowKickShowing() const;
  void standingBlowStep(const StandingBlow& blow, BlowSound sound, int code, std::vector<Character>& enemies);
  void lowKickStep(int code, std::vector<Character>& enemies);
  bool blowEnds(double elapsed, bool wasLive) const;
  void restartClock();

 public:
  // The time of the tick being run (set by update; no state of the run).
  ClockTicks tickTime = 0;
};

// The hero's numbers.
constexpr float kPlayerSpeed = 0.006f;
constexpr float kBodyHalfWidth = 0.0625f;
constexpr float kBodyHalfHeight = 0.12f;
constexpr float kCrouchHalfHeight = 0.6f;
constexpr int kPlayerHealth = 500;
constexpr int kPlayerPower = 100;
constexpr float kJumpHeight = 0.24f;
constexpr float kPunchReach = 0.0325f;
constexpr float kKickReach = 0.0625f;
constexpr float kEnlargement = 0.0625f;
