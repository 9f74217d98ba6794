#include "base/quit_signals.h"

#include <signal.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t quitAsked = 0;

void askToQuit(int /*signal*/) { quitAsked = 1; }

}  // namespace

void listenForQuitSignals() {
  struct sigaction action {};
  action.sa_handler = askToQuit;
  sigemptyset(&action.sa_mask);
  // Once: a second signal finds the default again and ends the game.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool quitSignalled() { return quitAsked != 0; }
