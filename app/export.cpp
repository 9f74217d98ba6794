#include "app/export.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/command_line.h"
#include "app/frame_loop.h"
#include "app/pass_ticks.h"
#include "app/replay.h"
#include "base/console.h"
#include "base/files.h"
#include "base/quit_signals.h"
#include "clip/clip_writer.h"
#include "clip/offscreen_gl.h"
#include "clip/progress.h"
#include "clip/sound_mix.h"
#include "enemies/update_pass.h"
#include "player_files/settings.h"
#include "runs/run_check.h"
#include "runs/run_log.h"

namespace {

const char* const kSoundFolder = "./sound";

// Frame n of a clip shows the run n x 50/3 ms of game time after its start
// (exactly, as the ticks fall), the stalls its player's game skipped left out.
ClockTicks frameTime(long long frame) { return ticksTime(kGamePace, frame); }

// What a pass over the run with the rules alone finds before anything is
// drawn: how long the clip is, and when each blow is heard.
struct ClipPlan {
  long long lastFrame = 0;  // the frame that shows the run's end
  std::vector<clip::SoundEvent> sounds;
};

clip::BlowSound trackSoundOf(int blow) {
  if (blow == PunchSwing) return clip::BlowSound::punch;
  if (blow == KickSwing) return clip::BlowSound::kick;
  return clip::BlowSound::impact;
}

// The game time clip frame `frame` shows, the stalls skipped so far left out.
ClockTicks frameGameTime(const RunFile& file, long long frame, ClockTicks skipped) {
  return file.startClock + frameTime(frame) + skipped;
}

ClipPlan planClip(const RunFile& file, int soundRate) {
  Run run;
  RunLog log;
  startReplaying(run, log, file);
  ClipPlan plan;
  int heard[kBlowSounds] = {};
  ClockTicks skipped = 0;
  for (long long frame = 0;; ++frame) {
    if (quitSignalled()) break;
    const ClockTicks now = frameGameTime(file, frame, skipped);
    run.clock.time = now;
    bool stuck = false;
    // The ticks as the export's passes run them, each blow heard at its tick.
    runDueTicks(run, now, nullptr, [&](const Run& played) {
      // A stall the log skips moves the run's clock on with its ticks.
      const ClockTicks clipMs = played.tickClock - file.startClock - skipped - (played.clock.time - now);
      for (int blow = 0; blow < kBlowSounds; ++blow) {
        for (; heard[blow] < played.tovan->soundsStarted[blow]; ++heard[blow]) {
          plan.sounds.push_back({trackSoundOf(blow), clipMs * soundRate / 1000});
        }
      }
    }, &stuck);
    skipped += run.clock.time - now;
    if (stuck || log.replayDone(run)) {
      plan.lastFrame = frame;
      break;
    }
  }
  run.log = nullptr;
  return plan;
}

bool inClip(long long frame, ClockTicks fromMs, ClockTicks toMs) {
  return frameTime(frame) >= fromMs && (toMs < 0 || frameTime(frame) <= toMs);
}

int failedClip(clip::ClipWriter& writer, clip::ExportProgress& progress) {
  progress.clear();
  std::fprintf(stderr, "nombre: %s\n", plainText(writer.error()).c_str());
  writer.abort();
  return 1;
}

// A quit signal has stopped the export: nothing is left written.
int stoppedExport(const ExportRequest& request) {
  std::fprintf(stderr, "nombre: stopped before the end: %s was not written\n", quotedPath(request.clip).c_str());
  return 1;
}

// The frame that shows the moment a run of `ms` of game time ends.
long long frameOfEnd(ClockTicks ms) {
  long long frame = ms * kGamePace.den / kGamePace.num;
  while (frameTime(frame) < ms) ++frame;
  return frame;
}

}  // namespace

int exportRun(const ExportRequest& request) {
  // Every signal only asks: the clip's files are cleaned up however many come.
  listenForQuitSignals(false);
  killLinesShown = false;  // the only lines are the export's
  RunFile run;
  if (!loadRun(request.run, run)) return 2;
  // Everything that would refuse the export is said before any work.
  const std::string part = clipPartProblem(
      request.from, request.to, static_cast<double>(frameTime(frameOfEnd(ticksTime(run.pace, run.endTick)))) / 1000.0);
  if (!part.empty()) {
    std::fprintf(stderr, "nombre: %s\n", part.c_str());
    return 2;
  }
  if (sameFile(request.run.c_str(), request.clip.c_str())) {
    std::fprintf(stderr, "nombre: cannot export to %s: it is the run being exported\n", quotedPath(request.clip).c_str());
    return 2;
  }
  clip::ClipFormat format = clip::ClipFormat::webm;
  const bool withSound = !request.mute && clip::clipFormatOf(request.clip, &format) && format != clip::ClipFormat::gif;
  std::string refusal;
  if (clip::checkClipTarget(request.clip, {request.width, request.height, withSound ? clip::kDefaultTrackRate : 0,
                                           clip::kTrackChannels},
                            &refusal) != clip::ClipFailure::none) {
    std::fprintf(stderr, "nombre: %s\n", refusal.c_str());
    return 2;
  }
  if (!request.force) {
    const RunVerdict verdict = checkRun(run, quitSignalled);
    if (verdict.stopped) return stoppedExport(request);
    if (!verdict.same) {
      std::fprintf(stderr, "nombre: %s does not check (%s); --force exports it as it replays\n",
                   quotedPath(request.run).c_str(), verdict.says.c_str());
      return 1;
    }
  }

  const Settings settings = loadSettings();
  clip::TrackSounds sounds;
  if (withSound) {
    std::vector<std::string> missing;
    sounds = clip::loadTrackSounds(kSoundFolder, &missing);
    if (!missing.empty()) {
      std::string names;
      for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + quotedPath(name);
      std::fprintf(stderr, "nombre: the clip is made without %s: missing or unreadable\n", names.c_str());
    }
  }
  const int soundRate = withSound && sounds.music.sampleRate > 0 ? sounds.music.sampleRate : clip::kDefaultTrackRate;
  ClipPlan plan = planClip(run, soundRate);
  if (quitSignalled()) return stoppedExport(request);
  const ClockTicks fromMs = std::llround(request.from * 1000);
  const ClockTicks toMs = request.to < 0 ? -1 : std::llround(request.to * 1000);
  long long frames = 0;
  for (long long frame = 0; frame <= plan.lastFrame; ++frame) frames += inClip(frame, fromMs, toMs) ? 1 : 0;
  if (frames == 0) {
    std::fprintf(stderr, "nombre: the run is %.2f s long: nothing of it lies between --from and --to\n",
                 static_cast<double>(frameTime(plan.lastFrame)) / 1000.0);
    return 2;
  }
  const clip::SoundTrack track(std::move(sounds), std::move(plan.sounds),
                               {static_cast<float>(settings.musicVolume) / kMaxVolume,
                                static_cast<float>(settings.effectsVolume) / kMaxVolume});

  clip::ClipWriter writer;
  if (!writer.open(request.clip, {request.width, request.height, withSound ? track.rate() : 0, clip::kTrackChannels})) {
    std::fprintf(stderr, "nombre: %s\n", plainText(writer.error()).c_str());
    return writer.failure() == clip::ClipFailure::refused ? 2 : 1;
  }
  clip::OffscreenGl gl;
  std::string why;
  if (!gl.open(request.width, request.height, &why)) {
    writer.abort();
    std::fprintf(stderr, "nombre: no off-screen drawing for the clip: %s\n", why.c_str());
    return 1;
  }
  Game game;
  game.settings = settings;
  if (startUpInContext(game, request.width, request.height, run.startClock) != 0) {
    writer.abort();
    return 1;
  }
  RunLog log;
  beginReplay(game, log, run);

  clip::ExportProgress progress(stdout, frames);
  std::vector<unsigned char> rgba(static_cast<std::size_t>(request.width) * request.height * 4);
  std::vector<float> sound;
  long long written = 0;
  ClockTicks skipped = 0;
  for (long long frame = 0; frame <= plan.lastFrame; ++frame) {
    // Heard at every frame, drawn or not (the part before --from is run, not drawn).
    if (quitSignalled()) {
      game.run.log = nullptr;
      progress.clear();
      writer.abort();
      return stoppedExport(request);
    }
    // A pass of the game at the frame's time, as the window's passes run.
    const ClockTicks now = frameGameTime(run, frame, skipped);
    game.run.clock.time = now;
    advanceGame(game, now);
    skipped += game.run.clock.time - now;
    if (!inClip(frame, fromMs, toMs)) continue;
    drawGame(game);
    gl.readRows(rgba.data());
    if (!writer.addFrame(rgba.data())) return failedClip(writer, progress);
    if (withSound) {
      const long long first = clip::trackFrameOfTick(frame, track.rate());
      const int count = static_cast<int>(clip::trackFrameOfTick(frame + 1, track.rate()) - first);
      sound.resize(static_cast<std::size_t>(count) * clip::kTrackChannels);
      track.mix(first, count, sound.data());
      if (!writer.addSound(sound.data(), count)) return failedClip(writer, progress);
    }
    progress.framesDone(++written);
  }
  game.run.log = nullptr;
  if (!writer.finish()) return failedClip(writer, progress);
  progress.finished(request.clip, written, clip::kClipFrameRate);
  return 0;
}
