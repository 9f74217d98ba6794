#include "input/controls.h"

#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>

#include "input/gamepad.h"
#include "player_files/settings.h"
#include "rules/control_rules.h"
#include "app/game.h"
#include "window/window_fit.h"

static_assert(kLastKey == GLFW_KEY_LAST, "a key the window system sends has a place");

namespace {

bool aPadHolds(const Controls& controls, int key) {
  for (const auto& pad : controls.padHolds) {
    for (int held : pad) {
      if (held == key) return true;
    }
  }
  return false;
}

bool isKnownKey(int key) { return key >= 0 && key <= GLFW_KEY_LAST; }

void windowFocus(GLFWwindow* window, int focused) { gameOf(window).controls.focusedNow = focused; }

void windowIconify(GLFWwindow* window, int iconified) {
  if (iconified) pauseWhileAway(window, gameOf(window).controls.gameOverLastPass);
}

void windowExposed(GLFWwindow* window) { gameOf(window).framePace.exposed = true; }

}  // namespace

Game& gameOf(GLFWwindow* window) { return *static_cast<Game*>(glfwGetWindowUserPointer(window)); }

void closeIfExitChosen(Game& game) {
  if (!game.run.exitChosen) return;
  game.run.exitChosen = false;
  if (game.window != nullptr) glfwSetWindowShouldClose(game.window, 1);
}

ClockTicks lookAtClock(Game& game) {
  return moveOn(game.run.clock, wallClock(), game.run.menuOpen || game.viewerPaused);
}

void keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
  Game& game = gameOf(window);
  lookAtClock(game);  // the time until now passed as the run was
  takeKey(game.run, key, action, &game.log);
  closeIfExitChosen(game);
}

void pauseWhileAway(GLFWwindow* window, bool gameOver) {
  Game& game = gameOf(window);
  lookAtClock(game);
  // The stage-clear poses lead into the next level: they wait too. The
  // game-over screen is final, with nothing to pause.
  if (!game.run.menuOpen && !gameOver) openMenu(game.run, &game.log);
}

void listenToPlayer(GLFWwindow* window) {
  glfwSetKeyCallback(window, keyboardKey);
  glfwSetWindowFocusCallback(window, windowFocus);
  glfwSetWindowIconifyCallback(window, windowIconify);
  glfwSetWindowRefreshCallback(window, windowExposed);
}

void keyboardKey(GLFWwindow* window, int windowKey, int scancode, int action, int mods) {
  Game& game = gameOf(window);
  if (action == GLFW_PRESS && isFullScreenKey(windowKey, mods)) {
    toggleFullScreen(window, game.windowPlace);
    keepFullScreenChoice(window, game.settings);
    return;
  }
  // The player's keys become the keys the rules know (the pads send those already).
  const int key = gameKey(game.settings, windowKey);
  if (isKnownKey(key)) {
    game.controls.keyboardHolds[key] = action != GLFW_RELEASE;
    if (action == GLFW_RELEASE && aPadHolds(game.controls, key)) return;
  }
  keyCallback(window, key, scancode, action, mods);
}

namespace {

void resendHeldDirectionsOnResume(GLFWwindow* window) {
  Controls& controls = gameOf(window).controls;
  const bool menuOpen = gameOf(window).run.menuOpen;
  const bool resumed = controls.menuWasOpen && !menuOpen;
  controls.menuWasOpen = menuOpen;
  if (!resumed) return;
  for (int pad = 0; pad < kMaxPads; ++pad) {
    for (int input : {kPadLeft, kPadRight, kPadUp, kPadDown}) {
      const int key = controls.padHolds[pad][input];
      if (key != 0) keyCallback(window, key, 0, GLFW_PRESS, 0);
    }
  }
}

}  // namespace

void pollGamepads(GLFWwindow* window) {
  // The keyboard may have closed the menu since the last pass.
  resendHeldDirectionsOnResume(window);
  Controls& controls = gameOf(window).controls;
  for (int pad = 0; pad < kMaxPads; ++pad) {
    PadState state;
    bool down[kPadInputs] = {};
    // A pad that went away lets go of everything it held.
    if (controls.readPad(pad, state)) padInputsDown(state, down);
    for (int input = 0; input < kPadInputs; ++input) {
      int& held = controls.padHolds[pad][input];
      bool& wasDown = controls.padWasDown[pad][input];
      if (down[input] && !wasDown) {
        // The key follows the screen the press lands on: south punches in
        // play and takes the menu's choice.
        held = padKey(input, gameOf(window).run.menuOpen);
        if (held != 0) keyCallback(window, held, 0, GLFW_PRESS, 0);
      } else if (!down[input] && wasDown && held != 0) {
        const int key = held;
        held = 0;
        if (!controls.keyboardHolds[key] && !aPadHolds(controls, key)) keyCallback(window, key, 0, GLFW_RELEASE, 0);
      }
      wasDown = down[input];
    }
  }
  // Or a pad's Start did, just now.
  resendHeldDirectionsOnResume(window);
}

void pollControls(GLFWwindow* window, bool gameOver) {
  Controls& controls = gameOf(window).controls;
  controls.gameOverLastPass = gameOver;
  pollGamepads(window);
  if (controls.focusedLastPass && !controls.focusedNow) pauseWhileAway(window, gameOver);
  controls.focusedLastPass = controls.focusedNow;
}
