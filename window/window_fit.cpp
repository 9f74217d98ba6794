#include "window/window_fit.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>

namespace {

constexpr int kPictureWide = 4;
constexpr int kPictureHigh = 3;

// The window as it was before full screen, to go back to.
Viewport windowed;
// The mode last asked for. Under a window manager the change takes a while,
// and meanwhile X still reports the old place: a window asked back from full
// screen reads as full screen until the manager has placed it.
bool fullScreenAsked = false;

void framebufferResized(GLFWwindow* /*window*/, int width, int height) {
  const Viewport view = fitPicture(width, height);
  glViewport(view.x, view.y, view.width, view.height);
}

int overlap(int start, int length, int otherStart, int otherLength) {
  return std::max(0, std::min(start + length, otherStart + otherLength) - std::max(start, otherStart));
}

GLFWmonitor* monitorHolding(GLFWwindow* window) {
  int x, y, width, height;
  glfwGetWindowPos(window, &x, &y);
  glfwGetWindowSize(window, &width, &height);
  int count = 0;
  GLFWmonitor** monitors = glfwGetMonitors(&count);
  GLFWmonitor* best = glfwGetPrimaryMonitor();
  long bestArea = 0;
  for (int i = 0; i < count; ++i) {
    const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
    if (mode == nullptr) continue;
    int monitorX, monitorY;
    glfwGetMonitorPos(monitors[i], &monitorX, &monitorY);
    const long area = static_cast<long>(overlap(x, width, monitorX, mode->width)) *
                      overlap(y, height, monitorY, mode->height);
    if (area > bestArea) {
      bestArea = area;
      best = monitors[i];
    }
  }
  return best;
}

}  // namespace

Viewport fitPicture(int framebufferWidth, int framebufferHeight) {
  Viewport view;
  if (framebufferWidth * kPictureHigh > framebufferHeight * kPictureWide) {
    view.height = framebufferHeight;  // wider than 4:3: bands at the sides
    view.width = framebufferHeight * kPictureWide / kPictureHigh;
  } else {
    view.width = framebufferWidth;  // taller: bands above and below
    view.height = framebufferWidth * kPictureHigh / kPictureWide;
  }
  view.x = (framebufferWidth - view.width) / 2;
  view.y = (framebufferHeight - view.height) / 2;
  return view;
}

void fitPictureToWindow(GLFWwindow* window, int framebufferWidth, int framebufferHeight) {
  framebufferResized(window, framebufferWidth, framebufferHeight);
  glfwSetFramebufferSizeCallback(window, framebufferResized);
}

bool isFullScreenKey(int key, int mods) {
  return key == GLFW_KEY_F11 || (key == GLFW_KEY_ENTER && (mods & GLFW_MOD_ALT) != 0);
}

void toggleFullScreen(GLFWwindow* window) {
  if (fullScreenAsked) {
    fullScreenAsked = false;
    glfwSetWindowMonitor(window, nullptr, windowed.x, windowed.y, windowed.width, windowed.height, GLFW_DONT_CARE);
    return;
  }
  GLFWmonitor* monitor = monitorHolding(window);
  const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
  if (mode == nullptr) return;
  // The place is remembered only from a window that really is one: in a
  // fast burst of presses X may still report the full-screen size while the
  // manager brings the window back, and that is no size to go back to.
  Viewport now;
  glfwGetWindowPos(window, &now.x, &now.y);
  glfwGetWindowSize(window, &now.width, &now.height);
  if (now.width != mode->width || now.height != mode->height) windowed = now;
  fullScreenAsked = true;
  glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}
