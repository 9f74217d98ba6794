// The player's scores and settings files against what a hostile or careless
// hand leaves there: files nested deep enough to overflow the parser, files
// too large, files the player cannot read, a table held by another program,
// a settings file the game must never rewrite, and the print-only options.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/user_files.h"
#include "player_files/player_files.h"
#include "player_files/player_toml.h"
#include "player_files/scores.h"
#include "player_files/settings.h"
#include "tests/gl_fixture.h"
#include "tests/scratch_folder.h"

namespace {

int linesIn(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

std::string repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string contentsOf(const std::string& path) {
  std::string text;
  return readFileWhole(path, &text) ? text : "(none)";
}

std::vector<long long> totals(const std::vector<ScoreEntry>& table) {
  std::vector<long long> found;
  for (const ScoreEntry& entry : table) found.push_back(entry.total);
  return found;
}

ScoreEntry run(long long total) { return ScoreEntry{total, 2, "2026-03-04 05:06:07"}; }

// Files that would take the parser down (the stack, at 40,000 levels) or
// that no player writes, each refused on the line it goes wrong.
struct Hostile {
  const char* name;
  std::string text;
  int line;  // the line named; 0 for a file refused by its size
};

std::vector<Hostile> hostileFiles() {
  // As deep as fits under the size cap; the parser's stack gives out at
  // 40,000 levels here, and far sooner under the sanitizers.
  constexpr int kDeep = 30000;
  return {
      {"the 80 KB key 40,000 levels deep", "a" + repeated(".a", 40000) + " = 1\n", 0},
      {"a dotted key", "a" + repeated(".a", kDeep) + " = 1\n", 1},
      {"a table header", "# mine\n[a" + repeated(".a", kDeep) + "]\n", 2},
      {"a header of a list of tables", "[[a" + repeated(".a", kDeep) + "]]\n", 1},
      {"nested arrays", "x = 1\ny = 2\na = " + repeated("[", kDeep) + repeated("]", kDeep) + "\n", 3},
      {"nested inline tables", "a = " + repeated("{b=", kDeep / 3) + "1" + repeated("}", kDeep / 3) + "\n", 1},
      {"a header and a dotted key", "[" + repeated("a.", 20) + "a]\n" + repeated("b.", 20) + "b = 1\n", 2},
      {"too large", "# " + std::string(kMostPlayerFileBytes, 'x') + "\n", 0},
  };
}

// Runs `body` in a child process as the ordinary user "nobody", in which
// mode 000 means unreadable (root reads anything). Returns the child's exit
// code, or -1 where privileges cannot be dropped.
int asOrdinaryUser(const std::string& folder, const std::function<int()>& body) {
  constexpr uid_t kNobody = 65534;
  if (geteuid() == 0) {
    if (std::system(("chown -R 65534:65534 '" + folder + "'").c_str()) != 0) return -1;
  }
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(100);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 100) return -1;
  return WEXITSTATUS(status);
}

}  // namespace

TEST(NestingCheck, TheGamesOwnFilesPassAndOnlyTheDeepOnesAreStopped) {
  Settings chosen;
  EXPECT_EQ(lineNestedTooDeep(settingsText(chosen)), 0);
  EXPECT_EQ(lineNestedTooDeep(scoreTableText({run(5), run(7)})), 0);
  // Dots in values, strings and comments are no nesting.
  EXPECT_EQ(lineNestedTooDeep("x = [" + repeated("1.5, ", 100) + "]\ns = \"" + repeated(".", 100) + "\"  # " +
                              repeated("a.", 100) + "\nt = '''\n" + repeated("[", 100) + "'''\n"),
            0);
  for (const Hostile& file : hostileFiles()) {
    if (file.line != 0) {
      EXPECT_EQ(lineNestedTooDeep(file.text), file.line) << file.name;
    }
  }
}

TEST(HostileFiles, ASettingsFileNestedTooDeepOrTooLargeGivesOneLineAndTheDefaults) {
  ScratchFolder scratch;
  ScopedEnv config("XDG_CONFIG_HOME"), state("XDG_STATE_HOME");
  config.set(scratch.path.c_str());
  state.set((scratch.path + "/state").c_str());
  for (const Hostile& file : hostileFiles()) {
    ASSERT_TRUE(writeFileWhole(settingsPath(), "music_volume = 10\n" + file.text, nullptr));
    testing::internal::CaptureStderr();
    Settings settings = loadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string start =
        "nombre: " + settingsPath() + (file.line != 0 ? ":" + std::to_string(file.line + 1) + ": " : " ");
    EXPECT_EQ(said.rfind(start, 0), 0u) << file.name << ": " << said.substr(0, 200);
    EXPECT_NE(said.find(file.line != 0 ? nestedTooDeep() : "larger than"), std::string::npos) << said.substr(0, 200);
    EXPECT_EQ(linesIn(said), 1) << file.name;
    EXPECT_EQ(settings.musicVolume, kMaxVolume) << file.name << ": the defaults";
  }
}

TEST(HostileFiles, AScoresFileNestedTooDeepOrTooLargeIsKeptAsideAndANewTableStarts) {
  for (const Hostile& file : hostileFiles()) {
    ScratchFolder scratch;
    const std::string scores = scratch.path + "/scores";
    ASSERT_TRUE(writeFileWhole(scores, file.text, nullptr));
    testing::internal::CaptureStderr();
    long long bestBefore = -1;
    std::string why;
    EXPECT_TRUE(recordRun(scores, run(77), &bestBefore, &why)) << why;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(linesIn(said), 1) << file.name << ": " << said.substr(0, 200);
    if (file.line != 0) {
      EXPECT_NE(said.find("(line " + std::to_string(file.line) + ": " + nestedTooDeep()), std::string::npos) << said;
    }
    EXPECT_EQ(loadScoreTable(scores).size(), 1u) << file.name;
    const std::vector<std::string> aside = filesMatching(scores + ".bad-*");
    ASSERT_EQ(aside.size(), 1u) << file.name;
    EXPECT_EQ(contentsOf(aside[0]), file.text) << "never deleted";
  }
}

// What a line quotes from a file is short, and a file with a fault on every
// line says the first ten and how many more.
TEST(HostileFiles, ProblemLinesQuoteAShortPrefixAndAreCappedPerFile) {
  ScratchFolder scratch;
  ScopedEnv config("XDG_CONFIG_HOME"), state("XDG_STATE_HOME");
  config.set(scratch.path.c_str());
  state.set((scratch.path + "/state").c_str());
  const std::string longName(30000, 'k');
  const std::string texts[] = {
      longName + " = 1\n",
      "[keys]\n" + longName + " = \"z\"\n",
      "[keys]\npunch = \"" + longName + "\"\n",
      "[" + longName + "]\n[" + longName + "]\n",  // the parser names the table defined twice
  };
  for (const std::string& text : texts) {
    ASSERT_TRUE(writeFileWhole(settingsPath(), text, nullptr));
    testing::internal::CaptureStderr();
    loadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(linesIn(said), 1) << said.substr(0, 200);
    EXPECT_LT(said.size(), 300u) << said.substr(0, 200);
  }
  std::string manyWrong;
  for (int i = 0; i < 500; ++i) manyWrong += "wrong" + std::to_string(i) + " = 1\n";
  ASSERT_TRUE(writeFileWhole(settingsPath(), manyWrong, nullptr));
  testing::internal::CaptureStderr();
  loadSettings();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(linesIn(said), 11) << said;
  EXPECT_NE(said.find(": 490 more problems not shown\n"), std::string::npos) << said;
  std::vector<ScoreEntry> table;
  std::string why;
  EXPECT_FALSE(readScoreTable(longName + " = 1\n", &table, &why));
  EXPECT_LT(why.size(), 100u);
}

// A table the player cannot read (mode 000) still holds their runs: the
// game never writes over it. A run that ends is kept in a file of its own
// beside it, with one line saying where, and --scores says it cannot read
// the table rather than "none yet".
TEST(UnreadableFiles, AScoresTableThatCannotBeReadIsNeverWrittenOver) {
  ScratchFolder scratch;
  const std::string folder = scratch.path + "/nombre";
  const std::string scores = folder + "/scores";
  const std::string ten = scoreTableText({run(900), run(800), run(700)});
  ASSERT_TRUE(writeFileWhole(scores, ten, nullptr));
  ASSERT_EQ(chmod(scores.c_str(), 0), 0);
  ScopedEnv data("XDG_DATA_HOME");
  data.set(scratch.path.c_str());
  const int code = asOrdinaryUser(scratch.path, [&] {
    std::string text;
    if (readFileWhole(scores, &text)) return 10;  // not an ordinary user after all
    testing::internal::CaptureStderr();
    long long bestBefore = 0;
    std::string why;
    const bool kept = recordRun(scores, run(50), &bestBefore, &why);
    const std::string said = testing::internal::GetCapturedStderr();
    if (!kept) return 11;
    if (linesIn(said) != 1 || said.find("cannot be read (Permission denied)") == std::string::npos) return 12;
    const std::vector<std::string> aside = filesMatching(scores + ".run-*");
    if (aside.size() != 1 || said.find(aside[0]) == std::string::npos) return 13;
    if (totals(loadScoreTable(aside[0])) != std::vector<long long>{50}) return 14;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int printed = printScores();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    if (printed != 1 || out.find("none yet") != std::string::npos || err.find("cannot be read") == std::string::npos)
      return 15;
    return 0;
  });
  if (code < 0) GTEST_SKIP() << "cannot act as an ordinary user here: mode 000 proves nothing to root";
  EXPECT_EQ(code, 0) << "10: root reads it; 11: run not kept; 12: no one line; 13: no file beside; 14: not the run; "
                        "15: --scores";
  chmod(scores.c_str(), 0644);
  EXPECT_EQ(contentsOf(scores), ten) << "the player's table was written over";
}

TEST(UnreadableFiles, ASettingsFileThatCannotBeReadIsSaidAndNeverWrittenOver) {
  ScratchFolder scratch;
  ScopedEnv config("XDG_CONFIG_HOME"), state("XDG_STATE_HOME");
  config.set(scratch.path.c_str());
  state.set((scratch.path + "/state").c_str());
  const std::string mine = "# mine\nmusic_volume = 10\n";
  ASSERT_TRUE(writeFileWhole(settingsPath(), mine, nullptr));
  ASSERT_EQ(chmod(settingsPath().c_str(), 0), 0);
  const int code = asOrdinaryUser(scratch.path, [&] {
    testing::internal::CaptureStderr();
    Settings settings = loadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    if (said != "nombre: " + settingsPath() + " cannot be read (Permission denied); using the default settings\n")
      return 10;
    if (!keepFullScreen(settings, true)) return 11;  // as F11 does
    return 0;
  });
  if (code < 0) GTEST_SKIP() << "cannot act as an ordinary user here: mode 000 proves nothing to root";
  EXPECT_EQ(code, 0) << "10: not one line naming the file and the reason; 11: full screen not remembered";
  chmod(settingsPath().c_str(), 0644);
  EXPECT_EQ(contentsOf(settingsPath()), mine);
}

// Another program holding the table's lock: the game waits a moment, no
// more, and keeps the run beside the table, saying so.
TEST(BusyTable, ARunEndingWhileAnotherHoldsTheTableIsKeptBesideIt) {
  ScratchFolder scratch;
  const std::string scores = scratch.path + "/scores";
  ASSERT_TRUE(writeFileWhole(scores, scoreTableText({run(900)}), nullptr));
  const int holder = open((scratch.path + "/scores.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  testing::internal::CaptureStderr();
  long long bestBefore = 0;
  std::string why;
  EXPECT_TRUE(recordRun(scores, run(50), &bestBefore, &why)) << why;
  const std::string said = testing::internal::GetCapturedStderr();
  close(holder);
  EXPECT_EQ(linesIn(said), 1) << said;
  EXPECT_NE(said.find("held by another program"), std::string::npos) << said;
  const std::vector<std::string> aside = filesMatching(scores + ".run-*");
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(totals(loadScoreTable(aside[0])), std::vector<long long>{50});
  EXPECT_EQ(totals(loadScoreTable(scores)), std::vector<long long>{900}) << "the table waits for its holder";
}

// What the game remembers by itself (full screen) goes to its state file:
// the settings file stays as the player wrote it, comments, a misspelt key
// and all. The newer of the two says whether the game starts full screen.
TEST(SettingsFile, FullScreenIsRememberedApartAndTheSettingsFileIsNeverRewritten) {
  ScratchFolder scratch;
  ScopedEnv config("XDG_CONFIG_HOME"), state("XDG_STATE_HOME");
  config.set((scratch.path + "/config").c_str());
  state.set((scratch.path + "/state").c_str());
  const std::string mine = "# my own words\nmusik_volume = 3\nfull_screen = false\n";
  ASSERT_TRUE(writeFileWhole(settingsPath(), mine, nullptr));
  const auto age = [](const std::string& path, long seconds) {
    const timeval when[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimes(path.c_str(), when), 0);
  };
  testing::internal::CaptureStderr();
  Settings settings;
  ASSERT_TRUE(keepFullScreen(settings, true));  // F11
  age(settingsPath(), 1000);
  age(statePath(), 2000);
  settings = loadSettings();
  EXPECT_TRUE(settings.fullScreen) << "F11 after the file was written";
  age(settingsPath(), 3000);
  settings = loadSettings();
  EXPECT_FALSE(settings.fullScreen) << "the file edited after F11";
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(contentsOf(settingsPath()), mine);
}

// The print-only options read and nothing else: a broken table stays where
// it is, and both asked for at once print both.
TEST(PrintOnlyOptions, ScoresOnlyReadsAndScoresWithConfigPrintsBoth) {
  ScratchFolder scratch;
  const std::string env = "XDG_DATA_HOME='" + scratch.path + "/data' XDG_CONFIG_HOME='" + scratch.path +
                          "/config' XDG_STATE_HOME='" + scratch.path + "/state' ";
  const std::string scores = scratch.path + "/data/nombre/scores";
  ASSERT_TRUE(writeFileWhole(scores, "nonsense {{", nullptr));
  std::string out;
  EXPECT_EQ(runCommand(env + NOMBRE_BINARY + " --scores 2>&1", out), 1) << out;
  EXPECT_NE(out.find(scores + " is not a score table"), std::string::npos) << out;
  EXPECT_EQ(contentsOf(scores), "nonsense {{");
  EXPECT_TRUE(filesMatching(scores + ".bad-*").empty()) << "a print-only option moved the table";

  ASSERT_TRUE(writeFileWhole(scores, scoreTableText({run(4321)}), nullptr));
  EXPECT_EQ(runCommand(env + NOMBRE_BINARY + " --scores --config 2>&1", out), 0) << out;
  EXPECT_NE(out.find("4321"), std::string::npos) << out;
  EXPECT_NE(out.find("music_volume = 100"), std::string::npos) << out;
}
