#pragma once
// The keyboard: the control rules keep the control state of the run
// (Run's controlCode and the rest) that play and the menu read.

#include "rules/run.h"

// The control rules for one key event of the run (the keyboard, a pad or a
// run played back); a recording of the run is told of it first.
void takeKey(Run& run, int key, int action);
// After each update tick: once the hero is no longer crouched, a stand-up
// request gives way to the arrows still held, as any other key's release does.
void heroTicked(Run& run, bool crouched);
// Opens the pause menu, as Escape does.
void openMenu(Run& run);
// The control state back to its value at the start of a run.
void resetControlState(Run& run);
