#pragma once
// The keyboard: the control rules keep the control state of the run
// (Run's controlCode and the rest) that play and the menu read.

#include "rules/run.h"

// A key event or a pause the control rules took, as a recording keeps it.
enum class TakenInput { Press, Release, Repeat, Pause, Resume };

// Who listens to the inputs a run takes (a recording of it): told of each
// key event and pause the control rules take, before they act on it. The
// run knows nothing of it: whoever hands the run an input hands its
// listener too, so a copy of a run plays on without its original's.
class InputListener {
 public:
  virtual void inputTaken(const Run& run, TakenInput kind, int value) = 0;

 protected:
  ~InputListener() = default;
};

// The control rules for one key event of the run (the keyboard, a pad or a
// run played back); `listener`, if any, is told of it first.
void takeKey(Run& run, int key, int action, InputListener* listener = nullptr);
// After each update tick: once the hero is no longer crouched, a stand-up
// request gives way to the arrows still held, as any other key's release does.
void heroTicked(Run& run, bool crouched);
// Opens the pause menu, as Escape does; `listener`, if any, is told of the pause.
void openMenu(Run& run, InputListener* listener = nullptr);
