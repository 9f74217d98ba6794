#pragma once
// Where the keyboard and the pads meet the control rules: both send the same
// key events, and a key is let go only when nothing holds it any more. The
// controls hand their events on to whoever plays the run (the shell, which
// looks at the run's clock first); they know the run only to see whether its
// menu is open.

#include <functional>

#include "input/gamepad.h"

struct Run;

// The highest key code the window system sends (GLFW_KEY_LAST).
constexpr int kLastKey = 348;

// What the keyboard and the pads hold, and the focus, as the shell keeps them.
struct Controls {
  // What each source holds: the keyboard by key, a pad input the key it
  // pressed (0: none), and which pad inputs were down at the last pass.
  bool keyboardHolds[kLastKey + 1] = {};
  int padHolds[kMaxPads][kPadInputs] = {};
  bool padWasDown[kMaxPads][kPadInputs] = {};
  // X may send a loss of the focus and its return in one go (the focus set
  // again on the window that has it), and losses before the window first has
  // it; so the focus is judged once per pass, after all of its events, and
  // only a window that had it can lose it.
  bool focusedNow = false;
  bool focusedLastPass = false;
  // Whether the game was over at the last pass, for a minimising met between passes.
  bool gameOverLastPass = false;
  // The keyboard repeats a key held through a pause, so the hero walks on once
  // the menu closes; a pad's held directions are sent again for the same.
  bool menuWasOpen = false;
  PadReader readPad = readGlfwPad;
};

// Where the controls send a key event: a key the rules know and the window
// system's action (press, release, repeat).
using SendKey = std::function<void(int key, int action)>;

// The keyboard's event for `key` (a key the rules know, or any other code):
// notes the key held or let go, and says whether the event goes on to the
// rules. A key let go while a pad still holds it does not.
bool keyboardEventGoesOn(Controls& controls, int key, int action);
// Turns what changed on the pads since the last pass into key events, sent
// to `send`; the key a press stands for follows `run`'s menu as it is at that
// press. Runs once per pass, beside the keyboard's events.
void pollGamepads(Controls& controls, const Run& run, const SendKey& send);
// Once per pass, after the window's events: the pads, then the focus. True
// when the window lost the focus it had: the player has left it.
bool pollControls(Controls& controls, const Run& run, bool gameOver, const SendKey& send);
