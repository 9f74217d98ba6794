#pragma once
// The picture in a window of any size: it keeps its 4:3 shape, as large as
// the window allows and centred, with the clear colour around it; and full
// screen on the monitor that holds the window.

struct GLFWwindow;

// The window the game opens, and goes back to from full screen when it knows no other.
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

struct Viewport {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Where the picture goes in a framebuffer of this size (pixels, from the bottom left).
Viewport fitPicture(int framebufferWidth, int framebufferHeight);
// Fits the picture to the window's framebuffer, of the size given now and
// whenever it changes size.
void fitPictureToWindow(GLFWwindow* window, int framebufferWidth, int framebufferHeight);

// Where the window goes back to from full screen.
struct WindowPlace {
  // The window as it was before full screen; until the window is first
  // seen, the size it opens at.
  Viewport windowed = {0, 0, kWindowWidth, kWindowHeight};
  // The mode last asked for. Under a window manager the change takes a while,
  // and meanwhile X still reports the old place: a window asked back from full
  // screen reads as full screen until the manager has placed it.
  bool fullScreenAsked = false;
  // The window has been asked back from full screen, to `windowed`.
  bool backAsked = false;
};

// F11 or Alt+Enter.
bool isFullScreenKey(int key, int mods);
// Full screen on the monitor that holds most of the window, or back to the
// window it was, where it was.
void toggleFullScreen(GLFWwindow* window, WindowPlace& place);

struct Settings;
// Puts the window's settings in force at start-up: full screen, if the
// player left the game so.
void applyWindowSettings(GLFWwindow* window, WindowPlace& place, const Settings& settings);
// After F11 or Alt+Enter: the window's state now is remembered for the next start.
void keepFullScreenChoice(GLFWwindow* window, Settings& settings);
