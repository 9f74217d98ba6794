#include "rules/control_rules.h"

#include "base/clock.h"
#include "base/keys.h"

namespace {

int heldArrowsCode(const Run& g) { return g.leftHeld ? kWalkLeft : g.rightHeld ? kWalkRight : kNoControl; }

void playKey(Run& g, int key, int action) {
  const bool down = action != kKeyRelease;
  const bool released = action == kKeyRelease;
  // Every rule that matches applies, in this order.
  if (key == kKeyRight && down) {
    g.controlCode = kWalkRight;
    g.rightHeld = true;
  }
  if (key == kKeyRight && released) {
    g.controlCode = kNoControl;
    g.rightHeld = false;
  }
  if (key == kKeyLeft && down) {
    g.controlCode = kWalkLeft;
    g.leftHeld = true;
  }
  if (key == kKeyLeft && released) {
    g.controlCode = kNoControl;
    g.leftHeld = false;
  }
  if (key == kKeyUp && down) g.controlCode = kJump;
  // Crouching: Down held crouches, its release stands up.
  if (key == kKeyDown && down) {
    g.controlCode = kCrouch;
    g.downHeld = true;
    g.standUpDue = false;
  }
  if (key == kKeyDown && released) {
    g.downHeld = false;
    g.standUpDue = true;
  }
  if (released) g.controlCode = heldArrowsCode(g);
  if (key == kKeyZ && down) g.controlCode = kPunch;
  if (key == kKeyX && down) g.controlCode = kKick;
  // A crouched hero given a walk only turns: he stands first, then does what
  // the keys ask.
  if (g.standUpDue) {
    g.codeAfterStandUp = g.controlCode;
    g.controlCode = kStandUp;
  }
}

void noteInput(const Run& g, InputListener* listener, TakenInput kind, int value) {
  if (listener != nullptr) listener->inputTaken(g, kind, value);
}

void closeMenu(Run& g, InputListener* listener) {
  g.menuOpen = false;
  noteInput(g, listener, TakenInput::Resume, 0);
}

TakenInput keyEventKind(int action) {
  return action == kKeyPress ? TakenInput::Press : action == kKeyRelease ? TakenInput::Release : TakenInput::Repeat;
}

void menuKey(Run& g, int key, InputListener* listener) {
  if (key == kKeyEscape) {
    closeMenu(g, listener);
  } else if (key == kKeyUp || key == kKeyDown) {
    g.exitSelected = !g.exitSelected;
  } else if (key == kKeyEnter) {
    if (g.exitSelected) {
      g.exitChosen = true;  // the window closes; the run ends
    } else {
      closeMenu(g, listener);
    }
  }
}

}  // namespace

void takeKey(Run& g, int key, int action, InputListener* listener) {
  noteInput(g, listener, keyEventKind(action), key);
  if (g.menuOpen) {
    if (action == kKeyPress) menuKey(g, key, listener);
    return;
  }
  if (key == kKeyEscape && action == kKeyPress) {
    openMenu(g, listener);
    return;
  }
  playKey(g, key, action);
}

void heroTicked(Run& g, bool crouched) {
  if (!g.standUpDue || crouched) return;
  g.standUpDue = false;
  if (g.controlCode == kStandUp) g.controlCode = g.codeAfterStandUp;
}

void openMenu(Run& g, InputListener* listener) {
  g.menuOpen = true;  // run time stands still until it closes: every timer waits
  noteInput(g, listener, TakenInput::Pause, 0);
  g.rightHeld = false;
  g.leftHeld = false;
  // A release in the menu is never seen: a crouch held now stands up after it.
  if (g.downHeld) g.standUpDue = true;
  g.downHeld = false;
  g.codeAfterStandUp = kNoControl;
}
