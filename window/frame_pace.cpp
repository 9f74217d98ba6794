#include "window/frame_pace.h"

#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstddef>

bool StillPicture::operator==(const StillPicture& other) const {
  return picture == other.picture && std::equal(viewport, viewport + 4, other.viewport);
}

double refreshPeriod(int refreshRate) { return 1.0 / (refreshRate > 0 ? refreshRate : kDefaultRefreshRate); }

FramePace framePace(bool uncapped) {
  FramePace pace;
  pace.capped = !uncapped;
  glfwSwapInterval(uncapped ? 0 : 1);
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
  pace.period = refreshPeriod(mode != nullptr ? mode->refreshRate : 0);
  return pace;
}

double passWait(double now, double& nextPass, double period) {
  if (now < nextPass) {
    const double wait = nextPass - now;
    nextPass += period;
    return wait;
  }
  nextPass = now - nextPass < period ? nextPass + period : now + period;
  return 0.0;
}

void waitForNextPass(FramePace& pace) {
  if (!pace.capped) return;
  const double now = glfwGetTime();
  const double until = now + passWait(now, pace.nextPass, pace.period);
  for (double left = until - now; left > 0.0; left = until - glfwGetTime()) glfwWaitEventsTimeout(left);
}

bool mustDraw(FramePace& pace, const StillPicture& now) {
  if (now.picture >= 0 && now == pace.shown && !pace.exposed) return false;
  pace.exposed = false;
  pace.shown = now;
  return true;
}

void sleepOnStillScreen() { glfwWaitEventsTimeout(kStillScreenWake); }

bool notePassStart(PassPeriod& measure, double now) {
  if (measure.period > 0.0) return false;
  const double last = measure.lastPass;
  measure.lastPass = now;
  if (last < 0.0 || now <= last) return false;
  measure.intervals.push_back(now - last);
  if (measure.intervals.size() < static_cast<std::size_t>(kMeasuredIntervals)) return false;
  std::vector<double> sorted = measure.intervals;
  std::nth_element(sorted.begin(), sorted.begin() + kMeasuredIntervals / 2, sorted.end());
  measure.period = sorted[kMeasuredIntervals / 2];
  return true;
}
