#include "base/quit_signals.h"

#include <initializer_list>

namespace {

constexpr int kQuitSignals[3] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t quitAsked = 0;
// How many of each came while they were held, by their place in kQuitSignals.
volatile sig_atomic_t heldCounts[3] = {0, 0, 0};

void askToQuit(int /*signal*/) { quitAsked = 1; }

void countHeld(int signal) {
  for (int i = 0; i < 3; ++i) {
    if (kQuitSignals[i] == signal) heldCounts[i] = heldCounts[i] + 1;
  }
}

}  // namespace

void listenForQuitSignals(bool secondEndsAtOnce) {
  struct sigaction action {};
  action.sa_handler = askToQuit;
  sigemptyset(&action.sa_mask);
  // Once: a second signal finds the default again and ends the game.
  action.sa_flags = SA_RESTART | (secondEndsAtOnce ? SA_RESETHAND : 0);
  for (int signal : kQuitSignals) sigaction(signal, &action, nullptr);
}

bool quitSignalled() { return quitAsked != 0; }

// The signals are counted by a handler rather than blocked: the sound and
// drawing libraries run threads of their own, and any of them could take a
// signal the frame loop's thread blocks.
QuitSignalsHeld::QuitSignalsHeld() {
  struct sigaction count {};
  count.sa_handler = countHeld;
  sigemptyset(&count.sa_mask);
  count.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) {
    heldCounts[i] = 0;
    sigaction(kQuitSignals[i], &count, &before[i]);
  }
}

QuitSignalsHeld::~QuitSignalsHeld() {
  for (int i = 0; i < 3; ++i) {
    sigaction(kQuitSignals[i], &before[i], nullptr);
    int came = heldCounts[i];
    if (came == 0) continue;
    // The first of them does what listening does: asks to end, once (or
    // every one of them only asks).
    if (before[i].sa_handler == askToQuit) {
      quitAsked = 1;
      if ((before[i].sa_flags & SA_RESETHAND) == 0) continue;
      signal(kQuitSignals[i], SIG_DFL);
      --came;
    }
    if (came > 0) raise(kQuitSignals[i]);
  }
}
