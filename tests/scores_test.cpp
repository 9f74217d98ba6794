// The best-scores table: the ten best runs kept across games, a table edited
// into nonsense kept aside rather than lost, copies of the game recording at
// once losing nothing, a home that cannot be written to said once, and the
// game-over screen showing the run's total and the best over its picture.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "base/user_files.h"
#include "player_files/player_files.h"
#include "player_files/scores.h"
#include "player_files/settings.h"
#include "tests/gl_fixture.h"
#include "tests/scratch_folder.h"

namespace {

std::vector<long long> totals(const std::vector<ScoreEntry>& table) {
  std::vector<long long> found;
  for (const ScoreEntry& entry : table) found.push_back(entry.total);
  return found;
}

ScoreEntry run(long long total, int level = 1) { return ScoreEntry{total, level, "2026-03-04 05:06:07"}; }

class Scores : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  std::string path = scratch.path + "/nombre/scores";
};

}  // namespace

TEST_F(Scores, TheTenBestRunsAreKeptBestFirstWithTheirLevelAndDate) {
  const long long played[] = {300, 1200, 50, 900, 4000, 10, 700, 2500, 600, 800, 150, 3000};
  long long bestBefore = -1;
  std::string why;
  for (long long total : played) ASSERT_TRUE(recordRun(path, run(total, 3), &bestBefore, &why)) << why;
  EXPECT_EQ(bestBefore, 4000);
  const std::vector<ScoreEntry> table = loadScoreTable(path);
  EXPECT_EQ(totals(table), (std::vector<long long>{4000, 3000, 2500, 1200, 900, 800, 700, 600, 300, 150}));
  EXPECT_EQ(table[0].level, 3);
  EXPECT_EQ(table[0].date, "2026-03-04 05:06:07");
}

// A table edited by hand into something else: kept aside whole with one
// line on stderr, and a new table starts with the next run.
TEST_F(Scores, ATableThatIsNotOneIsKeptAsideAndANewOneStarts) {
  const char* const nonsense[] = {
      "hello there {{{",
      "[[run]]\ntotal = -5\nlevel = 1\ndate = 2026-01-01T00:00:00\n",
      "[[run]]\ntotal = \"lots\"\nlevel = 1\ndate = 2026-01-01T00:00:00\n",
      "[[run]]\ntotal = 5\nlevel = 0\ndate = 2026-01-01T00:00:00\n",
      "[[run]]\ntotal = 5\nlevel = 1\n",
      "[[run]]\ntotal = 5\nlevel = 1\ndate = 2026-01-01T00:00:00\nname = \"me\"\n",
      "run = 3\n",
      "best = 9000\n",
      "\x01\x02\xff\xfe binary",
  };
  for (const char* text : nonsense) {
    ScratchFolder fresh;
    const std::string scores = fresh.path + "/scores";
    ASSERT_TRUE(writeFileWhole(scores, text, nullptr));
    testing::internal::CaptureStderr();
    long long bestBefore = -1;
    std::string why;
    EXPECT_TRUE(recordRun(scores, run(77), &bestBefore, &why)) << why;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << text << ": " << said;
    EXPECT_NE(said.find(scores), std::string::npos) << said;
    EXPECT_EQ(bestBefore, 0) << text;
    EXPECT_EQ(totals(loadScoreTable(scores)), std::vector<long long>{77}) << text;
    const std::vector<std::string> aside = filesMatching(scores + ".bad-*");
    ASSERT_EQ(aside.size(), 1u) << text;
    std::string kept;
    EXPECT_TRUE(readFileWhole(aside[0], &kept));
    EXPECT_EQ(kept, text) << "never deleted";
  }
}

// A read-only data folder, as a player other than root meets it (root
// writes anywhere, so the check runs as "nobody"): a bad table there is
// neither moved nor written over, and the run is reported as not kept.
TEST_F(Scores, InAReadOnlyFolderABadTableIsNeitherMovedNorWrittenOver) {
  ASSERT_TRUE(writeFileWhole(path, "nonsense {{", nullptr));
  const std::string folder = path.substr(0, path.rfind('/'));
  ASSERT_EQ(chmod(scratch.path.c_str(), 0755), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    long long bestBefore = 0;
    std::string why;
    freopen("/dev/null", "w", stderr);
    _exit(recordRun(path, run(10), &bestBefore, &why) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  chmod(folder.c_str(), 0755);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run was written over the bad table: " << status;
  std::string kept;
  EXPECT_TRUE(readFileWhole(path, &kept));
  EXPECT_EQ(kept, "nonsense {{");
  EXPECT_TRUE(filesMatching(path + ".bad-*").empty());
}

TEST_F(Scores, AnEmptyOrHandTidiedTableIsStillATable) {
  ASSERT_TRUE(writeFileWhole(path, "", nullptr));
  EXPECT_TRUE(loadScoreTable(path).empty());
  // Out of order, a date with its zone: read, and put in order.
  ASSERT_TRUE(writeFileWhole(path,
                             "[[run]]\ntotal = 5\nlevel = 1\ndate = 2026-01-01T10:00:00Z\n"
                             "[[run]]\nlevel = 2\ndate = 2026-01-02T10:00:00\ntotal = 50\n",
                             nullptr));
  EXPECT_EQ(totals(loadScoreTable(path)), (std::vector<long long>{50, 5}));
  EXPECT_TRUE(filesMatching(path + ".bad-*").empty());
}

// Copies of the game ending runs at the same moment take turns on the
// table: the ten best of all their runs are there.
TEST_F(Scores, CopiesRecordingAtOnceLoseNoRun) {
  constexpr int kCopies = 4, kRunsEach = 6;
  std::vector<pid_t> copies;
  for (int copy = 0; copy < kCopies; ++copy) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool ok = true;
      for (int i = 0; i < kRunsEach; ++i) {
        long long bestBefore = 0;
        std::string why;
        ok = recordRun(path, run(1000 + i * kCopies + copy), &bestBefore, &why) && ok;
      }
      _exit(ok ? 0 : 1);
    }
    copies.push_back(child);
  }
  for (pid_t child : copies) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<long long> best;
  for (int i = kCopies * kRunsEach - 1; i >= kCopies * kRunsEach - kBestRuns; --i) best.push_back(1000 + i);
  EXPECT_EQ(totals(loadScoreTable(path)), best);
}

// No home, or a home where nothing can be made: the game says so once
// whatever it then tries to keep, and plays on.
TEST(PlayerFolders, AHomeThatCannotBeUsedIsSaidOnce) {
  ScratchFolder scratch;
  ASSERT_TRUE(writeFileWhole(scratch.path + "/plain", "a file where the folders would go", nullptr));
  const std::string unusable = scratch.path + "/plain";
  ScopedEnv data("XDG_DATA_HOME"), config("XDG_CONFIG_HOME"), state("XDG_STATE_HOME"), home("HOME");
  for (const char* where : {static_cast<const char*>(nullptr), unusable.c_str()}) {
    data.set(where);
    config.set(where);
    state.set(where);
    home.set(where);
    testing::internal::CaptureStderr();
    cannotKeepPlayerFilesAgain();
    checkPlayerFolders();
    Settings settings = loadSettings();
    RunRecord record;
    recordRunOnce(record, 500, 2);
    EXPECT_FALSE(keepFullScreen(settings, true));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("cannot keep scores or settings"), std::string::npos) << said;
    EXPECT_EQ(record.best, 500) << "the run still shows";
  }
  cannotKeepPlayerFilesAgain();
}

namespace {

// Window areas of the game-over screen: its words at the top, the rows of
// numbers below them, the new-best mark at the bottom.
struct Area {
  int x, y, width, height;
};
constexpr Area kTitle = {0, 0, 800, 400};
constexpr Area kRunTotal = {0, 420, 800, 48};
constexpr Area kBestTotal = {0, 470, 800, 48};
constexpr Area kMark = {0, 535, 800, 45};

std::vector<unsigned char> shown(const Area& area) { return readRegion(area.x, area.y, area.width, area.height); }

}  // namespace

TEST(GameOverScreen, ShowsTheRunsTotalAndTheBestOverThePictureAndMarksANewBest) {
  Game& game = sharedGame();
  const std::string scores = scoresPath();
  ASSERT_NE(scores, "");
  const auto endRun = [&](long long total) {
    freshStage(game, 700000);
    game.run.tovan->runScore = total;
    game.run.tovan->lives = 0;
    game.run.stageOver = true;
    renderOnly(game);
  };
  ASSERT_TRUE(writeFileWhole(scores, scoreTableText({run(5000)}), nullptr));

  endRun(1234);
  EXPECT_EQ(game.record.total, 1234);
  EXPECT_EQ(game.record.best, 5000);
  EXPECT_FALSE(game.record.newBest);
  const std::vector<unsigned char> title = shown(kTitle), runRow = shown(kRunTotal), bestRow = shown(kBestTotal),
                                   noMark = shown(kMark);
  renderOnly(game);  // the screen stays: the run is kept once
  EXPECT_EQ(totals(loadScoreTable(scores)), (std::vector<long long>{5000, 1234}));

  endRun(9876);
  EXPECT_EQ(game.record.best, 9876);
  EXPECT_TRUE(game.record.newBest);
  EXPECT_EQ(shown(kTitle), title) << "the picture itself is unchanged";
  EXPECT_NE(shown(kRunTotal), runRow) << "the run's total is drawn";
  EXPECT_NE(shown(kBestTotal), bestRow) << "the best is drawn";
  EXPECT_NE(shown(kMark), noMark) << "a new best is marked";
  EXPECT_EQ(totals(loadScoreTable(scores)), (std::vector<long long>{9876, 5000, 1234}));

  endRun(9876);  // the same again is no new best
  EXPECT_FALSE(game.record.newBest);
  EXPECT_EQ(shown(kMark), noMark);
  freshStage(game, 700000);
}

// A run played back shows its own total as its record, whatever the table
// of whoever watches it holds, and joins no table.
TEST(GameOverScreen, AWatchedRunNeverShowsTheWatchersRecord) {
  ScratchFolder scratch;
  ScopedEnv data("XDG_DATA_HOME");
  data.set(scratch.path.c_str());
  ASSERT_TRUE(writeFileWhole(scoresPath(), scoreTableText({run(5000)}), nullptr));
  for (const long long total : {1234LL, 0LL, 9876LL}) {
    RunRecord record;
    recordRunOnce(record, total, 2, false);
    EXPECT_EQ(record.total, total);
    EXPECT_EQ(record.best, total) << "the watcher's 5000 is not the run's record";
    EXPECT_FALSE(record.newBest);
  }
  EXPECT_EQ(totals(loadScoreTable(scoresPath())), (std::vector<long long>{5000}));
}
