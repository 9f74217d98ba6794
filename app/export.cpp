#include "app/export.h"

#include <signal.h>

#include <cmath>
#include <cstdio>
#include <memory>
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
#include "player_files/settings.h"
#include "rules/update_ticks.h"
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

// A run that ends in game over ends its clip on the game-over screen (FIN
// DEL JUEGO, the run's total), held as long as a player would read it
// before closing the window: 3 s.
constexpr long long kGameOverHeldFrames = 3 * clip::kClipFrameRate;

// What a pass over the run with the rules alone finds before anything is
// drawn: how long the clip is.
struct ClipPlan {
  long long lastFrame = 0;  // the frame that shows the run's end, or the game-over screen held after it
};

// The game time clip frame `frame` shows, the stalls skipped so far left out.
ClockTicks frameGameTime(const RunFile& file, long long frame, ClockTicks skipped) {
  return file.startClock + frameTime(frame) + skipped;
}

ClipPlan planClip(const std::shared_ptr<const RunFile>& shared) {
  const RunFile& file = *shared;
  Run run;
  RunLog log;
  startReplaying(run, log, shared);
  ClipPlan plan;
  ClockTicks skipped = 0;
  for (long long frame = 0;; ++frame) {
    if (quitSignalled()) break;
    const ClockTicks now = frameGameTime(file, frame, skipped);
    run.clock.time = now;
    bool stuck = false;
    // The ticks as the export's passes run them.
    runDueTicks(run, &log, now, nullptr, [](const Run&) {}, &stuck);
    skipped += run.clock.time - now;
    if (stuck || log.replayDone(run)) {
      plan.lastFrame = frame + (gameIsOver(run) ? kGameOverHeldFrames : 0);
      break;
    }
  }
  return plan;
}

// The first frame of the sound track heard with a frame of the clip.
long long soundFrameOf(long long frame) { return frame * kClipSoundRate / clip::kClipFrameRate; }

// The part of the run the clip shows, in ms of its game time.
struct ClipPart {
  ClockTicks fromMs = 0;
  ClockTicks toMs = -1;  // below 0: to the run's end
};

ClipPart partOf(const ExportRequest& request) {
  return {std::llround(request.from * 1000), request.to < 0 ? -1 : std::llround(request.to * 1000)};
}

bool inClip(long long frame, const ClipPart& part) {
  return frameTime(frame) >= part.fromMs && (part.toMs < 0 || frameTime(frame) <= part.toMs);
}

// How many of the frames 0 to lastFrame the clip shows.
long long framesIn(long long lastFrame, const ClipPart& part) {
  long long frames = 0;
  for (long long frame = 0; frame <= lastFrame; ++frame) frames += inClip(frame, part) ? 1 : 0;
  return frames;
}

// The clip given up: its files go before its line is said.
int failedClip(clip::ClipWriter& writer, clip::ExportProgress& progress) {
  const std::string line = writer.error();
  writer.abort();
  progress.clear();
  std::fprintf(stderr, "nombre: %s\n", plainText(line).c_str());
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

// A line to stdout or stderr whose reader has gone (a pipe closed early)
// fails with EPIPE instead of ending the export before its files are
// cleaned up: the export goes on, or stops, as it would have.
void ignoreClosedPipes() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

clip::ClipOptions clipOptions(const ExportRequest& request, bool withSound, long long frames) {
  clip::ClipOptions options;
  options.width = request.width;
  options.height = request.height;
  options.soundRate = withSound ? kClipSoundRate : 0;
  options.soundChannels = kClipSoundChannels;
  options.frames = frames;
  return options;
}

// Everything that would refuse the export, said before any work: 2, or 0
// when nothing does. A clip's length is known from the run's file: at most
// the frames up to its end.
int refusedBeforeWork(const ExportRequest& request, const RunFile& run, bool withSound) {
  const long long lastFrame = frameOfEnd(ticksTime(run.pace, run.endTick));
  const std::string part =
      clipPartProblem(request.from, request.to, static_cast<double>(frameTime(lastFrame)) / 1000.0);
  if (!part.empty()) {
    std::fprintf(stderr, "nombre: %s\n", part.c_str());
    return 2;
  }
  if (sameFile(request.run.c_str(), request.clip.c_str())) {
    std::fprintf(stderr, "nombre: cannot export to %s: it is the run being exported\n", quotedPath(request.clip).c_str());
    return 2;
  }
  std::string refusal;
  const clip::ClipOptions options = clipOptions(request, withSound, framesIn(lastFrame, partOf(request)));
  if (clip::checkClipTarget(request.clip, options, &refusal) != clip::ClipFailure::none) {
    std::fprintf(stderr, "nombre: %s\n", refusal.c_str());
    return 2;
  }
  return 0;
}

// The run is checked first, unless forced: 0 when it checks, 1 when it does
// not or a quit signal stopped the check.
int checkedFirst(const ExportRequest& request, const std::shared_ptr<const RunFile>& run) {
  if (request.force) return 0;
  const RunVerdict verdict = checkRun(run, quitSignalled);
  if (verdict.stopped) return stoppedExport(request);
  if (!verdict.same) {
    std::fprintf(stderr, "nombre: %s does not check (%s); --force exports it as it replays\n",
                 quotedPath(request.run).c_str(), verdict.says.c_str());
    return 1;
  }
  return 0;
}

// The sounds the clip will be made without, named in one line.
void nameMissingSounds() {
  std::string names;
  for (const char* path : {kMusicPath, kBlowSoundPaths[0], kBlowSoundPaths[1], kBlowSoundPaths[2]}) {
    audio::PcmSound read;
    if (!audio::loadSoundFile(path, &read)) names += (names.empty() ? "" : ", ") + quotedPath(path);
  }
  if (!names.empty()) std::fprintf(stderr, "nombre: the clip is made without %s: missing or unreadable\n", names.c_str());
}

// Where the frames are drawn and written.
struct ClipOutput {
  Game& game;
  clip::OffscreenGl& gl;
  clip::ClipWriter& writer;
};

// Every frame of the run to its last, each a pass of the game at the
// frame's time; those of the clip drawn and written with their sound.
int writeFrames(const ExportRequest& request, const RunFile& run, const ClipPlan& plan, long long frames,
                bool withSound, ClipOutput out) {
  Game& game = out.game;
  clip::ClipWriter& writer = out.writer;
  const ClipPart part = partOf(request);
  clip::ExportProgress progress(stdout, frames);
  std::vector<unsigned char> rgba(static_cast<std::size_t>(request.width) * request.height * 4);
  std::vector<float> sound;
  long long written = 0;
  ClockTicks skipped = 0;
  for (long long frame = 0; frame <= plan.lastFrame; ++frame) {
    // Heard at every frame, drawn or not (the part before --from is run, not drawn).
    if (quitSignalled()) {
      writer.abort();
      progress.clear();
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
    if (!inClip(frame, part)) continue;
    drawGame(game);
    out.gl.readRows(rgba.data());
    if (!writer.addFrame(rgba.data())) return failedClip(writer, progress);
    if (withSound && !writer.addSound(sound.data(), static_cast<int>(sound.size() / kClipSoundChannels))) {
      return failedClip(writer, progress);
    }
    progress.framesDone(++written);
  }
  if (!writer.finish()) return failedClip(writer, progress);
  progress.finished(request.clip, written, clip::kClipFrameRate);
  return 0;
}

}  // namespace

int exportRun(const ExportRequest& request) {
  // Every signal only asks: the clip's files are cleaned up however many come.
  listenForQuitSignals(false);
  ignoreClosedPipes();
  // The run's events are held once, by every replay of them the export makes.
  auto read = std::make_shared<RunFile>();
  if (!loadRun(request.run, *read, quitSignalled)) return quitSignalled() ? stoppedExport(request) : 2;
  const std::shared_ptr<const RunFile> shared = std::move(read);
  const RunFile& run = *shared;
  clip::ClipFormat format = clip::ClipFormat::webm;
  const bool withSound = !request.mute && clip::clipFormatOf(request.clip, &format) && format != clip::ClipFormat::gif;
  if (const int refused = refusedBeforeWork(request, run, withSound)) return refused;
  if (const int unchecked = checkedFirst(request, shared)) return unchecked;

  const Settings settings = loadSettings();
  if (withSound) nameMissingSounds();
  const ClipPlan plan = planClip(shared);
  if (quitSignalled()) return stoppedExport(request);
  const long long frames = framesIn(plan.lastFrame, partOf(request));
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
  if (!writer.open(request.clip, clipOptions(request, withSound, frames))) {
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
  game.killLines = false;
  if (startUpInContext(game, request.width, request.height, run.startClock) != 0) {
    writer.abort();
    return 1;
  }
  beginReplay(game, shared);
  // The music from the run's start; each blow played by the pass whose
  // ticks start it, as in the window, at that frame of the track. The track
  // is rendered from the run's start, so a part sounds as it did in the whole.
  if (withSound) startSounds(game.sounds, settings);
  const int written = writeFrames(request, run, plan, frames, withSound, {game, gl, writer});
  // What the export made is let go while its context is still current.
  shutDown(game);
  return written;
}
