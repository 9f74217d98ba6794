#include "app/controls.h"

#include <GLFW/glfw3.h>

#include "app/gamepad.h"
#include "app/input.h"
#include "app/window_fit.h"

namespace {

// What each source holds: the keyboard by key, a pad input the key it
// pressed (0: none), and which pad inputs were down at the last pass.
bool keyboardHolds[GLFW_KEY_LAST + 1];
int padHolds[kMaxPads][kPadInputs];
bool padWasDown[kMaxPads][kPadInputs];

bool aPadHolds(int key) {
  for (const auto& pad : padHolds) {
    for (int held : pad) {
      if (held == key) return true;
    }
  }
  return false;
}

bool isKnownKey(int key) { return key >= 0 && key <= GLFW_KEY_LAST; }

}  // namespace

void listenToPlayer(GLFWwindow* window) {
  glfwSetKeyCallback(window, keyboardKey);
}

void keyboardKey(GLFWwindow* window, int key, int scancode, int action, int mods) {
  if (action == GLFW_PRESS && isFullScreenKey(key, mods)) {
    toggleFullScreen(window);
    return;
  }
  if (isKnownKey(key)) {
    keyboardHolds[key] = action != GLFW_RELEASE;
    if (action == GLFW_RELEASE && aPadHolds(key)) return;
  }
  keyCallback(window, key, scancode, action, mods);
}

void pollGamepads(GLFWwindow* window) {
  for (int pad = 0; pad < kMaxPads; ++pad) {
    PadState state;
    bool down[kPadInputs] = {};
    // A pad that went away lets go of everything it held.
    if (readPad(pad, state)) padInputsDown(state, down);
    for (int input = 0; input < kPadInputs; ++input) {
      int& held = padHolds[pad][input];
      bool& wasDown = padWasDown[pad][input];
      if (down[input] && !wasDown) {
        // The key follows the screen the press lands on: south punches in
        // play and takes the menu's choice.
        held = padKey(input, menuOpen);
        if (held != 0) keyCallback(window, held, 0, GLFW_PRESS, 0);
      } else if (!down[input] && wasDown && held != 0) {
        const int key = held;
        held = 0;
        if (!keyboardHolds[key] && !aPadHolds(key)) keyCallback(window, key, 0, GLFW_RELEASE, 0);
      }
      wasDown = down[input];
    }
  }
}

void forgetHeldKeys() {
  for (bool& held : keyboardHolds) held = false;
  for (auto& pad : padHolds) {
    for (int& held : pad) held = 0;
  }
  for (auto& pad : padWasDown) {
    for (bool& wasDown : pad) wasDown = false;
  }
}
