#pragma once
// The window's events reaching the game that owns the window: the window
// system's callbacks find their Game through the window's user pointer, set
// when the game starts listening, and hand the keys and pads on to its run.
// Another Game drawing in the same window hears none of them; whatever sends
// a key to a run names the Game it means.

#include "app/game.h"

// Makes `game` the one its window's events reach, and listens to the player
// there: keys, focus, minimising and exposes.
void listenToPlayer(Game& game);
// The game whose window it is (set by listenToPlayer).
Game& gameOf(GLFWwindow* window);

// The window's key callback in play: F11 and Alt+Enter toggle full screen,
// every other key becomes the key the rules know and goes to the game's run.
void keyboardKey(GLFWwindow* window, int key, int scancode, int action, int mods);
// A key event for the game's run: after a look at its clock, to the control
// rules; Exit chosen in the menu closes the window.
void sendKey(Game& game, int key, int action);
// What the game's pads and keyboard send to: sendKey to this game.
SendKey keysTo(Game& game);
// The pads' changes since the last pass, sent to the game's run.
void pollGamepads(Game& game);
// The pads and the focus, once a pass; a run played back takes its inputs
// from its file alone.
void takeControls(Game& game);
// The player left the window (it lost the focus or was minimised): in play
// and during the stage-clear poses, the game pauses so the hero does not
// fight on unseen; on the game-over screen nothing is left to pause.
void pauseWhileAway(Game& game, bool gameOver);

// Looks at the run's clock, as before every input it is handed and once a
// pass: the game time now (it stands still while the menu is open or a
// viewer holds a replay).
ClockTicks lookAtClock(Game& game);
// Exit was chosen in the menu (by a key or a run played back): the window
// closes, once.
void closeIfExitChosen(Game& game);
