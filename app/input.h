#pragma once
// The keyboard: one callback keeps the control state that play and the menu read.

#include <cstdint>

#include "app/run_file.h"
#include "hero/control_codes.h"

struct GLFWwindow;

// Told of each key event the control rules take, and of each pause and
// resume of play (a recording of the run listens).
extern void (*controlTaken)(RunEventKind kind, std::int64_t value);

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
