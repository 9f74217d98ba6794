#pragma once
// The table of the ten best runs, kept in the player's data folder. Every
// run that scored joins it at game over, or when the window is closed during
// the run. Copies of the game running at once take turns on the table, so no
// run is lost; a table the game cannot read is kept aside and a new one starts.

#include <string>
#include <vector>

struct ScoreEntry {
  long long total = 0;  // the run's total
  int level = 1;        // the level reached
  std::string date;     // when the run ended, "YYYY-MM-DD HH:MM:SS" local time
};

constexpr int kBestRuns = 10;

// Reads a score table, best first. False, with *why, when the text is not one.
bool readScoreTable(const std::string& text, std::vector<ScoreEntry>* table, std::string* why);
// The table as the text of the scores file.
std::string scoreTableText(const std::vector<ScoreEntry>& table);

// $XDG_DATA_HOME/nombre/scores; "" with no home folder.
std::string scoresPath();
// The table at `path`, best first: empty when there is none. A file that is
// not a score table is moved aside, with a line on stderr; where it cannot
// be, *stuck (if given) is set, and the file must not be written over.
std::vector<ScoreEntry> loadScoreTable(const std::string& path, bool* stuck = nullptr);
// Adds `run` to the table at `path`, holding the table's lock from reading to
// writing. *bestBefore is the best total before this run (0 for none).
// False, with *why, when the table cannot be written.
bool recordRun(const std::string& path, const ScoreEntry& run, long long* bestBefore, std::string* why);

// "YYYY-MM-DD HH:MM:SS" for now, local time.
std::string dateNow();
