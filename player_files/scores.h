#pragma once
// The table of the ten best runs, kept in the player's data folder. Every
// run that scored joins it at game over, or when the window is closed during
// the run. Copies of the game running at once take turns on the table, so no
// run is lost; a file that is not a table is kept aside and a new one starts,
// and a table the game cannot read is never written over.

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
// What reading the table found.
enum class TableRead {
  Read,        // the table, or none yet
  Broken,      // a file that is not a score table: *why says where
  Unreadable,  // something there that cannot be read: *why says why
};
// Reads the table at `path`, best first, and nothing else: it only reads.
TableRead readScoreFile(const std::string& path, std::vector<ScoreEntry>* table, std::string* why);
// The table at `path`, best first: empty when there is none or it cannot be read.
std::vector<ScoreEntry> loadScoreTable(const std::string& path);
// Adds `run` to the table at `path`, holding the table's lock from reading to
// writing. *bestBefore is the best total before this run (0 for none; the
// run's own total where it cannot be known). A file that is not a score
// table is moved aside first, with a line on stderr. A table that cannot be
// read, that the player made read-only, or that another program holds longer
// than a moment, is never written over: the run is kept in a file of its own beside it, with a line saying
// where. False, with *why, when the run could be kept nowhere.
bool recordRun(const std::string& path, const ScoreEntry& run, long long* bestBefore, std::string* why);

// "YYYY-MM-DD HH:MM:SS" for now, local time.
std::string dateNow();
