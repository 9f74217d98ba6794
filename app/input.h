#pragma once
// The keyboard: one callback keeps the control state that play and the menu read.

#include "hero/control_codes.h"

struct GLFWwindow;

extern int controlCode;
extern bool rightHeld;
extern bool leftHeld;
extern bool menuOpen;
extern bool exitSelected;

void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);
// After each update tick: once the hero is no longer crouched, a stand-up
// request gives way to the arrows still held, as any other key's release does.
void heroTicked(bool crouched);
// Opens the pause menu, as Escape does.
void openMenu();
// Everything back to its value at load (a fresh start-up in tests).
void resetControlState();
