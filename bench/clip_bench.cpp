// Exporting a clip: for each kind of file at 800x600, frames encoded a
// second against the 60 a second of a run, the size a minute of it takes, and
// how close its pictures stay to the lossless clip's (PSNR, as FFmpeg's psnr
// filter measures it: video in 4:2:0 against the lossless frames converted
// the same way, a GIF in RGB against every other lossless frame). The frames
// are the stage scrolling under a fighter, as a run draws them, made beside
// the timing; the sound is the game's music rendered by its own sound
// system. The encoder works on the second core, as in an export.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "bench/modes.h"
#include "clip/clip_writer.h"
#include "render/image.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFramesPerClip = 180;
constexpr int kScrollPerFrame = 3;
const char* const kExtensions[] = {"webm", "mp4", "gif", "mkv"};
constexpr int kSoundRate = 48000;
constexpr int kSoundChannels = 2;
// How FFmpeg's psnr filter compares each kind of file (input 0) with the
// lossless clip (input 1), frame by frame: a .webm's times are in
// milliseconds, so the frames are paired by their numbers, not their times.
const char* const kPsnrFilters[] = {
    "[0:v]settb=1/60,setpts=N[a];"
    "[1:v]scale=out_color_matrix=bt709:out_range=tv:flags=fast_bilinear,format=yuv420p,settb=1/60,setpts=N[r];"
    "[a][r]psnr",
    "[0:v]settb=1/60,setpts=N[a];"
    "[1:v]scale=out_color_matrix=bt709:out_range=tv:flags=fast_bilinear,format=yuv420p,settb=1/60,setpts=N[r];"
    "[a][r]psnr",
    "[0:v]format=gbrp,settb=1/60,setpts=N[a];[1:v]select='not(mod(n,2))',format=gbrp,settb=1/60,setpts=N[r];[a][r]psnr",
    "[0:v]format=gbrp,settb=1/60,setpts=N[a];[1:v]format=gbrp,settb=1/60,setpts=N[r];[a][r]psnr",
};

struct Picture {
  std::vector<unsigned char> rgba;
  int width = 0;
  int height = 0;
};

Picture loadPicture(const char* path) {
  Picture picture;
  int channels = 0;
  unsigned char* pixels = loadImagePixels(path, &picture.width, &picture.height, &channels, 4);
  if (pixels != nullptr) {
    picture.rgba.assign(pixels, pixels + static_cast<std::size_t>(picture.width) * picture.height * 4);
    freeImagePixels(pixels);
  }
  return picture;
}

// The stage at a scroll, a fighter over it, a plain band below for the HUD.
void drawFrame(const Picture& stage, const Picture& fighter, int frame, unsigned char* rgba) {
  std::memset(rgba, 40, static_cast<std::size_t>(kWidth) * kHeight * 4);
  const int scroll = (frame * kScrollPerFrame) % (stage.width - kWidth);
  for (int y = 0; y < stage.height && y < kHeight; ++y) {
    std::memcpy(rgba + static_cast<std::size_t>(y) * kWidth * 4,
                stage.rgba.data() + (static_cast<std::size_t>(y) * stage.width + scroll) * 4, kWidth * 4);
  }
  const int left = 300 + (frame % 60);
  for (int y = 0; y < fighter.height && 200 + y < kHeight; ++y) {
    for (int x = 0; x < fighter.width && left + x < kWidth; ++x) {
      const unsigned char* p = &fighter.rgba[(static_cast<std::size_t>(y) * fighter.width + x) * 4];
      if (p[3] > 127) std::memcpy(rgba + ((200 + y) * kWidth + left + x) * 4, p, 4);
    }
  }
}

// The game's music looping, as its own sound system renders it (silence
// when a sound device was opened before).
void startMusic() {
  static bool started = false;
  if (started) return;
  started = true;
  audio::renderSoundInMemory(kSoundRate);
  audio::SoundSystem* system = nullptr;
  if (audio::createSoundSystem(&system) != audio::kSoundOk) return;
  system->init(1, 0, nullptr);
  audio::Sound* music = nullptr;
  system->createSound("./sound/music.wav", audio::kSoundLoop, nullptr, &music);
  system->playSound(music, nullptr, false, nullptr);
}

// Writes the clip's frames (with the music, unless muted) to path; false with *why.
bool writeClip(const std::string& path, const Picture& stage, const Picture& fighter, bool withSound,
               std::string* why) {
  constexpr int kSoundPerFrame = kSoundRate / clip::kClipFrameRate;
  std::vector<unsigned char> rgba(static_cast<std::size_t>(kWidth) * kHeight * 4);
  std::vector<float> sound(static_cast<std::size_t>(kSoundPerFrame) * kSoundChannels);
  clip::ClipOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.soundRate = withSound ? kSoundRate : 0;
  options.soundChannels = kSoundChannels;
  options.stopAsked = nullptr;
  clip::ClipWriter writer;
  bool ok = writer.open(path, options);
  for (int frame = 0; frame < kFramesPerClip && ok; ++frame) {
    drawFrame(stage, fighter, frame, rgba.data());
    audio::renderSound(sound.data(), kSoundPerFrame);
    ok = writer.addFrame(rgba.data()) && (!withSound || writer.addSound(sound.data(), kSoundPerFrame));
  }
  if (ok && writer.finish()) return true;
  *why = writer.error();
  return false;
}

// The PSNR FFmpeg's psnr filter gives a clip against the lossless one, in
// dB; 0 when it cannot be measured (no ffmpeg), "inf" as 99.
double psnrOf(const std::string& path, const std::string& lossless, long long kind) {
  const std::string command = "ffmpeg -nostdin -hide_banner -i " + path + " -i " + lossless + " -lavfi \"" +
                              kPsnrFilters[kind] + "\" -f null - 2>&1 | grep -o 'average:[0-9.inf]*'";
  FILE* said = popen(command.c_str(), "r");
  if (said == nullptr) return 0;
  char line[128] = {};
  const bool read = std::fgets(line, sizeof line, said) != nullptr;
  pclose(said);
  if (!read) return 0;
  const char* value = line + std::strlen("average:");
  return std::strncmp(value, "inf", 3) == 0 ? 99.0 : std::atof(value);
}

void BM_ClipExport(benchmark::State& state) {
  const Picture stage = loadPicture("./img/lvl.png");
  const Picture fighter = loadPicture("./img/movFrame1.png");
  if (stage.width <= kWidth || fighter.width == 0) {
    state.SkipWithError("run from build/run: the stage and fighter pictures are needed");
    return;
  }
  startMusic();
  const long long kind = state.range(0);
  const std::string path = "/tmp/nombre-bench-" + std::to_string(getpid()) + "." + kExtensions[kind];
  std::string why;
  for (auto _ : state) {
    if (!writeClip(path, stage, fighter, true, &why)) {
      state.SkipWithError(why.c_str());
      return;
    }
  }
  struct stat written {};
  stat(path.c_str(), &written);
  const std::string lossless = "/tmp/nombre-bench-" + std::to_string(getpid()) + "-lossless.mkv";
  if (!writeClip(lossless, stage, fighter, false, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  state.counters["frames"] = kFramesPerClip;
  state.counters["bytes_a_minute"] = static_cast<double>(written.st_size) * 60.0 * clip::kClipFrameRate / kFramesPerClip;
  state.counters["psnr"] = psnrOf(path, lossless, kind);
  std::remove(path.c_str());
  std::remove(lossless.c_str());
}
BENCHMARK(BM_ClipExport)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

const char* clipExtension(long long index) { return kExtensions[index]; }
