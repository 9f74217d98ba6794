#include "app/window_callbacks.h"

#include "player_files/settings.h"
#include "rules/control_rules.h"
#include "rules/update_ticks.h"
#include "runs/run_log.h"
#include "window/window_fit.h"

namespace {

void windowFocus(GLFWwindow* window, int focused) { gameOf(window).controls.focusedNow = focused; }

void windowIconify(GLFWwindow* window, int iconified) {
  Game& game = gameOf(window);
  if (iconified) pauseWhileAway(game, game.controls.gameOverLastPass);
}

void windowExposed(GLFWwindow* window) { gameOf(window).framePace.exposed = true; }

}  // namespace

void listenToPlayer(Game& game) {
  glfwSetWindowUserPointer(game.window, &game);
  glfwSetKeyCallback(game.window, keyboardKey);
  glfwSetWindowFocusCallback(game.window, windowFocus);
  glfwSetWindowIconifyCallback(game.window, windowIconify);
  glfwSetWindowRefreshCallback(game.window, windowExposed);
}

Game& gameOf(GLFWwindow* window) { return *static_cast<Game*>(glfwGetWindowUserPointer(window)); }

void keyboardKey(GLFWwindow* window, int windowKey, int /*scancode*/, int action, int mods) {
  Game& game = gameOf(window);
  if (action == GLFW_PRESS && isFullScreenKey(windowKey, mods)) {
    toggleFullScreen(window, game.windowPlace);
    keepFullScreenChoice(window, game.settings);
    return;
  }
  // The player's keys become the keys the rules know (the pads send those already).
  const int key = gameKey(game.settings, windowKey);
  if (keyboardEventGoesOn(game.controls, key, action)) sendKey(game, key, action);
}

void sendKey(Game& game, int key, int action) {
  lookAtClock(game);  // the time until now passed as the run was
  takeKey(game.run, key, action, &game.log);
  closeIfExitChosen(game);
}

SendKey keysTo(Game& game) {
  return [&game](int key, int action) { sendKey(game, key, action); };
}

void pollGamepads(Game& game) { pollGamepads(game.controls, game.run, keysTo(game)); }

void takeControls(Game& game) {
  if (game.log.replaying()) return;
  const bool gameOver = gameIsOver(game.run);
  if (pollControls(game.controls, game.run, gameOver, keysTo(game))) pauseWhileAway(game, gameOver);
}

void pauseWhileAway(Game& game, bool gameOver) {
  lookAtClock(game);
  // The stage-clear poses lead into the next level: they wait too. The
  // game-over screen is final, with nothing to pause.
  if (!game.run.menuOpen && !gameOver) openMenu(game.run, &game.log);
}

ClockTicks lookAtClock(Game& game) {
  return moveOn(game.run.clock, wallClock(), game.run.menuOpen || game.viewerPaused);
}

void closeIfExitChosen(Game& game) {
  if (!game.run.exitChosen) return;
  game.run.exitChosen = false;
  if (game.window != nullptr) glfwSetWindowShouldClose(game.window, 1);
}
