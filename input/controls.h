#pragma once
// Where the keyboard and the pads meet the control rules: both send the same
// key events, and a key is let go only when nothing holds it any more.

#include "base/clock.h"
#include "input/gamepad.h"

struct Game;
struct GLFWwindow;

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

// The window's key callback: the event goes to the control rules of the game
// the window shows, and Exit chosen in the menu closes the window.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);
// The game a window shows (set at start-up).
Game& gameOf(GLFWwindow* window);
// Looks at the run's clock, as before every input it is handed and once a
// pass: the game time now (it stands still while the menu is open or a
// viewer holds a replay).
ClockTicks lookAtClock(Game& game);
// Exit was chosen in the menu (by a key or a run played back): the window
// closes, once.
void closeIfExitChosen(Game& game);

// Listens to the player at this window: keys, focus and minimising.
void listenToPlayer(GLFWwindow* window);
// The keyboard's callback: F11 and Alt+Enter toggle full screen, every other
// key goes to the control rules.
void keyboardKey(GLFWwindow* window, int key, int scancode, int action, int mods);
// Once per pass, after the window's events: the pads, and a pause when the
// window lost the focus it had.
void pollControls(GLFWwindow* window, bool gameOver);
// Turns what changed on the pads since the last pass into key events. Runs
// once per pass, beside the keyboard's events.
void pollGamepads(GLFWwindow* window);
// The player left the window (it lost the focus or was minimised): in play
// and during the stage-clear poses, the game pauses so the hero does not
// fight on unseen; on the game-over screen nothing is left to pause.
void pauseWhileAway(GLFWwindow* window, bool gameOver);

