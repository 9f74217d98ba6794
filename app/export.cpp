#include "app/export.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/command_line.h"
#include "app/frame_loop.h"
#include "app/pass_ticks.h"
#include "app/replay.h"
#include "app/game_sounds.h"
#include "audio/sound.h"
#include "audio/sound_file.h"
#include "base/console.h"
#include "base/files.h"
#include "base/quit_signals.h"
#include "clip/clip_writer.h"
#include "clip/offscreen_gl.h"
#include "clip/progress.h"
#include "enemies/update_pass.h"
#include "player_files/settings.h"
#include "runs/run_check.h"
#include "runs/run_log.h"
#include "window/window_fit.h"

namespace {

// The clip's sound: stereo at the rate Opus and AAC are made at, so only the
// game's own mixing touches it.
constexpr int kClipSoundRate = 48000;
constexpr int kClipSoundChannels = 2;

// Frame n of a clip shows the run n x 50/3 ms of game time after its start
// (exactly, as the ticks fall), the stalls its player's game skipped left out.
ClockTicks frameTime(long long frame) { return ticksTime(kGamePace, frame); }

// What a pass over the run with the rules alone finds before anything is
// drawn: how long the clip is.
struct ClipPlan {
  long long lastFrame = 0;  // the frame that shows the run's end
};

// The game time clip frame `frame` shows, the stalls skipped so far left out.
ClockTicks frameGameTime(const RunFile& file, long long frame, ClockTicks skipped) {
  return file.startClock + frameTime(frame) + skipped;
}

ClipPlan planClip(const RunFile& file) {
  Run run;
  RunLog log;
  startReplaying(run, log, file);
  ClipPlan plan;
  ClockTicks skipped = 0;
  for (long long frame = 0;; ++frame) {
    if (quitSignalled()) break;
    const ClockTicks now = frameGameTime(file, frame, skipped);
    run.clock.time = now;
    bool stuck = false;
    // The ticks as the export's passes run them.
    runDueTicks(run, now, nullptr, [](const Run&) {}, &stuck);
    skipped += run.clock.time - now;
    if (stuck || log.replayDone(run)) {
      plan.lastFrame = frame;
      break;
    }
  }
  run.log = nullptr;
  return plan;
}

// The first frame of the sound track heard with a frame of the clip.
long long soundFrameOf(long long frame) { return frame * kClipSoundRate / clip::kClipFrameRate; }

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
  if (clip::checkClipTarget(request.clip, {request.width, request.height, withSound ? kClipSoundRate : 0,
                                           kClipSoundChannels},
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
  if (withSound) {
    std::string names;
    for (const char* path : {kMusicPath, kBlowSoundPaths[0], kBlowSoundPaths[1], kBlowSoundPaths[2]}) {
      audio::PcmSound read;
      if (!audio::loadSoundFile(path, &read)) names += (names.empty() ? "" : ", ") + quotedPath(path);
    }
    if (!names.empty()) std::fprintf(stderr, "nombre: the clip is made without %s: missing or unreadable\n", names.c_str());
  }
  const ClipPlan plan = planClip(run);
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
  // The game's own sound systems, mixing into memory for the clip.
  if (withSound && audio::renderSoundInMemory(kClipSoundRate) != audio::kSoundOk) {
    std::fprintf(stderr, "nombre: this OpenAL cannot render the run's sound into a clip (--mute leaves it out)\n");
    return 1;
  }

  clip::ClipWriter writer;
  if (!writer.open(request.clip, {request.width, request.height, withSound ? kClipSoundRate : 0, kClipSoundChannels})) {
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
  // The music from the run's start; each blow played by the pass whose
  // ticks start it, as in the window, at that frame of the track. The track
  // is rendered from the run's start, so a part sounds as it did in the whole.
  if (withSound) startSounds(game.sounds, settings);

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
    if (withSound) {
      sound.resize(static_cast<std::size_t>(soundFrameOf(frame + 1) - soundFrameOf(frame)) * kClipSoundChannels);
      audio::renderSound(sound.data(), static_cast<int>(sound.size() / kClipSoundChannels));
    }
    if (!inClip(frame, fromMs, toMs)) continue;
    drawGame(game);
    gl.readRows(rgba.data());
    if (!writer.addFrame(rgba.data())) return failedClip(writer, progress);
    if (withSound && !writer.addSound(sound.data(), static_cast<int>(sound.size() / kClipSoundChannels))) {
      return failedClip(writer, progress);
    }
    progress.framesDone(++written);
  }
  game.run.log = nullptr;
  if (!writer.finish()) return failedClip(writer, progress);
  progress.finished(request.clip, written, clip::kClipFrameRate);
  return 0;
}
