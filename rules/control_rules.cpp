#include "rules/control_rules.h"

#include <GLFW/glfw3.h>

#include "base/clock.h"

namespace {

int heldArrowsCode(const Game& g) { return g.leftHeld ? kWalkLeft : g.rightHeld ? kWalkRight : kNoControl; }

void playKey(Game& g, int key, int action) {
  const bool down = action != GLFW_RELEASE;
  const bool released = action == GLFW_RELEASE;
  // Every rule that matches applies, in this order.
  if (key == GLFW_KEY_RIGHT && down) {
    g.controlCode = kWalkRight;
    g.rightHeld = true;
  }
  if (key == GLFW_KEY_RIGHT && released) {
    g.controlCode = kNoControl;
    g.rightHeld = false;
  }
  if (key == GLFW_KEY_LEFT && down) {
    g.controlCode = kWalkLeft;
    g.leftHeld = true;
  }
  if (key == GLFW_KEY_LEFT && released) {
    g.controlCode = kNoControl;
    g.leftHeld = false;
  }
  if (key == GLFW_KEY_UP && down) g.controlCode = kJump;
  // Crouching: Down held crouches, its release stands up.
  if (key == GLFW_KEY_DOWN && down) {
    g.controlCode = kCrouch;
    g.downHeld = true;
    g.standUpDue = false;
  }
  if (key == GLFW_KEY_DOWN && released) {
    g.downHeld = false;
    g.standUpDue = true;
  }
  if (released) g.controlCode = heldArrowsCode(g);
  if (key == GLFW_KEY_Z && down) g.controlCode = kPunch;
  if (key == GLFW_KEY_X && down) g.controlCode = kKick;
  // A crouched hero given a walk only turns: he stands first, then does what
  // the keys ask.
  if (g.standUpDue) {
    g.codeAfterStandUp = g.controlCode;
    g.controlCode = kStandUp;
  }
}

void noteInput(Game& g, TakenInput kind, int value) {
  if (g.inputTaken != nullptr) g.inputTaken(g, kind, value);
}

void closeMenu(Game& g) {
  g.menuOpen = false;
  noteInput(g, TakenInput::Resume, 0);
}

TakenInput keyEventKind(int action) {
  return action == GLFW_PRESS ? TakenInput::Press : action == GLFW_RELEASE ? TakenInput::Release : TakenInput::Repeat;
}

void menuKey(Game& g, int key) {
  if (key == GLFW_KEY_ESCAPE) {
    closeMenu(g);
  } else if (key == GLFW_KEY_UP || key == GLFW_KEY_DOWN) {
    g.exitSelected = !g.exitSelected;
  } else if (key == GLFW_KEY_ENTER) {
    if (g.exitSelected) {
      g.exitChosen = true;  // the window closes; the run ends
    } else {
      closeMenu(g);
    }
  }
}

}  // namespace

void takeKey(Game& g, int key, int action) {
  noteInput(g, keyEventKind(action), key);
  if (g.menuOpen) {
    if (action == GLFW_PRESS) menuKey(g, key);
    return;
  }
  if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) {
    openMenu(g);
    return;
  }
  playKey(g, key, action);
}

void heroTicked(Game& g, bool crouched) {
  if (!g.standUpDue || crouched) return;
  g.standUpDue = false;
  if (g.controlCode == kStandUp) g.controlCode = g.codeAfterStandUp;
}

void openMenu(Game& g) {
  g.menuOpen = true;  // game time stands still until it closes: every timer waits
  noteInput(g, TakenInput::Pause, 0);
  g.rightHeld = false;
  g.leftHeld = false;
  // A release in the menu is never seen: a crouch held now stands up after it.
  if (g.downHeld) g.standUpDue = true;
  g.downHeld = false;
  g.codeAfterStandUp = kNoControl;
}

void resetControlState(Game& g) {
  g.controlCode = kNoControl;
  g.rightHeld = g.leftHeld = g.menuOpen = g.exitSelected = false;
  g.downHeld = g.standUpDue = false;
  g.codeAfterStandUp = kNoControl;
}
