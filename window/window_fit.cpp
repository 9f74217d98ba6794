#include "window/window_fit.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>

#include "player_files/settings.h"

namespace {

constexpr int kPictureWide = 4;
constexpr int kPictureHigh = 3;

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

void toggleFullScreen(GLFWwindow* window, WindowPlace& place) {
  Viewport& windowed = place.windowed;
  bool& fullScreenAsked = place.fullScreenAsked;
  bool& backAsked = place.backAsked;
  if (fullScreenAsked) {
    fullScreenAsked = false;
    backAsked = true;
    glfwSetWindowMonitor(window, nullptr, windowed.x, windowed.y, windowed.width, windowed.height, GLFW_DONT_CARE);
    return;
  }
  GLFWmonitor* monitor = monitorHolding(window);
  const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
  if (mode == nullptr) return;
  // The window's place is remembered, even when it is as big as the screen
  // (the window a tiling manager gives, or 800x600 on an 800x600 screen).
  // Only just after going back, in a fast burst of presses, may X still
  // report the full-screen size while the manager brings the window back:
  // the place asked for then is the one to keep.
  Viewport now;
  glfwGetWindowPos(window, &now.x, &now.y);
  glfwGetWindowSize(window, &now.width, &now.height);
  const bool screenSized = now.width == mode->width && now.height == mode->height;
  if ((!backAsked || !screenSized) && now.width > 0 && now.height > 0) windowed = now;
  fullScreenAsked = true;
  glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void applyWindowSettings(GLFWwindow* window, WindowPlace& place, const Settings& settings) {
  if (settings.fullScreen && glfwGetWindowMonitor(window) == nullptr) toggleFullScreen(window, place);
}

void keepFullScreenChoice(GLFWwindow* window, Settings& settings) {
  keepFullScreen(settings, glfwGetWindowMonitor(window) != nullptr);
}
