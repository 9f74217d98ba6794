#include "player_files/scores.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <toml++/toml.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sstream>

#include "base/console.h"
#include "base/user_files.h"
#include "player_files/player_toml.h"

namespace {

const char* const kScoresFile = "scores";
const char* const kLockFile = "scores.lock";
// How long a game that ended waits for another copy of the game to let go of
// the table: another game's turn takes a few milliseconds, and a wait this
// short, at the moment the last heart goes, is not seen. A holder that keeps
// the table longer is something else, and the run is kept aside instead.
constexpr int kLockWaitMs = 200;
constexpr int kLockPollMs = 5;
// Beside the table, a run that could not join it: scores.run-DATE-PID.
const char* const kRunAsideMark = ".run-";

std::string twoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string dateText(const toml::date_time& when) {
  return std::to_string(when.date.year) + "-" + twoDigits(when.date.month) + "-" + twoDigits(when.date.day) + " " +
         twoDigits(when.time.hour) + ":" + twoDigits(when.time.minute) + ":" + twoDigits(when.time.second);
}

// The stored form of a date: a TOML local date-time.
std::string tomlDate(const std::string& date) {
  std::string stored = date;
  if (stored.size() > 10 && stored[10] == ' ') stored[10] = 'T';
  return stored;
}

void sortAndTrim(std::vector<ScoreEntry>* table) {
  // Equal totals keep their order: the earlier run stays above.
  std::stable_sort(table->begin(), table->end(),
                   [](const ScoreEntry& a, const ScoreEntry& b) { return a.total > b.total; });
  if (table->size() > static_cast<size_t>(kBestRuns)) table->resize(kBestRuns);
}

bool readEntry(const toml::node& node, ScoreEntry* entry, std::string* why) {
  const toml::table* run = node.as_table();
  const std::string line = "line " + std::to_string(node.source().begin.line);
  if (run == nullptr) {
    *why = line + ": a run is not a table";
    return false;
  }
  const std::optional<int64_t> total = (*run)["total"].value_exact<int64_t>();
  const std::optional<int64_t> level = (*run)["level"].value_exact<int64_t>();
  const std::optional<toml::date_time> date = (*run)["date"].value_exact<toml::date_time>();
  if (!total || *total < 0 || !level || *level < 1 || *level > 1000000 || !date || run->size() != 3) {
    *why = line + ": a run needs a total (0 or more), a level (1 or more) and a date, and nothing else";
    return false;
  }
  entry->total = *total;
  entry->level = static_cast<int>(*level);
  entry->date = dateText(*date);
  return true;
}

// Holds the table's lock file while it lives; a folder that cannot hold
// one is met later, when the table cannot be written there either.
class TableLock {
 public:
  explicit TableLock(const std::string& folder) {
    if (!makeFolders(folder, nullptr)) return;
    fd_ = open((folder + "/" + kLockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    // A file system that cannot lock at all is written unlocked, as before.
    for (int waited = 0; flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK; waited += kLockPollMs) {
      if (waited >= kLockWaitMs) {
        busy_ = true;
        return;
      }
      usleep(kLockPollMs * 1000);
    }
  }
  ~TableLock() {
    if (fd_ >= 0) close(fd_);  // closing lets go of the lock
  }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  // Another holder kept the table past the wait.
  bool busy() const { return busy_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
};

// Keeps a run the table cannot take in a file of its own beside the table,
// a table of one run: never lost, and never in another copy's way. Returns
// its path, "" when it could not be written.
std::string keepRunAside(const std::string& path, const ScoreEntry& run) {
  std::string stamp = tomlDate(run.date);
  stamp.erase(std::remove_if(stamp.begin(), stamp.end(), [](char c) { return c == '-' || c == ':'; }), stamp.end());
  std::replace(stamp.begin(), stamp.end(), 'T', '-');
  const std::string aside = path + kRunAsideMark + stamp + "-" + std::to_string(getpid());
  return writeFileWhole(aside, scoreTableText({run}), nullptr) ? aside : "";
}

}  // namespace

bool readScoreTable(const std::string& text, std::vector<ScoreEntry>* table, std::string* why) {
  table->clear();
  toml::table file;
  if (const int deep = lineNestedTooDeep(text)) {
    *why = "line " + std::to_string(deep) + ": " + nestedTooDeep();
    return false;
  }
  try {
    file = toml::parse(text);
  } catch (const toml::parse_error& error) {
    *why = "line " + std::to_string(error.source().begin.line) + ": " + shortQuote(std::string(error.description()), kParserWordsBytes);
    return false;
  }
  for (const auto& [name, node] : file) {
    if (name.str() != "run") {
      *why = "line " + std::to_string(node.source().begin.line) + ": " + shortQuote(std::string(name.str())) + " is not part of a score table";
      return false;
    }
  }
  if (const toml::node* runs = file.get("run")) {
    const toml::array* list = runs->as_array();
    if (list == nullptr) {
      *why = "line " + std::to_string(runs->source().begin.line) + ": run is not a list of runs";
      return false;
    }
    for (const toml::node& node : *list) {
      ScoreEntry entry;
      if (!readEntry(node, &entry, why)) return false;
      table->push_back(entry);
    }
  }
  sortAndTrim(table);
  return true;
}

std::string scoreTableText(const std::vector<ScoreEntry>& table) {
  std::ostringstream text;
  text << "# nombre's best runs, best first.\n";
  for (const ScoreEntry& entry : table) {
    text << "\n[[run]]\ntotal = " << entry.total << "\nlevel = " << entry.level << "\ndate = " << tomlDate(entry.date)
         << "\n";
  }
  return text.str();
}

std::string scoresPath() {
  const std::string folder = userDataFolder();
  return folder.empty() ? "" : folder + "/" + kScoresFile;
}

TableRead readScoreFile(const std::string& path, std::vector<ScoreEntry>* table, std::string* why) {
  table->clear();
  std::string text;
  switch (path.empty() ? FileRead::Missing : readPlayerFile(path, kMostPlayerFileBytes, &text, why)) {
    case FileRead::Missing:
      return TableRead::Read;
    case FileRead::Unreadable:
      return TableRead::Unreadable;
    case FileRead::TooLarge:
      *why = "larger than " + std::to_string(kMostPlayerFileBytes / 1024) + " KB";
      return TableRead::Broken;
    case FileRead::Read:
      break;
  }
  if (readScoreTable(text, table, why)) return TableRead::Read;
  table->clear();
  return TableRead::Broken;
}

std::vector<ScoreEntry> loadScoreTable(const std::string& path) {
  std::vector<ScoreEntry> table;
  std::string why;
  readScoreFile(path, &table, &why);
  return table;
}

bool recordRun(const std::string& path, const ScoreEntry& run, long long* bestBefore, std::string* why) {
  if (path.empty()) {
    *why = "no home folder";
    return false;
  }
  // Where the best before this run cannot be known, the run is shown as the
  // best but not marked a new one.
  *bestBefore = run.total;
  const TableLock lock(path.substr(0, path.rfind('/')));
  std::vector<ScoreEntry> table;
  std::string problem;
  TableRead read = lock.busy() ? TableRead::Unreadable : readScoreFile(path, &table, &problem);
  // One the player cannot read is said to be so first.
  const bool readOnly = read != TableRead::Unreadable && madeReadOnly(path);
  if (readOnly) read = TableRead::Unreadable;
  if (read == TableRead::Unreadable) {
    // Never written over: the runs in it are still the player's.
    const std::string aside = keepRunAside(path, run);
    const std::string cause = lock.busy()  ? "are held by another program"
                              : readOnly ? "are read-only"
                                         : "cannot be read (" + problem + ")";
    if (aside.empty()) {
      *why = "the best scores in " + quotedPath(path) + " " + cause + ", and this run's score could not be kept beside them";
      return false;
    }
    std::fprintf(stderr, "nombre: the best scores in %s %s; this run's score (%lld) is kept in %s\n",
                 quotedPath(path).c_str(), cause.c_str(), run.total, quotedPath(aside).c_str());
    return true;
  }
  if (read == TableRead::Broken) {
    const std::string aside = moveAside(path);
    std::fprintf(stderr, "nombre: %s is not a score table (%s); %s\n", quotedPath(path).c_str(), problem.c_str(),
                 aside.empty() ? "it could not be moved aside"
                               : ("it is kept as " + quotedPath(aside) + ", and a new table starts").c_str());
    if (aside.empty()) {
      *why = "the unreadable table " + quotedPath(path) + " could not be moved aside";
      return false;
    }
  }
  *bestBefore = table.empty() ? 0 : table.front().total;
  table.push_back(run);
  sortAndTrim(&table);
  return writeFileWhole(path, scoreTableText(table), why);
}

std::string dateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}
