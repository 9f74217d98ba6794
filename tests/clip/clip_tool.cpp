// clip_tool: the clip writer and the off-screen context as a command, for the
// tests that need a process of their own (a terminal, a signal, a driver
// setting read at start-up).
//   clip_tool gl                       opens a 64x48 context off screen
//   clip_tool write PATH FRAMES [--mute] [--signal-at N]
//                                      writes FRAMES moving frames of 160x120
//                                      with a tone; SIGTERM to itself before
//                                      frame N, as Ctrl+C would come
// Exit 0 when done, 1 when the clip failed or stopped, 2 when refused.
#include <GL/glew.h>
#include <signal.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/quit_signals.h"
#include "clip/clip_writer.h"
#include "clip/offscreen_gl.h"
#include "clip/progress.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kSoundRate = 22050;

int openContext() {
  clip::OffscreenGl gl;
  std::string why;
  if (!gl.open(64, 48, &why)) {
    std::printf("%s\n", why.c_str());
    return 1;
  }
  std::printf("%s\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
  return 0;
}

int writeClip(const std::string& path, long long frames, bool mute, long long signalAt) {
  listenForQuitSignals();
  clip::ClipOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.soundRate = mute ? 0 : kSoundRate;
  options.soundChannels = 1;
  clip::ClipWriter writer;
  clip::ExportProgress progress(stdout, frames);
  if (!writer.open(path, options)) {
    std::printf("%s\n", writer.error().c_str());
    return writer.failure() == clip::ClipFailure::refused ? 2 : 1;
  }
  std::vector<unsigned char> rgba(kWidth * kHeight * 4);
  const int soundPerFrame = kSoundRate / clip::kClipFrameRate;
  std::vector<float> tone(soundPerFrame);
  bool ok = true;
  for (long long f = 0; f < frames && ok; ++f) {
    if (f == signalAt) raise(SIGTERM);
    for (int i = 0; i < kWidth * kHeight; ++i) {
      const int x = i % kWidth, y = i / kWidth;
      rgba[i * 4 + 0] = static_cast<unsigned char>(x + f);
      rgba[i * 4 + 1] = static_cast<unsigned char>(y * 2);
      rgba[i * 4 + 2] = static_cast<unsigned char>((x ^ y) + 3 * f);
      rgba[i * 4 + 3] = 255;
    }
    for (int s = 0; s < soundPerFrame; ++s) {
      tone[s] = 0.5f * static_cast<float>(std::sin((f * soundPerFrame + s) * 2 * M_PI * 440.0 / kSoundRate));
    }
    ok = writer.addFrame(rgba.data()) && writer.addSound(tone.data(), soundPerFrame);
    progress.framesDone(f + 1);
  }
  if (ok) ok = writer.finish();
  if (!ok) {
    progress.clear();
    std::printf("%s\n", writer.error().c_str());
    return 1;
  }
  progress.finished(path, frames, clip::kClipFrameRate);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "gl") == 0) return openContext();
  if (argc >= 4 && std::strcmp(argv[1], "write") == 0) {
    bool mute = false;
    long long signalAt = -1;
    for (int i = 4; i < argc; ++i) {
      if (std::strcmp(argv[i], "--mute") == 0) mute = true;
      if (std::strcmp(argv[i], "--signal-at") == 0 && i + 1 < argc) signalAt = std::atoll(argv[++i]);
    }
    return writeClip(argv[2], std::atoll(argv[3]), mute, signalAt);
  }
  std::fprintf(stderr, "usage: clip_tool gl | clip_tool write PATH FRAMES [--mute] [--signal-at N]\n");
  return 2;
}
