// Start-up: from launch to the first frame presented, measured in this
// process and, for the game binary itself, from outside on the X server.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_game.h"
#include "bench/modes.h"
#include "bench/table.h"

namespace {

// Wall-clock time, so a launch stamped by the shell can be compared with it.
long long wallNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

double msBetween(long long earlier, long long later) { return static_cast<double>(later - earlier) / 1e6; }

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// A window that goes away between two requests is not an error here.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The game's window, once it is mapped; 0 before.
Window findGameWindow(Display* display) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
      XWindowAttributes attributes{};
      if (std::strcmp(name, kWindowTitle) == 0 && XGetWindowAttributes(display, children[i], &attributes) != 0 &&
          attributes.map_state == IsViewable) {
        found = children[i];
      }
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

// Below the HUD, play shows the grey the frame is cleared to: the sign that a
// frame has been presented.
bool showsFirstFrame(Display* display, Window window) {
  XImage* image = XGetImage(display, window, kWindowWidth / 2, kWindowHeight - 10, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return (pixel & 0xffffffUL) == 0x333333UL;
}

pid_t launch(const char* binary) {
  const pid_t child = fork();
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) {
      dup2(quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
    }
    execl(binary, binary, static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

constexpr useconds_t kPollUs = 1000;
constexpr double kGiveUpMs = 20000.0;

// One launch: ms to the window on screen and to the first frame in it; false
// when no frame came in time.
bool timeLaunch(Display* display, const char* binary, double& toWindow, double& toFrame) {
  const long long start = wallNs();
  const pid_t child = launch(binary);
  if (child < 0) return false;
  Window window = 0;
  long long windowAt = 0, frameAt = 0;
  while (frameAt == 0 && msBetween(start, wallNs()) < kGiveUpMs) {
    if (window == 0) {
      window = findGameWindow(display);
      if (window != 0) windowAt = wallNs();
    }
    if (window != 0 && showsFirstFrame(display, window)) frameAt = wallNs();
    if (frameAt == 0) usleep(kPollUs);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  // Wait for the window to go, so the next launch is not mistaken for this one.
  while (findGameWindow(display) != 0) usleep(kPollUs);
  if (frameAt == 0) {
    std::fprintf(stderr, "nombre_bench: %s showed no frame within %.0f ms\n", binary, kGiveUpMs);
    return false;
  }
  toWindow = msBetween(start, windowAt);
  toFrame = msBetween(start, frameAt);
  return true;
}

Display* openDisplayWithoutGameWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "nombre_bench: no X display\n");
    return nullptr;
  }
  XSetErrorHandler(ignoreXError);
  if (findGameWindow(display) != 0) {
    std::fprintf(stderr, "nombre_bench: a window named %s is already open\n", kWindowTitle);
    XCloseDisplay(display);
    return nullptr;
  }
  return display;
}

}  // namespace

int runStartUp() {
  const long long entry = wallNs();
  const char* stamped = std::getenv("NOMBRE_LAUNCH_NS");
  const long long launched = stamped != nullptr ? std::atoll(stamped) : entry;
  Game& game = benchGame(true);
  const long long started = wallNs();
  runFrame(game);
  glFinish();
  const long long presented = wallNs();
  printRow("start-up in process: launch to first presented frame", msBetween(launched, presented), "ms");
  printRow("  launch to main (loading the program)", msBetween(launched, entry), "ms");
  printRow("  startUp (window, GL, pictures, shaders, sound)", msBetween(entry, started), "ms");
  printRow("  first pass of the frame loop", msBetween(started, presented), "ms");
  return 0;
}

int watchLaunch(const char* binary, int runs) {
  Display* display = openDisplayWithoutGameWindow();
  if (display == nullptr) return 1;
  std::vector<double> toWindow, toFrame;
  for (int run = 0; run < runs; ++run) {
    double window = 0.0, frame = 0.0;
    if (!timeLaunch(display, binary, window, frame)) {
      XCloseDisplay(display);
      return 1;
    }
    toWindow.push_back(window);
    toFrame.push_back(frame);
  }
  XCloseDisplay(display);
  const std::string runsNote = " (median of " + std::to_string(runs) + ")";
  printRow("start-up of nombre: launch to window on screen" + runsNote, median(toWindow), "ms");
  printRow("start-up of nombre: launch to first frame on screen" + runsNote, median(toFrame), "ms");
  return 0;
}

int compareLaunches(const char* floor, const std::vector<const char*>& games, int pairs) {
  Display* display = openDisplayWithoutGameWindow();
  if (display == nullptr) return 1;
  std::vector<double> floorMs;
  std::vector<std::vector<double>> gameMs(games.size()), ratios(games.size());
  for (int pair = 0; pair < pairs; ++pair) {
    double window = 0.0, floorFrame = 0.0;
    if (!timeLaunch(display, floor, window, floorFrame)) {
      XCloseDisplay(display);
      return 1;
    }
    floorMs.push_back(floorFrame);
    for (size_t i = 0; i < games.size(); ++i) {
      double frame = 0.0;
      if (!timeLaunch(display, games[i], window, frame)) {
        XCloseDisplay(display);
        return 1;
      }
      gameMs[i].push_back(frame);
      ratios[i].push_back(frame / floorFrame);
    }
  }
  XCloseDisplay(display);
  const std::string runsNote = " (" + std::to_string(pairs) + " alternating runs, median)";
  printRow("start-up of the floor program: launch to first frame" + runsNote, median(floorMs), "ms");
  for (size_t i = 0; i < games.size(); ++i) {
    const std::string name = games.size() == 1 ? std::string("nombre") : games[i];
    printRow("start-up of " + name + ": launch to first frame" + runsNote, median(gameMs[i]), "ms");
    printRow("  start-up / floor, median", median(ratios[i]), "ratio", 2);
    printRow("  start-up / floor, min", *std::min_element(ratios[i].begin(), ratios[i].end()), "ratio", 2);
    printRow("  start-up / floor, max", *std::max_element(ratios[i].begin(), ratios[i].end()), "ratio", 2);
  }
  return 0;
}
