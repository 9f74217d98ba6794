#pragma once
// What the game keeps for the player between runs: the score of each run as
// it ends, the settings, and the options that print them.

#include <string>

// The run that ended, as the game-over screen shows it.
struct RunRecord {
  bool recorded = false;  // the run has joined the table (or tried to)
  long long total = 0;
  long long best = 0;  // the best total, this run's included
  bool newBest = false;
};

// The run has ended (game over, or the window closed during it): its total
// and the level reached join the best scores, once. A run that scored
// nothing is not kept, and is shown beside the player's best. A run not to
// be kept (a run played back) is shown with its own total as its best, never
// beside the table of whoever watches it.
void recordRunOnce(RunRecord& record, long long total, int level, bool keep = true);

// At start-up: says once when the player's folders cannot be used.
void checkPlayerFolders();

// --scores: prints the best runs; returns the exit code, 1 when the table
// cannot be read or is not one (said on stderr; the file is left as it is).
int printScores();
// --config: prints the settings file's path and the settings in force.
int printConfig();
