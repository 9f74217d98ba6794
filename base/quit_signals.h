#pragma once
// Ctrl+C, SIGTERM and SIGHUP end the game as closing its window does: the
// handler only sets a flag, and the frame loop, seeing it, ends the run
// through the same path. A second such signal ends the game at once.

// Listens for the three signals from now on.
void listenForQuitSignals();
// One of them has come.
bool quitSignalled();
