// Small helpers for the end-to-end scripts:
//   e2e_tool close WINDOW_ID        asks the window to close, as a window manager would
//   e2e_tool iconify WINDOW_ID      marks the window minimised, as a window manager would
//   e2e_tool peak FILE.wav FROM TO  the loudest sample between two times (seconds), 0..1
//   e2e_tool typical FILE.wav       the median of the peaks of its 50 ms stretches: the
//                                   level of what plays throughout (the music), not of short blows
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

int closeWindow(Window window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  XEvent event;
  std::memset(&event, 0, sizeof(event));
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", True);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}

// A window manager minimises a window by setting its WM_STATE to iconic.
int iconifyWindow(Window window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  const long state[2] = {IconicState, None};
  XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(state), 2);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}

// Opens a recording; an unreadable one reads as silence.
SNDFILE* openRecording(const char* path, SF_INFO& info) {
  std::memset(&info, 0, sizeof(info));
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (file == nullptr) std::printf("0\n");
  return file;
}

int peak(const char* path, double from, double to) {
  SF_INFO info;
  SNDFILE* file = openRecording(path, info);
  if (file == nullptr) return 1;
  const sf_count_t first = static_cast<sf_count_t>(from * info.samplerate);
  const sf_count_t last = static_cast<sf_count_t>(to * info.samplerate);
  std::vector<float> frame(static_cast<size_t>(info.channels));
  float loudest = 0.0f;
  if (sf_seek(file, first, SEEK_SET) >= 0) {
    for (sf_count_t i = first; i < last && sf_readf_float(file, frame.data(), 1) == 1; ++i) {
      for (float v : frame) loudest = std::fmax(loudest, std::fabs(v));
    }
  }
  sf_close(file);
  std::printf("%.4f\n", loudest);
  return 0;
}

int typical(const char* path) {
  SF_INFO info;
  SNDFILE* file = openRecording(path, info);
  if (file == nullptr) return 1;
  const sf_count_t stretch = std::max<sf_count_t>(1, info.samplerate / 20);
  std::vector<float> frame(static_cast<size_t>(info.channels));
  std::vector<float> peaks;
  float loudest = 0.0f;
  sf_count_t n = 0;
  while (sf_readf_float(file, frame.data(), 1) == 1) {
    for (float v : frame) loudest = std::fmax(loudest, std::fabs(v));
    if (++n % stretch == 0) {
      peaks.push_back(loudest);
      loudest = 0.0f;
    }
  }
  sf_close(file);
  if (peaks.empty()) peaks.push_back(loudest);
  std::nth_element(peaks.begin(), peaks.begin() + static_cast<long>(peaks.size() / 2), peaks.end());
  std::printf("%.4f\n", peaks[peaks.size() / 2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) return closeWindow(std::strtoul(argv[2], nullptr, 0));
  if (argc == 3 && std::strcmp(argv[1], "iconify") == 0) return iconifyWindow(std::strtoul(argv[2], nullptr, 0));
  if (argc == 5 && std::strcmp(argv[1], "peak") == 0) return peak(argv[2], std::atof(argv[3]), std::atof(argv[4]));
  if (argc == 3 && std::strcmp(argv[1], "typical") == 0) return typical(argv[2]);
  std::fprintf(stderr, "usage: e2e_tool close WINDOW | iconify WINDOW | peak FILE FROM TO | typical FILE\n");
  return 2;
}
