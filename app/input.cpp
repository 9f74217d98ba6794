#include "app/input.h"

#include <GLFW/glfw3.h>

#include "base/clock.h"

void (*controlTaken)(RunEventKind kind, std::int64_t value) = nullptr;
int controlCode = kNoControl;
bool rightHeld = false;
bool leftHeld = false;
bool menuOpen = false;
bool exitSelected = false;

namespace {

// Down pressed in play and not yet released there.
bool downHeld = false;
// The hero was told to crouch and has not stood up yet: the stand-up request
// outlives other keys' presses and releases and a visit to the menu. Keys
// that come meanwhile are kept for after it: once he is up, they take over.
bool standUpDue = false;
int codeAfterStandUp = kNoControl;

int heldArrowsCode() { return leftHeld ? kWalkLeft : rightHeld ? kWalkRight : kNoControl; }

void playKey(int key, int action) {
  const bool down = action != GLFW_RELEASE;
  const bool released = action == GLFW_RELEASE;
  // Every rule that matches applies, in this order.
  if (key == GLFW_KEY_RIGHT && down) {
    controlCode = kWalkRight;
    rightHeld = true;
  }
  if (key == GLFW_KEY_RIGHT && released) {
    controlCode = kNoControl;
    rightHeld = false;
  }
  if (key == GLFW_KEY_LEFT && down) {
    controlCode = kWalkLeft;
    leftHeld = true;
  }
  if (key == GLFW_KEY_LEFT && released) {
    controlCode = kNoControl;
    leftHeld = false;
  }
  if (key == GLFW_KEY_UP && down) controlCode = kJump;
  // Crouching: Down held crouches, its release stands up.
  if (key == GLFW_KEY_DOWN && down) {
    controlCode = kCrouch;
    downHeld = true;
    standUpDue = false;
  }
  if (key == GLFW_KEY_DOWN && released) {
    downHeld = false;
    standUpDue = true;
  }
  if (released) controlCode = heldArrowsCode();
  if (key == GLFW_KEY_Z && down) controlCode = kPunch;
  if (key == GLFW_KEY_X && down) controlCode = kKick;
  // A crouched hero given a walk only turns: he stands first, then does what
  // the keys ask.
  if (standUpDue) {
    codeAfterStandUp = controlCode;
    controlCode = kStandUp;
  }
}

void closeMenu() {
  menuOpen = false;
  resumeGameClock();
  if (controlTaken != nullptr) controlTaken(RunEventKind::Resume, 0);
}

RunEventKind keyEventKind(int action) {
  return action == GLFW_PRESS ? RunEventKind::Press : action == GLFW_RELEASE ? RunEventKind::Release : RunEventKind::Repeat;
}

void menuKey(GLFWwindow* window, int key) {
  if (key == GLFW_KEY_ESCAPE) {
    closeMenu();
  } else if (key == GLFW_KEY_UP || key == GLFW_KEY_DOWN) {
    exitSelected = !exitSelected;
  } else if (key == GLFW_KEY_ENTER) {
    if (exitSelected) {
      glfwSetWindowShouldClose(window, 1);
    } else {
      closeMenu();
    }
  }
}

}  // namespace

void keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
  if (controlTaken != nullptr) controlTaken(keyEventKind(action), key);
  if (menuOpen) {
    if (action == GLFW_PRESS) menuKey(window, key);
    return;
  }
  if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) {
    openMenu();
    return;
  }
  playKey(key, action);
}

void heroTicked(bool crouched) {
  if (!standUpDue || crouched) return;
  standUpDue = false;
  if (controlCode == kStandUp) controlCode = codeAfterStandUp;
}

void openMenu() {
  menuOpen = true;
  pauseGameClock();  // every timer of the game waits for the menu to close
  if (controlTaken != nullptr) controlTaken(RunEventKind::Pause, 0);
  rightHeld = false;
  leftHeld = false;
  // A release in the menu is never seen: a crouch held now stands up after it.
  if (downHeld) standUpDue = true;
  downHeld = false;
  codeAfterStandUp = kNoControl;
}

void resetControlState() {
  controlCode = kNoControl;
  rightHeld = leftHeld = menuOpen = exitSelected = false;
  downHeld = standUpDue = false;
  codeAfterStandUp = kNoControl;
  resumeGameClock();
}
