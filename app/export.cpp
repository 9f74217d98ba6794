#include "app/export.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/game.h"
#include "app/pass_ticks.h"
#include "app/play_picture.h"
#include "app/replay.h"
#include "audio/sound.h"
#include "base/console.h"
#include "base/quit_signals.h"
#include "clip/clip_writer.h"
#include "clip/offscreen_gl.h"
#include "clip/progress.h"
#include "enemies/update_pass.h"
#include "player_files/settings.h"
#include "rules/update_ticks.h"
#include "runs/run_check.h"
#include "runs/run_log.h"
#include "screens/hud.h"
#include "window/window_fit.h"

namespace {

// The clip's sound: stereo at the rate Opus and AAC are made at, so only the
// game's own mixing touches it.
constexpr int kClipSoundRate = 48000;
constexpr int kClipSoundChannels = 2;

// Frame n of a clip shows the run n x 50/3 ms of game time after its start
// (exactly, as the ticks fall), the stalls its player's game skipped left out.
ClockTicks frameTime(long long frame) { return ticksTime(kGamePace, frame); }

// A blow's sound (PunchSwing, KickSwing, Impact) and the frame of the sound
// track it starts at.
struct BlowHeard {
  int blow = PunchSwing;
  long long atFrame = 0;
};

// What a pass over the run with the rules alone finds before anything is
// drawn: how long the clip is, and when each blow is heard.
struct ClipPlan {
  long long lastFrame = 0;  // the frame that shows the run's end
  std::vector<BlowHeard> sounds;
};

ClipPlan planClip(const RunFile& file, int soundRate) {
  Run run;
  RunLog log;
  startReplaying(run, log, file);
  ClipPlan plan;
  int heard[kBlowSounds] = {};
  ClockTicks skipped = 0;
  for (long long frame = 0;; ++frame) {
    const ClockTicks now = file.startClock + frameTime(frame) + skipped;
    run.clock.time = now;
    bool stuck = false;
    while (now >= nextTickTime(run)) {
      if (!runLoggedTick(run)) {
        stuck = true;
        break;
      }
      // A stall the log skips moves the run's clock on with its ticks.
      const ClockTicks clipMs = run.tickClock - file.startClock - skipped - (run.clock.time - now);
      for (int blow = 0; blow < kBlowSounds; ++blow) {
        for (; heard[blow] < run.tovan->soundsStarted[blow]; ++heard[blow]) {
          plan.sounds.push_back({blow, clipMs * soundRate / 1000});
        }
      }
    }
    skipped += run.clock.time - now;
    if (stuck || log.replayDone(run)) {
      plan.lastFrame = frame;
      break;
    }
  }
  run.log = nullptr;
  return plan;
}

// The frame as the game's frame loop draws the mode the run is in, its
// ticks already run.
void drawFrame(Game& game) {
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  switch (chooseMode(game)) {
    case FrameMode::Menu:
      menuFrame(game);
      break;
    case FrameMode::GameOver:
      keepEndedRun(game);  // a run played back: its score is shown, not kept
      gameOverFrame(game);
      break;
    case FrameMode::StageClear:
      stageClearFrame(game);
      break;
    case FrameMode::Play:
      drawPlay(game, 1.0f);
      break;
  }
}

// The run's sound as the game plays it: the game's music and blow sounds,
// started by its own code, mixed by its sound systems into memory. The
// track is rendered from the run's start, so a part of a run sounds as it
// did in the whole; each blow starts at its own frame of the track.
struct ClipSound {
  std::vector<BlowHeard> blows;  // in order of their frames
  std::size_t next = 0;          // the first blow not yet played
  long long rendered = 0;        // frames of the track rendered so far

  // The track's frames up to `until`, into out.
  void renderUntil(long long until, std::vector<float>& out) {
    out.clear();
    while (rendered < until) {
      for (; next < blows.size() && blows[next].atFrame <= rendered; ++next) playBlowSound(blowSounds, blows[next].blow);
      const long long end = next < blows.size() ? std::min(until, blows[next].atFrame) : until;
      const std::size_t from = out.size();
      out.resize(from + static_cast<std::size_t>(end - rendered) * kClipSoundChannels);
      audio::renderSound(out.data() + from, static_cast<int>(end - rendered));
      rendered = end;
    }
  }
};

// The first frame of the sound track heard with a frame of the clip.
long long soundFrameOf(long long frame) { return frame * kClipSoundRate / clip::kClipFrameRate; }

bool inClip(long long frame, ClockTicks fromMs, ClockTicks toMs) {
  return frameTime(frame) >= fromMs && (toMs < 0 || frameTime(frame) <= toMs);
}

int failedClip(clip::ClipWriter& writer, clip::ExportProgress& progress) {
  progress.clear();
  std::fprintf(stderr, "nombre: %s\n", writer.error().c_str());
  writer.abort();
  return 1;
}

}  // namespace

int exportRun(const ExportRequest& request) {
  listenForQuitSignals();
  killLinesShown = false;  // the only lines are the export's
  RunFile run;
  if (!loadRun(request.run, run)) return 2;
  if (!request.force) {
    const RunVerdict verdict = checkRun(run);
    if (!verdict.same) {
      std::fprintf(stderr, "nombre: %s does not check (%s); --force exports it as it replays\n",
                   quotedPath(request.run).c_str(), verdict.says.c_str());
      return 1;
    }
  }

  clip::ClipFormat format = clip::ClipFormat::webm;
  const bool withSound = !request.mute && clip::clipFormatOf(request.clip, &format) && format != clip::ClipFormat::gif;
  loadSettings();
  ClipPlan plan = planClip(run, kClipSoundRate);
  const ClockTicks fromMs = std::llround(request.from * 1000);
  const ClockTicks toMs = request.to < 0 ? -1 : std::llround(request.to * 1000);
  long long frames = 0;
  for (long long frame = 0; frame <= plan.lastFrame; ++frame) frames += inClip(frame, fromMs, toMs) ? 1 : 0;
  if (frames == 0) {
    std::fprintf(stderr, "nombre: the run is %.2f s long: nothing of it lies between --from and --to\n",
                 static_cast<double>(frameTime(plan.lastFrame)) / 1000.0);
    return 2;
  }
  if (withSound && audio::renderSoundInMemory(kClipSoundRate) != audio::kSoundOk) {
    std::fprintf(stderr, "nombre: this OpenAL cannot render the run's sound into a clip (--mute leaves it out)\n");
    return 1;
  }

  clip::ClipWriter writer;
  if (!writer.open(request.clip, {request.width, request.height, withSound ? kClipSoundRate : 0, kClipSoundChannels})) {
    std::fprintf(stderr, "nombre: %s\n", writer.error().c_str());
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
  if (startUpInContext(game, request.width, request.height, run.startClock) != 0) {
    writer.abort();
    return 1;
  }
  RunLog log;
  beginReplay(game, log, run);
  ClipSound sound{std::move(plan.sounds)};
  if (withSound) {
    startMusic();
    openBlowSounds(blowSounds);
    applySoundVolumes(nullptr, blowSounds.system);
  }

  clip::ExportProgress progress(stdout, frames);
  std::vector<unsigned char> rgba(static_cast<std::size_t>(request.width) * request.height * 4);
  std::vector<float> samples;
  long long written = 0;
  ClockTicks skipped = 0;
  for (long long frame = 0; frame <= plan.lastFrame; ++frame) {
    const ClockTicks now = run.startClock + frameTime(frame) + skipped;
    game.clock.time = now;
    runDueTicks(game, now);
    skipped += game.clock.time - now;
    if (withSound) sound.renderUntil(soundFrameOf(frame + 1), samples);
    if (!inClip(frame, fromMs, toMs)) continue;
    drawFrame(game);
    gl.readRows(rgba.data());
    if (!writer.addFrame(rgba.data())) return failedClip(writer, progress);
    if (withSound && !writer.addSound(samples.data(), static_cast<int>(samples.size() / kClipSoundChannels))) {
      return failedClip(writer, progress);
    }
    progress.framesDone(++written);
  }
  game.log = nullptr;
  if (!writer.finish()) return failedClip(writer, progress);
  progress.finished(request.clip, written, clip::kClipFrameRate);
  return 0;
}
