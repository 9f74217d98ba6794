#pragma once
// Recording the run being played, or playing one back (the file it is kept
// in: runs/run_file.h).

#include <cstdint>
#include <memory>
#include <string>

#include "rules/control_rules.h"
#include "rules/run.h"
#include "runs/run_digest.h"
#include "runs/run_file.h"

// What the hashes of a version-1 run cover: the hero's position, state,
// health, lives and run score, the level, and each enemy's position, state
// and health, at the tick of the hash alone. Runs recorded now carry the
// digest of the whole run instead (runs/run_digest.h).
std::uint64_t runStateHash(const Run& played);

// The one log of the run being played: it records it, or plays one back. It
// holds no pointer to the run: whatever drives the run holds the log beside
// it and hands both to each call (the ticks, below; the control rules, as
// their listener), so a copy of the run plays on without it, and a copy of
// the log goes on as a log of its own.
class RunLog : public InputListener {
 public:
  // Records `played` into `file` as play goes; with no file, hands the whole
  // text to `keep` once the run ends, if a tick of it was played (neither:
  // keeps the text only). The control rules given the log as their listener
  // tell it of the inputs they take from then on.
  void beginRecording(const Run& played, class RecordingFile* file, void (*keep)(const std::string& text) = nullptr);
  // Plays `run` back into the control rules of the run it is ticked with.
  void beginReplay(const RunFile& run);
  // The same with the file shared, not copied: copies of the log, the
  // check's among them, read the one file (a run of millions of events is
  // held once).
  void beginReplay(std::shared_ptr<const RunFile> run);

  bool recording() const { return role == Role::Recording; }
  // The run it is ticked with is a recorded one played back.
  bool replaying() const { return role == Role::Replaying; }

  // Replaying: hands the run at most `most` of the events due before its
  // next tick (beforeTick takes the rest); true while more are due. A check
  // takes them in such steps to hear a stop request between them, however
  // many events a file puts at one tick.
  bool takeEventsDue(Run& played, size_t most);

  // The ticks call these (runLoggedTick below).
  void beforeTick(Run& played);
  // A replay runs no tick past the end of its run.
  bool mayTick(const Run& played) const { return role != Role::Replaying || played.ticksRun < run->endTick; }
  void afterTick(Run& played);
  void ticksDropped(const Run& played, ClockTicks ms);

  // A key event or a pause as the control rules saw it (recorded while recording).
  void inputTaken(const Run& played, TakenInput kind, int value) override;
  // The run has ended (game over, the window closed, a signal): ends the
  // recording with the final line and keeps it, once. Returns the whole text.
  const std::string& finish(const Run& played);

  // Replaying: every event taken, the last tick reached.
  bool replayDone(const Run& played) const;
  // The first tick whose recorded hash differs from the replay's; -1 if none.
  std::int64_t firstDifference() const { return differsAt; }
  // The run's hash as its file says it: the digest of every tick so far, or
  // for a version-1 run played back, the hash of the state now.
  std::uint64_t runHash(const Run& played) const;
  // Replaying: the state now is the one the run ended in.
  bool endsAsRecorded(const Run& played) const { return runHash(played) == run->endHash; }

 private:
  enum class Role { Idle, Recording, Replaying };
  void write(const std::string& line);
  void noteEvent(std::int64_t tick, RunEventKind kind, std::int64_t value);
  // What was recorded so far goes on disk, ending as a whole run would.
  void flush(const Run& played);
  // A write or the close failed: says once what is lost, and writes no more.
  void recordingFailed();
  // The run has reached the most game time a file holds: the recording ends there.
  void stopAtLongestRun(const Run& played);

  Role role = Role::Idle;
  class RecordingFile* file = nullptr;
  void (*keep)(const std::string& text) = nullptr;
  std::string text;
  std::int64_t droppedMs = 0;
  bool flushDue = false;
  std::int64_t flushedTick = -1;  // the last tick whose record is on disk
  int livesSeen = 0;
  bool stageOverSeen = false;
  std::shared_ptr<const RunFile> run = std::make_shared<const RunFile>();
  size_t next = 0;
  std::int64_t differsAt = -1;
  std::uint64_t digest = kRunDigestStart;
};

// Runs the run's next tick after `log` (if any) has given it its inputs, and
// lets the log note it. Returns false, running nothing, while the menu is
// open, the game is over, or a replay has reached the end of its run.
bool runLoggedTick(Run& run, RunLog* log);
