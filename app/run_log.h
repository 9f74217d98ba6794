#pragma once
// A run of the game as a short text: where it started, then what the game
// saw tick by tick (the keys as the control rules took them, from the
// keyboard and the pads alike; the pauses; the ticks dropped after a stall),
// with a hash of the state every 1000 ticks and at the end. Play is decided
// only by these, so playing the events back at their ticks gives the same
// run, to the last pixel, whatever the passes of the frame loop.
//
//   nombre-replay 1 game 1.0.0 level 1 clock 412     header: format version, game version, start
//   0 press right                                    TICK KIND VALUE, ticks never going back
//   117 release right                                  press, release, repeat: a key
//   1000 hash 3f2a9c0d11e4b5a7                         the state after that many ticks
//   1203 pause -                                       play paused (the menu opened), resumed
//   5231 drop 84                                       ms of game time skipped after a stall
//   end 52344 9f3ac2d06b1e8e40                       the ticks of the whole run, the final state

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/game_state.h"

constexpr int kRunFormatVersion = 1;
constexpr long kHashEvery = 1000;  // ticks between the hashes of a run

enum class RunEventKind { Press, Release, Repeat, Pause, Resume, Drop, Hash };

struct RunEvent {
  long tick = 0;
  RunEventKind kind = RunEventKind::Press;
  std::int64_t value = 0;  // the key, the ms dropped, or the hash
};

struct RunFile {
  std::string gameVersion;
  float level = 1.0f;
  ClockTicks startClock = 0;
  std::vector<RunEvent> events;
  long endTick = 0;
  std::uint64_t endHash = 0;
};

// What a run's hashes cover: the hero's position, state, health, lives and
// run score, the level, and each enemy's position, state and health.
std::uint64_t runStateHash(const Game& game);

std::string runHeaderLine(float level, ClockTicks startClock);
std::string runEventLine(const RunEvent& event);
std::string runEndLine(long ticks, std::uint64_t hash);
// Reads a whole run. On failure returns false and says why in `why` (which
// line, and what is wrong with it).
bool parseRunFile(const std::string& text, RunFile& run, std::string& why);

// The one log of the run being played: it records it, or plays one back.
class RunLog {
 public:
  // Records into `stream` as play goes (null: keeps the text only).
  void beginRecording(const Game& game, std::FILE* stream);
  // Plays `run` back into the control rules at `window`.
  void beginReplay(const RunFile& run, struct GLFWwindow* window);

  bool recording() const { return role == Role::Recording; }
  bool replaying() const { return role == Role::Replaying; }

  // The frame loop's ticks call these.
  void beforeTick(Game& game);
  // A replay runs no tick past the end of its run.
  bool mayTick(const Game& game) const { return role != Role::Replaying || game.ticksRun < run.endTick; }
  void afterTick(Game& game);
  void ticksDropped(const Game& game, ClockTicks ms);
  void stageCleared();

  // A key event or a pause as the control rules saw it (recording only).
  void noteInput(RunEventKind kind, std::int64_t value);
  // Ends the recording with the final line; returns the whole text.
  const std::string& finish(const Game& game);

  // Replaying: every event taken, the last tick reached.
  bool replayDone(const Game& game) const;
  const RunFile& replayed() const { return run; }
  // The first tick whose recorded hash differs from the replay's; -1 if none.
  long firstDifference() const { return differsAt; }

 private:
  enum class Role { None, Recording, Replaying };
  void write(const std::string& line, bool flush);

  Role role = Role::None;
  const Game* recorded = nullptr;
  std::FILE* stream = nullptr;
  std::string text;
  int livesSeen = 0;
  RunFile run;
  size_t next = 0;
  struct GLFWwindow* window = nullptr;
  long differsAt = -1;
};

// The log that the control rules tell of each input (null: none).
extern RunLog* inputLog;
