#include "runs/run_log.h"

#include <GLFW/glfw3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/recording_file.h"
#include "rules/control_rules.h"

namespace {

// FNV-1a over the bytes of each value, in a fixed order.
class StateHash {
 public:
  template <typename T>
  void add(T value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) {
      hash ^= b;
      hash *= 0x100000001b3ULL;
    }
  }
  std::uint64_t value() const { return hash; }

 private:
  std::uint64_t hash = 0xcbf29ce484222325ULL;
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

void recordTakenInput(Game& game, TakenInput kind, int value) {
  if (game.log != nullptr) game.log->noteInput(takenEventKind(kind), value);
}

}  // namespace

std::uint64_t runStateHash(const Game& game) {
  StateHash h;
  const Player& hero = *game.tovan;
  h.add(hero.getPosition().getX());
  h.add(hero.getPosition().getY());
  h.add(static_cast<int>(hero.state));
  h.add(hero.getHealth());
  h.add(hero.lives);
  h.add(hero.runScore);
  h.add(game.level);
  for (const Character& enemy : game.enemies) {
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

void RunLog::recordingFailed() {
  const std::string error = std::strerror(errno);
  const std::string kept = flushedTick < 0 ? "none of the run is recorded"
                                           : "the file keeps the run up to tick " + std::to_string(flushedTick);
  std::fprintf(stderr, "nombre: cannot record into %s (%s): %s; play goes on\n", quotedPath(file->name()).c_str(), error.c_str(),
               kept.c_str());
  file = nullptr;
}

void RunLog::flush(const Game& game) {
  flushDue = false;
  if (file == nullptr) return;
  if (!file->flush(runEndLine(game.ticksRun, digest))) {
    recordingFailed();
    return;
  }
  flushedTick = game.ticksRun;
}

void RunLog::beginRecording(Game& game, RecordingFile* to, void (*keepText)(const std::string& text)) {
  role = Role::Recording;
  recorded = &game;
  game.inputTaken = recordTakenInput;
  file = to;
  keep = keepText;
  text.clear();
  droppedMs = 0;
  flushDue = false;
  flushedTick = -1;
  livesSeen = game.tovan->lives;
  stageOverSeen = game.stageOver;
  digest = kRunDigestStart;
  write(runHeaderLine(game.level, game.tickClock, game.pace));
  flush(game);
}

void RunLog::beginReplay(const RunFile& file) {
  role = Role::Replaying;
  run = file;
  next = 0;
  differsAt = -1;
  digest = kRunDigestStart;
}

std::uint64_t RunLog::runHash(const Game& game) const {
  if (role == Role::Replaying && run.version == kFirstRunFormatVersion) return runStateHash(game);
  return digest;
}

void RunLog::noteInput(RunEventKind kind, std::int64_t value) {
  if (role != Role::Recording) return;
  RunEvent event;
  event.tick = recorded->ticksRun;
  event.kind = kind;
  event.value = value;
  write(runEventLine(event));
  if (kind == RunEventKind::Pause) flush(*recorded);
}

void RunLog::ticksDropped(const Game& game, ClockTicks ms) {
  if (role != Role::Recording) return;
  if (runGameTime(game.pace, game.ticksRun, droppedMs + ms) > kLongestRunMs) {
    stopAtLongestRun(game);
    return;
  }
  droppedMs += ms;
  RunEvent event;
  event.tick = game.ticksRun;
  event.kind = RunEventKind::Drop;
  event.value = ms;
  write(runEventLine(event));
}

void RunLog::stopAtLongestRun(const Game& game) {
  std::fprintf(stderr, "nombre: the recording ends after %lld hours of game time, the most a run file holds; "
               "play goes on unrecorded\n", static_cast<long long>(kLongestRunHours));
  finish(game);
}

void RunLog::beforeTick(Game& game) {
  if (role != Role::Replaying) return;
  while (next < run.events.size() && run.events[next].tick <= game.ticksRun) {
    const RunEvent& event = run.events[next++];
    switch (event.kind) {
      case RunEventKind::Press:
        takeKey(game, static_cast<int>(event.value), GLFW_PRESS);
        break;
      case RunEventKind::Release:
        takeKey(game, static_cast<int>(event.value), GLFW_RELEASE);
        break;
      case RunEventKind::Repeat:
        takeKey(game, static_cast<int>(event.value), GLFW_REPEAT);
        break;
      case RunEventKind::Pause:
        if (!game.menuOpen) openMenu(game);
        break;
      case RunEventKind::Resume:
        break;  // the key that closed the menu came before it
      case RunEventKind::Drop:
        game.tickClock += event.value;
        // The player's game stood still for the stall; the playback goes
        // straight on rather than wait it out.
        game.clock.time += event.value;
        break;
      case RunEventKind::Hash:
        if (differsAt < 0 && static_cast<std::uint64_t>(event.value) != runHash(game)) differsAt = event.tick;
        break;
    }
  }
}

void RunLog::afterTick(Game& game) {
  if (role == Role::None) return;
  digest = foldRunDigest(digest, game);
  if (role == Role::Replaying) {
    beforeTick(game);  // the hash taken after this tick
    return;
  }
  if (role != Role::Recording) return;
  // A life lost, a stage cleared, every hash: the run so far goes on disk,
  // so a game that dies keeps nearly all of it.
  if (game.tovan->lives != livesSeen) {
    livesSeen = game.tovan->lives;
    flushDue = true;
  }
  if (game.stageOver && !stageOverSeen) flushDue = true;
  stageOverSeen = game.stageOver;
  if (game.ticksRun % kHashEvery == 0) {
    RunEvent event;
    event.tick = game.ticksRun;
    event.kind = RunEventKind::Hash;
    event.value = static_cast<std::int64_t>(digest);
    write(runEventLine(event));
    flushDue = true;
  }
  if (flushDue) flush(game);
  // Ended before a tick would take it past what a file may hold.
  if (runGameTime(game.pace, game.ticksRun + 1, droppedMs) > kLongestRunMs) stopAtLongestRun(game);
}

const std::string& RunLog::finish(const Game& game) {
  if (role != Role::Recording) return text;
  role = Role::None;
  const std::string end = runEndLine(game.ticksRun, digest);
  text += end;
  if (file != nullptr) {
    if (file->close(end)) {
      flushedTick = game.ticksRun;
    } else {
      recordingFailed();
    }
    file = nullptr;
  } else if (keep != nullptr) {
    keep(text);
  }
  return text;
}

bool RunLog::replayDone(const Game& game) const {
  return role == Role::Replaying && next >= run.events.size() && game.ticksRun >= run.endTick;
}
