#pragma once
// Ctrl+C, SIGTERM and SIGHUP end the game as closing its window does: the
// handler only sets a flag, and the frame loop, seeing it, ends the run
// through the same path. A second such signal ends the game at once, unless
// the run it ended is being kept (see QuitSignalsHeld): then as soon as it is.

#include <signal.h>

// Listens for the three signals from now on. By default a second one ends
// the program at once; `secondEndsAtOnce` false makes every one only ask
// (an export, whose clean-up must not be cut off by an impatient second
// Ctrl+C: it hears the first within a fraction of a second).
void listenForQuitSignals(bool secondEndsAtOnce = true);
// One of them has come.
bool quitSignalled();

// While one lives, the three signals only count: a run being kept (its
// recording ended, its score waiting for the table's lock) is never cut off
// halfway. When it goes, a signal that came meanwhile is taken as it would
// have been then: a first asks the game to end, a second ends it.
class QuitSignalsHeld {
 public:
  QuitSignalsHeld();
  ~QuitSignalsHeld();
  QuitSignalsHeld(const QuitSignalsHeld&) = delete;
  QuitSignalsHeld& operator=(const QuitSignalsHeld&) = delete;

 private:
  struct sigaction before[3];
};
