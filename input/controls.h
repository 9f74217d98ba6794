#pragma once
// Where the keyboard and the pads meet the control rules: both send the same
// key events, and a key is let go only when nothing holds it any more.

#include "base/clock.h"

struct Game;
struct GLFWwindow;

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
// Forgets what the keyboard and the pads hold (tests).
void forgetHeldKeys();
