// Exporting a clip: frames encoded a second at 800x600 for each kind of file,
// against the 60 a second of a run. The frames are the stage scrolling under
// a fighter, as a run draws them, made beside the timing; the sound is the
// game's own track. The encoder works on the second core, as in an export.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "clip/clip_writer.h"
#include "bench/modes.h"
#include "clip/sound_mix.h"
#include "render/image.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFramesPerClip = 180;
constexpr int kScrollPerFrame = 3;
const char* const kExtensions[] = {"webm", "mp4", "gif", "mkv"};

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

void BM_ClipExport(benchmark::State& state) {
  const Picture stage = loadPicture("./img/lvl.png");
  const Picture fighter = loadPicture("./img/movFrame1.png");
  if (stage.width <= kWidth || fighter.width == 0) {
    state.SkipWithError("run from build/run: the stage and fighter pictures are needed");
    return;
  }
  const clip::SoundTrack track(clip::loadTrackSounds("./sound", nullptr), {}, {});
  const std::string path = "/tmp/nombre-bench-" + std::to_string(getpid()) + "." + kExtensions[state.range(0)];
  std::vector<unsigned char> rgba(static_cast<std::size_t>(kWidth) * kHeight * 4);
  const int soundPerFrame = track.rate() / clip::kClipFrameRate;
  std::vector<float> sound(static_cast<std::size_t>(soundPerFrame) * clip::kTrackChannels);
  clip::ClipOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.soundRate = track.rate();
  options.soundChannels = clip::kTrackChannels;
  options.stopAsked = nullptr;
  for (auto _ : state) {
    clip::ClipWriter writer;
    bool ok = writer.open(path, options);
    for (int frame = 0; frame < kFramesPerClip && ok; ++frame) {
      drawFrame(stage, fighter, frame, rgba.data());
      track.mix(static_cast<long long>(frame) * soundPerFrame, soundPerFrame, sound.data());
      ok = writer.addFrame(rgba.data()) && writer.addSound(sound.data(), soundPerFrame);
    }
    if (!ok || !writer.finish()) {
      state.SkipWithError(writer.error().c_str());
      break;
    }
  }
  std::remove(path.c_str());
  state.counters["frames"] = kFramesPerClip;
}
BENCHMARK(BM_ClipExport)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

const char* clipExtension(long long index) { return kExtensions[index]; }
