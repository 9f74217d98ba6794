#include "player_files/player_files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "base/console.h"
#include "base/user_files.h"
#include "player_files/scores.h"
#include "player_files/settings.h"


void checkPlayerFolders() {
  // The game writes the scores and what it remembers; the settings file only the player does.
  const struct {
    std::string folder;
    const char* variable;
  } folders[] = {{userDataFolder(), "XDG_DATA_HOME"}, {userStateFolder(), "XDG_STATE_HOME"}};
  for (const auto& [folder, variable] : folders) {
    std::string why;
    if (folder.empty()) {
      cannotKeepPlayerFiles(whyNoUserFolder(variable));
    } else if (!makeFolders(folder, &why)) {
      cannotKeepPlayerFiles(why);
    } else if (access(folder.c_str(), W_OK) != 0) {
      cannotKeepPlayerFiles(quotedPath(folder) + " is read-only");
    }
  }
}

void recordRunOnce(RunRecord& runRecord, long long total, int level, bool keep) {
  if (runRecord.recorded) return;
  runRecord.recorded = true;
  runRecord.total = total;
  runRecord.best = total;
  runRecord.newBest = false;
  // A run played back shows its own total as its best: the table of
  // whoever watches it is no record of that run.
  if (!keep) return;
  if (total <= 0) {
    const std::vector<ScoreEntry> table = loadScoreTable(scoresPath());
    if (!table.empty()) runRecord.best = table.front().total;
    return;
  }
  long long bestBefore = 0;
  std::string why;
  const bool kept = recordRun(scoresPath(), ScoreEntry{total, level, dateNow()}, &bestBefore, &why);
  if (!kept) cannotKeepPlayerFiles(why);
  runRecord.best = std::max(total, bestBefore);
  runRecord.newBest = total > bestBefore;
}

int printScores() {
  const std::string path = scoresPath();
  std::vector<ScoreEntry> table;
  std::string why;
  const TableRead read = readScoreFile(path, &table, &why);
  std::printf("Best runs (%s):\n", path.empty() ? "no home folder" : quotedPath(path).c_str());
  // Only read: a table in a state the game cannot show is left as it is.
  if (read == TableRead::Unreadable) {
    std::fprintf(stderr, "nombre: %s cannot be read (%s)\n", quotedPath(path).c_str(), why.c_str());
    return 1;
  }
  if (read == TableRead::Broken) {
    std::fprintf(stderr, "nombre: %s is not a score table (%s)\n", quotedPath(path).c_str(), why.c_str());
    return 1;
  }
  if (table.empty()) std::printf("  none yet\n");
  int place = 0;
  for (const ScoreEntry& entry : table) {
    std::printf("  %2d. %10lld  level %-3d  %s\n", ++place, entry.total, entry.level, entry.date.c_str());
  }
  return 0;
}

int printConfig() {
  const Settings settings = loadSettings();
  const std::string path = settingsPath();
  std::printf("# %s\n%s", path.empty() ? "no home folder: the defaults" : quotedPath(path).c_str(),
              settingsText(settings).c_str());
  return 0;
}
