#pragma once
// The game's command line. With no options the game plays as it always has.

#include <string>

struct Options {
  bool play = true;  // false: an option did its work (help, version) and the game exits
  bool scores = false;  // --scores: print the best runs and exit
  bool config = false;  // --config: print the settings file's path and the settings in force, and exit
};

// Reads argv into `options`. Returns -1 when the game should go on, else the
// exit code to end with: 0 after --help or --version, 2 after an option it
// does not know (the usage already written to stderr).
int parseCommandLine(int argc, char** argv, Options& options);
