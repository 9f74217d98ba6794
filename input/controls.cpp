#include "input/controls.h"

#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>

#include "input/gamepad.h"
#include "player_files/settings.h"
#include "rules/control_rules.h"
#include "shell/game.h"
#include "window/window_fit.h"

namespace {

// What each source holds: the keyboard by key, a pad input the key it
// pressed (0: none), and which pad inputs were down at the last pass.
bool keyboardHolds[GLFW_KEY_LAST + 1];
int padHolds[kMaxPads][kPadInputs];
bool padWasDown[kMaxPads][kPadInputs];

bool aPadHolds(int key) {
  for (const auto& pad : padHolds) {
    for (int held : pad) {
      if (held == key) return true;
    }
  }
  return false;
}

bool isKnownKey(int key) { return key >= 0 && key <= GLFW_KEY_LAST; }

// X may send a loss of the focus and its return in one go (the focus set
// again on the window that has it), and losses before the window first has
// it; so the focus is judged once per pass, after all of its events, and
// only a window that had it can lose it.
bool focusedNow = false;
bool focusedLastPass = false;
// Whether the game was over at the last pass, for a minimising met between passes.
bool gameOverLastPass = false;

void windowFocus(GLFWwindow* /*window*/, int focused) { focusedNow = focused; }

void windowIconify(GLFWwindow* window, int iconified) {
  if (iconified) pauseWhileAway(window, gameOverLastPass);
}

}  // namespace

Game& gameOf(GLFWwindow* window) { return *static_cast<Game*>(glfwGetWindowUserPointer(window)); }

void closeIfExitChosen(Game& game) {
  if (!game.exitChosen) return;
  game.exitChosen = false;
  if (game.window != nullptr) glfwSetWindowShouldClose(game.window, 1);
}

ClockTicks lookAtClock(Game& game) { return moveOn(game.clock, wallClock(), game.menuOpen || game.viewerPaused); }

void keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
  Game& game = gameOf(window);
  lookAtClock(game);  // the time until now passed as the run was
  takeKey(game, key, action);
  closeIfExitChosen(game);
}

void pauseWhileAway(GLFWwindow* window, bool gameOver) {
  Game& game = gameOf(window);
  lookAtClock(game);
  // The stage-clear poses lead into the next level: they wait too. The
  // game-over screen is final, with nothing to pause.
  if (!game.menuOpen && !gameOver) openMenu(game);
}

void listenToPlayer(GLFWwindow* window) {
  glfwSetKeyCallback(window, keyboardKey);
  glfwSetWindowFocusCallback(window, windowFocus);
  glfwSetWindowIconifyCallback(window, windowIconify);
}

void keyboardKey(GLFWwindow* window, int windowKey, int scancode, int action, int mods) {
  if (action == GLFW_PRESS && isFullScreenKey(windowKey, mods)) {
    toggleFullScreen(window);
    keepFullScreenChoice(window);
    return;
  }
  // The player's keys become the keys the rules know (the pads send those already).
  const int key = gameKey(windowKey);
  if (isKnownKey(key)) {
    keyboardHolds[key] = action != GLFW_RELEASE;
    if (action == GLFW_RELEASE && aPadHolds(key)) return;
  }
  keyCallback(window, key, scancode, action, mods);
}

namespace {

// The keyboard repeats a key held through a pause, so the hero walks on once
// the menu closes; a pad's held directions are sent again for the same.
bool menuWasOpen = false;

void resendHeldDirectionsOnResume(GLFWwindow* window) {
  const bool menuOpen = gameOf(window).menuOpen;
  const bool resumed = menuWasOpen && !menuOpen;
  menuWasOpen = menuOpen;
  if (!resumed) return;
  for (int pad = 0; pad < kMaxPads; ++pad) {
    for (int input : {kPadLeft, kPadRight, kPadUp, kPadDown}) {
      const int key = padHolds[pad][input];
      if (key != 0) keyCallback(window, key, 0, GLFW_PRESS, 0);
    }
  }
}

}  // namespace

void pollGamepads(GLFWwindow* window) {
  // The keyboard may have closed the menu since the last pass.
  resendHeldDirectionsOnResume(window);
  for (int pad = 0; pad < kMaxPads; ++pad) {
    PadState state;
    bool down[kPadInputs] = {};
    // A pad that went away lets go of everything it held.
    if (readPad(pad, state)) padInputsDown(state, down);
    for (int input = 0; input < kPadInputs; ++input) {
      int& held = padHolds[pad][input];
      bool& wasDown = padWasDown[pad][input];
      if (down[input] && !wasDown) {
        // The key follows the screen the press lands on: south punches in
        // play and takes the menu's choice.
        held = padKey(input, gameOf(window).menuOpen);
        if (held != 0) keyCallback(window, held, 0, GLFW_PRESS, 0);
      } else if (!down[input] && wasDown && held != 0) {
        const int key = held;
        held = 0;
        if (!keyboardHolds[key] && !aPadHolds(key)) keyCallback(window, key, 0, GLFW_RELEASE, 0);
      }
      wasDown = down[input];
    }
  }
  // Or a pad's Start did, just now.
  resendHeldDirectionsOnResume(window);
}

void pollControls(GLFWwindow* window, bool gameOver) {
  gameOverLastPass = gameOver;
  pollGamepads(window);
  if (focusedLastPass && !focusedNow) pauseWhileAway(window, gameOver);
  focusedLastPass = focusedNow;
}

void forgetHeldKeys() {
  for (bool& held : keyboardHolds) held = false;
  for (auto& pad : padHolds) {
    for (int& held : pad) held = 0;
  }
  for (auto& pad : padWasDown) {
    for (bool& wasDown : pad) wasDown = false;
  }
  menuWasOpen = false;
}
