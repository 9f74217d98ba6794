// The player's folders and the whole-or-nothing write under the score table
// and the settings: a write that fails or a copy of the game that dies in the
// middle of one leaves the old file as it was.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/user_files.h"
#include "tests/scratch_folder.h"

namespace {

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.' || entry->d_name[1] > '.') names.push_back(entry->d_name);
    closedir(dir);
  }
  return names;
}

// Lets no file grow past `bytes` while it lives: a write beyond is refused
// as on a full disk (the signal that would end the process is ignored).
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old);
    oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
  }
  rlimit old{};
  sighandler_t oldHandler;
};

std::string contentsOf(const std::string& path) {
  std::string text;
  return readFileWhole(path, &text) ? text : "(none)";
}

}  // namespace

TEST(UserFolders, FollowTheXdgRulesThenHome) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* data;
    const char* config;
    const char* why;  // when there is no folder
  } cases[] = {
      {"/x", "/h", "/x/nombre", "/x/nombre", ""},
      {nullptr, "/h", "/h/.local/share/nombre", "/h/.config/nombre", ""},
      {"", "/h", "/h/.local/share/nombre", "/h/.config/nombre", ""},
      {"relative/x", "/h", "/h/.local/share/nombre", "/h/.config/nombre", ""},  // the rules ignore a relative one
      {"/x", nullptr, "/x/nombre", "/x/nombre", ""},
      {nullptr, nullptr, "", "", "neither XDG_DATA_HOME nor HOME is set"},
      {"relative/x", nullptr, "", "", "XDG_DATA_HOME is relative and HOME is not set"},
  };
  ScopedEnv data("XDG_DATA_HOME"), config("XDG_CONFIG_HOME"), home("HOME");
  for (const Case& c : cases) {
    data.set(c.xdg);
    config.set(c.xdg);
    home.set(c.home);
    EXPECT_EQ(userDataFolder(), c.data) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
    EXPECT_EQ(userConfigFolder(), c.config) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
    EXPECT_EQ(whyNoUserFolder("XDG_DATA_HOME"), c.why) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
  }
}

TEST(WriteFileWhole, MakesTheFoldersAndReplacesTheOldFile) {
  ScratchFolder scratch;
  const std::string path = scratch.path + "/deep/er/scores";
  std::string why;
  ASSERT_TRUE(writeFileWhole(path, "first", &why)) << why;
  ASSERT_TRUE(writeFileWhole(path, "second, longer", &why)) << why;
  EXPECT_EQ(contentsOf(path), "second, longer");
  EXPECT_EQ(filesIn(scratch.path + "/deep/er"), std::vector<std::string>{"scores"});
}

TEST(WriteFileWhole, AWriteRefusedHalfwayLeavesTheOldFileAndNoTemporary) {
  ScratchFolder scratch;
  const std::string path = scratch.path + "/scores";
  ASSERT_TRUE(writeFileWhole(path, "old table", nullptr));
  std::string why;
  {
    FileSizeLimit disk(4096);
    EXPECT_FALSE(writeFileWhole(path, std::string(100000, 'n'), &why));
  }
  EXPECT_NE(why, "");
  EXPECT_EQ(contentsOf(path), "old table");
  EXPECT_EQ(filesIn(scratch.path), std::vector<std::string>{"scores"});
}

// The player's own arrangements stay: a file reached through symlinks (a
// table kept with their dotfiles, a link made relative) is written where it
// is, the links stay links, and a file made private stays private.
TEST(WriteFileWhole, WritesThroughSymlinksToTheirFileAndKeepsItsPermissions) {
  ScratchFolder scratch;
  ASSERT_EQ(mkdir((scratch.path + "/dotfiles").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((scratch.path + "/game").c_str(), 0755), 0);
  const std::string real = scratch.path + "/dotfiles/scores";
  const std::string viaTwo = scratch.path + "/game/scores";
  ASSERT_TRUE(writeFileWhole(real, "old", nullptr));
  ASSERT_EQ(chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(symlink("../dotfiles/scores", (scratch.path + "/game/link").c_str()), 0);
  ASSERT_EQ(symlink((scratch.path + "/game/link").c_str(), viaTwo.c_str()), 0);
  std::string why;
  ASSERT_TRUE(writeFileWhole(viaTwo, "new", &why)) << why;
  EXPECT_EQ(contentsOf(real), "new");
  struct stat status {};
  ASSERT_EQ(lstat(viaTwo.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode)) << "the link was replaced by a file";
  ASSERT_EQ(stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  EXPECT_EQ(filesIn(scratch.path + "/dotfiles"), std::vector<std::string>{"scores"});
}

TEST(WriteFileWhole, FailsWithAReasonWhereNoFolderCanBeMade) {
  ScratchFolder scratch;
  ASSERT_TRUE(writeFileWhole(scratch.path + "/plain", "a file, not a folder", nullptr));
  std::string why;
  EXPECT_FALSE(writeFileWhole(scratch.path + "/plain/scores", "x", &why));
  EXPECT_NE(why, "");
  EXPECT_FALSE(writeFileWhole(scratch.path + "/", "x", &why));
}

// A copy of the game killed in the middle of a write: the old file stays
// whole, and its leftover temporary goes with the next write.
TEST(WriteFileWhole, ACopyKilledMidWriteLeavesTheOldFileAndItsTemporaryIsCleanedUp) {
  ScratchFolder scratch;
  const std::string path = scratch.path + "/settings.toml";
  ASSERT_TRUE(writeFileWhole(path, "old = 1\n", nullptr));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The file size limit kills the process with SIGXFSZ part way through.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_DFL);
    writeFileWhole(path, std::string(100000, 'n'), nullptr);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;

  EXPECT_EQ(contentsOf(path), "old = 1\n");
  ASSERT_EQ(filesIn(scratch.path).size(), 2u) << "the dead copy's temporary is there";

  ASSERT_TRUE(writeFileWhole(path, "new = 2\n", nullptr));
  EXPECT_EQ(contentsOf(path), "new = 2\n");
  EXPECT_EQ(filesIn(scratch.path), std::vector<std::string>{"settings.toml"});
}

TEST(WriteFileWhole, LeavesAnotherRunningCopysTemporaryAlone) {
  ScratchFolder scratch;
  const std::string path = scratch.path + "/scores";
  // Our own parent is alive, so its temporary belongs to a write under way.
  const std::string busy = scratch.path + "/.scores.tmp-" + std::to_string(getppid()) + "-1";
  ASSERT_TRUE(writeFileWhole(busy, "half", nullptr));
  ASSERT_TRUE(writeFileWhole(path, "table", nullptr));
  EXPECT_EQ(contentsOf(busy), "half");
}
