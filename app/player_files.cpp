#include "app/player_files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/scores.h"
#include "app/settings.h"
#include "base/user_files.h"

RunRecord runRecord;

void checkPlayerFolders() {
  for (const std::string& folder : {userDataFolder(), userConfigFolder()}) {
    std::string why;
    if (folder.empty()) {
      cannotKeepPlayerFiles("neither HOME nor the XDG folders are set");
    } else if (!makeFolders(folder, &why)) {
      cannotKeepPlayerFiles(why);
    } else if (access(folder.c_str(), W_OK) != 0) {
      cannotKeepPlayerFiles(folder + " is read-only");
    }
  }
}

void recordRunOnce(long long total, int level, bool keep) {
  if (runRecord.recorded) return;
  runRecord.recorded = true;
  runRecord.total = total;
  runRecord.best = total;
  runRecord.newBest = false;
  if (total <= 0 || !keep) {
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

void forgetRun() { runRecord = RunRecord(); }

int printScores() {
  const std::string path = scoresPath();
  const std::vector<ScoreEntry> table = loadScoreTable(path);
  std::printf("Best runs (%s):\n", path.empty() ? "no home folder" : path.c_str());
  if (table.empty()) std::printf("  none yet\n");
  int place = 0;
  for (const ScoreEntry& entry : table) {
    std::printf("  %2d. %10lld  level %-3d  %s\n", ++place, entry.total, entry.level, entry.date.c_str());
  }
  return 0;
}

int printConfig() {
  loadSettings();
  const std::string path = settingsPath();
  std::printf("# %s\n%s", path.empty() ? "no home folder: the defaults" : path.c_str(),
              settingsText(settings).c_str());
  return 0;
}
