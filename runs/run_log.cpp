#include "runs/run_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/fnv.h"
#include "base/keys.h"
#include "base/recording_file.h"
#include "rules/control_rules.h"
#include "rules/update_ticks.h"

namespace {

// FNV-1a over the bytes of each value, in a fixed order.
class StateHash {
 public:
  template <typename T>
  void add(T value) {
    hash = fnv1a(hash, &value, sizeof(T));
  }
  std::uint64_t value() const { return hash; }

 private:
  std::uint64_t hash = kFnvStart;
};

// The event line of an input the control rules took.
RunEventKind takenEventKind(TakenInput kind) {
  switch (kind) {
    case TakenInput::Press: return RunEventKind::Press;
    case TakenInput::Release: return RunEventKind::Release;
    case TakenInput::Repeat: return RunEventKind::Repeat;
    case TakenInput::Pause: return RunEventKind::Pause;
    case TakenInput::Resume: break;
  }
  return RunEventKind::Resume;
}

}  // namespace

std::uint64_t runStateHash(const Run& played) {
  StateHash h;
  const Player& hero = *played.tovan;
  h.add(hero.getPosition().getX());
  h.add(hero.getPosition().getY());
  h.add(static_cast<int>(hero.state));
  h.add(hero.getHealth());
  h.add(hero.lives);
  h.add(hero.runScore);
  h.add(played.level);
  for (const Character& enemy : played.enemies) {
    h.add(enemy.getPosition().getX());
    h.add(enemy.getPosition().getY());
    h.add(static_cast<int>(enemy.state));
    h.add(enemy.getHealth());
  }
  return h.value();
}

void RunLog::write(const std::string& line) {
  text += line;
  if (file != nullptr) file->add(line);
}

void RunLog::noteEvent(std::int64_t tick, RunEventKind kind, std::int64_t value) {
  RunEvent event;
  event.tick = tick;
  event.kind = kind;
  event.value = value;
  write(runEventLine(event));
}

void RunLog::recordingFailed() {
  const std::string error = std::strerror(errno);
  const std::string kept = flushedTick < 0 ? "none of the run is recorded"
                                           : "the file keeps the run up to tick " + std::to_string(flushedTick);
  std::fprintf(stderr, "nombre: cannot record into %s (%s): %s; play goes on\n", quotedPath(file->name()).c_str(), error.c_str(),
               kept.c_str());
  file = nullptr;
}

void RunLog::flush(const Run& played) {
  flushDue = false;
  if (file == nullptr) return;
  if (!file->flush(runEndLine(played.ticksRun, digest))) {
    recordingFailed();
    return;
  }
  flushedTick = played.ticksRun;
}

void RunLog::beginRecording(const Run& played, RecordingFile* to, void (*keepText)(const std::string& text)) {
  *this = RunLog();  // nothing of an earlier run, recorded or played back, stays
  role = Role::Recording;
  file = to;
  keep = keepText;
  livesSeen = played.tovan->lives;
  stageOverSeen = played.stageOver;
  write(runHeaderLine(played.level, played.tickClock, played.pace));
  flush(played);
}

void RunLog::beginReplay(const RunFile& recorded) { beginReplay(std::make_shared<const RunFile>(recorded)); }

void RunLog::beginReplay(std::shared_ptr<const RunFile> recorded) {
  *this = RunLog();
  role = Role::Replaying;
  run = std::move(recorded);
}

std::uint64_t RunLog::runHash(const Run& played) const {
  if (role == Role::Replaying && run->version == kFirstRunFormatVersion) return runStateHash(played);
  return digest;
}

void RunLog::inputTaken(const Run& played, TakenInput kind, int value) {
  if (role != Role::Recording) return;
  noteEvent(played.ticksRun, takenEventKind(kind), value);
  if (kind == TakenInput::Pause) flush(played);
}

void RunLog::ticksDropped(const Run& played, ClockTicks ms) {
  if (role != Role::Recording) return;
  if (runGameTime(played.pace, played.ticksRun, droppedMs + ms) > kLongestRunMs) {
    stopAtLongestRun(played);
    return;
  }
  droppedMs += ms;
  noteEvent(played.ticksRun, RunEventKind::Drop, ms);
}

void RunLog::stopAtLongestRun(const Run& played) {
  std::fprintf(stderr, "nombre: the recording ends after %lld hours of game time, the most a run file holds; "
               "play goes on unrecorded\n", static_cast<long long>(kLongestRunHours));
  finish(played);
}

void RunLog::beforeTick(Run& played) {
  if (role != Role::Replaying) return;
  takeEventsDue(played, run->events.size());
}

bool RunLog::takeEventsDue(Run& played, size_t most) {
  if (role != Role::Replaying) return false;
  const std::vector<RunEvent>& events = run->events;
  for (; most > 0 && next < events.size() && events[next].tick <= played.ticksRun; --most) {
    const RunEvent& event = events[next++];
    switch (event.kind) {
      case RunEventKind::Press:
        takeKey(played, static_cast<int>(event.value), kKeyPress);
        break;
      case RunEventKind::Release:
        takeKey(played, static_cast<int>(event.value), kKeyRelease);
        break;
      case RunEventKind::Repeat:
        takeKey(played, static_cast<int>(event.value), kKeyRepeat);
        break;
      case RunEventKind::Pause:
        if (!played.menuOpen) openMenu(played);
        break;
      case RunEventKind::Resume:
        break;  // the key that closed the menu came before it
      case RunEventKind::Drop:
        played.tickClock += event.value;
        // The player's game stood still for the stall; the playback goes
        // straight on rather than wait it out.
        played.clock.time += event.value;
        break;
      case RunEventKind::Hash:
        if (differsAt < 0 && static_cast<std::uint64_t>(event.value) != runHash(played)) differsAt = event.tick;
        break;
    }
  }
  return next < events.size() && events[next].tick <= played.ticksRun;
}

void RunLog::afterTick(Run& played) {
  if (role == Role::Idle) return;
  // A run of the first format is judged by its state hash alone: the digest
  // of every tick would be folded for nothing.
  if (!(role == Role::Replaying && run->version == kFirstRunFormatVersion)) digest = foldRunDigest(digest, played);
  if (role == Role::Replaying) {
    beforeTick(played);  // the hash taken after this tick
    return;
  }
  if (role != Role::Recording) return;
  // A life lost, a stage cleared, every hash: the run so far goes on disk,
  // so a game that dies keeps nearly all of it.
  if (played.tovan->lives != livesSeen) {
    livesSeen = played.tovan->lives;
    flushDue = true;
  }
  if (played.stageOver && !stageOverSeen) flushDue = true;
  stageOverSeen = played.stageOver;
  if (played.ticksRun % kHashEvery == 0) {
    noteEvent(played.ticksRun, RunEventKind::Hash, static_cast<std::int64_t>(digest));
    flushDue = true;
  }
  if (flushDue) flush(played);
  // Ended before a tick would take it past what a file may hold.
  if (runGameTime(played.pace, played.ticksRun + 1, droppedMs) > kLongestRunMs) stopAtLongestRun(played);
}

const std::string& RunLog::finish(const Run& played) {
  if (role != Role::Recording) return text;
  role = Role::Idle;
  const std::string end = runEndLine(played.ticksRun, digest);
  text += end;
  if (file != nullptr) {
    if (file->close(end)) {
      flushedTick = played.ticksRun;
    } else {
      recordingFailed();
    }
    file = nullptr;
  } else if (keep != nullptr && played.ticksRun > 0) {
    keep(text);  // a game closed before its first tick keeps the last run there was
  }
  return text;
}

bool RunLog::replayDone(const Run& played) const {
  return role == Role::Replaying && next >= run->events.size() && played.ticksRun >= run->endTick;
}

bool runLoggedTick(Run& run, RunLog* log) {
  if (log != nullptr) {
    log->beforeTick(run);
    if (!log->mayTick(run)) return false;
  }
  if (!runNextTick(run)) return false;
  if (log != nullptr) log->afterTick(run);
  return true;
}
