#include "input/controls.h"

#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>

#include "rules/run.h"

static_assert(kLastKey == GLFW_KEY_LAST, "a key the window system sends has a place");

namespace {

bool aPadHolds(const Controls& controls, int key) {
  for (const auto& pad : controls.padHolds) {
    for (int held : pad) {
      if (held == key) return true;
    }
  }
  return false;
}

bool isKnownKey(int key) { return key >= 0 && key <= GLFW_KEY_LAST; }

void resendHeldDirectionsOnResume(Controls& controls, const Run& run, const SendKey& send) {
  const bool menuOpen = run.menuOpen;
  const bool resumed = controls.menuWasOpen && !menuOpen;
  controls.menuWasOpen = menuOpen;
  if (!resumed) return;
  for (int pad = 0; pad < kMaxPads; ++pad) {
    for (int input : {kPadLeft, kPadRight, kPadUp, kPadDown}) {
      const int key = controls.padHolds[pad][input];
      if (key != 0) send(key, GLFW_PRESS);
    }
  }
}

}  // namespace

bool keyboardEventGoesOn(Controls& controls, int key, int action) {
  if (!isKnownKey(key)) return true;
  controls.keyboardHolds[key] = action != GLFW_RELEASE;
  return !(action == GLFW_RELEASE && aPadHolds(controls, key));
}

void pollGamepads(Controls& controls, const Run& run, const SendKey& send) {
  // The keyboard may have closed the menu since the last pass.
  resendHeldDirectionsOnResume(controls, run, send);
  for (int pad = 0; pad < kMaxPads; ++pad) {
    PadState state;
    bool down[kPadInputs] = {};
    // A pad that went away lets go of everything it held.
    if (controls.readPad(pad, state)) padInputsDown(state, down);
    for (int input = 0; input < kPadInputs; ++input) {
      int& held = controls.padHolds[pad][input];
      bool& wasDown = controls.padWasDown[pad][input];
      if (down[input] && !wasDown) {
        // The key follows the screen the press lands on: south punches in
        // play and takes the menu's choice.
        held = padKey(input, run.menuOpen);
        if (held != 0) send(held, GLFW_PRESS);
      } else if (!down[input] && wasDown && held != 0) {
        const int key = held;
        held = 0;
        if (!controls.keyboardHolds[key] && !aPadHolds(controls, key)) send(key, GLFW_RELEASE);
      }
      wasDown = down[input];
    }
  }
  // Or a pad's Start did, just now.
  resendHeldDirectionsOnResume(controls, run, send);
}

bool pollControls(Controls& controls, const Run& run, bool gameOver, const SendKey& send) {
  controls.gameOverLastPass = gameOver;
  pollGamepads(controls, run, send);
  const bool left = controls.focusedLastPass && !controls.focusedNow;
  controls.focusedLastPass = controls.focusedNow;
  return left;
}
