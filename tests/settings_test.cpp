// The settings file: what a player may write in it, what the game makes of
// each mistake (one line naming the file and the line, the default for that
// entry, the rest kept), and the keys the player chose reaching the rules.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <string>
#include <vector>

#include "base/console.h"
#include "base/user_files.h"
#include "player_files/settings.h"
#include "tests/scratch_folder.h"

namespace {

struct Read {
  Settings settings;
  std::vector<std::string> problems;
  bool unreadable = false;
};

Read readText(const std::string& text) {
  Read read;
  read.settings = readSettings(text, "s.toml", &read.problems, &read.unreadable);
  return read;
}

}  // namespace

TEST(SettingsFile, AGoodFileIsReadWhole) {
  const Read read = readText(
      "full_screen = true\nmusic_volume = 0\neffects_volume = 35\n"
      "[keys]\nleft = \"a\"\nright = \"d\"\nup = \"W\"\ndown = \"s\"\npunch = \"j\"\nkick = \"k\"\n"
      "pause = \"p\"\nchoose = \"space\"\n");
  EXPECT_EQ(read.problems, std::vector<std::string>{});
  EXPECT_TRUE(read.settings.fullScreen);
  EXPECT_EQ(read.settings.musicVolume, 0);
  EXPECT_EQ(read.settings.effectsVolume, 35);
  const int expected[kKeyActions] = {GLFW_KEY_A, GLFW_KEY_D, GLFW_KEY_W, GLFW_KEY_S,
                                     GLFW_KEY_J, GLFW_KEY_K, GLFW_KEY_P, GLFW_KEY_SPACE};
  for (int action = 0; action < kKeyActions; ++action)
    EXPECT_EQ(read.settings.keys[action], expected[action]) << kKeyActionNames[action];
}

// Each mistake costs only its own entry: its default is used, the entry
// kept beside it (music at 40) stays, and one line names the file and line.
TEST(SettingsFile, EachBadEntryFallsBackToItsDefaultAndIsReportedWithItsLine) {
  struct Case {
    const char* entry;
    const char* problemStart;  // file and line
    const char* problemWords;
  } cases[] = {
      {"effects_volume = 300", "s.toml:2: ", "0 to 100"},
      {"effects_volume = -1", "s.toml:2: ", "0 to 100"},
      {"effects_volume = 50.5", "s.toml:2: ", "whole number"},
      {"effects_volume = \"loud\"", "s.toml:2: ", "whole number"},
      {"full_screen = 1", "s.toml:2: ", "true or false"},
      {"colour = \"red\"", "s.toml:2: ", "no setting is called colour"},
      {"[keys]\nkick = \"Banana\"", "s.toml:3: ", "no key is called \"Banana\""},
      {"[keys]\nkick = 7", "s.toml:3: ", "in quotes"},
      {"[keys]\nkick = \"F11\"", "s.toml:3: ", "full screen"},
      {"[keys]\njump = \"a\"", "s.toml:3: ", "no action is called jump"},
      {"keys = \"wasd\"", "s.toml:2: ", "table of actions"},
      // Two actions on one key: the one moved from its default gives way.
      {"[keys]\npunch = \"x\"", "s.toml:3: ", "punch and kick are both on x; punch is on z"},
      {"[keys]\nkick = \"z\"", "s.toml:3: ", "kick and punch are both on z; kick is on x"},
      {"[keys]\nup = \"a\"\ndown = \"a\"", "s.toml:4: ", "down and up are both on a; down is on Down"},
  };
  for (const Case& c : cases) {
    const Read read = readText(std::string("music_volume = 40\n") + c.entry + "\n");
    ASSERT_EQ(read.problems.size(), 1u) << c.entry;
    EXPECT_EQ(read.problems[0].rfind(c.problemStart, 0), 0u) << read.problems[0];
    EXPECT_NE(read.problems[0].find(c.problemWords), std::string::npos) << read.problems[0];
    EXPECT_EQ(read.settings.musicVolume, 40) << c.entry;
    EXPECT_EQ(read.settings.effectsVolume, kMaxVolume) << c.entry;
    EXPECT_FALSE(read.settings.fullScreen) << c.entry;
    for (int action = 0; action < kKeyActions; ++action) {
      if (action == kUpKey && read.settings.keys[kUpKey] == GLFW_KEY_A) continue;  // the good one of the pair
      EXPECT_EQ(read.settings.keys[action], kDefaultKeys[action]) << c.entry << ": " << kKeyActionNames[action];
    }
  }
}

// A player mends a file from the top down: its problems come in the order of
// its lines, not in the order the game looks at the keys.
TEST(SettingsFile, ProblemsAreListedInTheOrderOfTheFilesLines) {
  const Read read = readText(
      "zoom = 2\nmusic_volume = 300\n[keys]\nkick = \"Banana\"\njump = \"a\"\n"
      "[extra]\nwhat = 1\n");
  std::vector<std::string> lines;
  for (const std::string& problem : read.problems) lines.push_back(problem.substr(0, problem.find(' ')));
  EXPECT_EQ(lines, (std::vector<std::string>{"s.toml:1:", "s.toml:2:", "s.toml:4:", "s.toml:5:", "s.toml:6:"}))
      << testing::PrintToString(read.problems);
}

TEST(SettingsFile, SwappedKeysAreNoClash) {
  const Read read = readText("[keys]\npunch = \"x\"\nkick = \"z\"\n");
  EXPECT_EQ(read.problems, std::vector<std::string>{});
  EXPECT_EQ(read.settings.keys[kPunchKey], GLFW_KEY_X);
  EXPECT_EQ(read.settings.keys[kKickKey], GLFW_KEY_Z);
}

TEST(SettingsFile, TextThatIsNotTomlGivesOneLineAndTheDefaults) {
  const Read read = readText("music_volume = 10\n[keys\nkick = \"a\"\n");
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0].rfind("s.toml:2: ", 0), 0u) << read.problems[0];
  EXPECT_TRUE(read.unreadable);
  EXPECT_EQ(read.settings.musicVolume, kMaxVolume);
  EXPECT_EQ(read.settings.keys[kKickKey], GLFW_KEY_X);
}

TEST(SettingsFile, WhatIsWrittenReadsBackTheSameWithEveryKeyName) {
  Settings chosen;
  chosen.fullScreen = true;
  chosen.musicVolume = 0;
  chosen.effectsVolume = 72;
  for (int key = 0; key <= GLFW_KEY_LAST; ++key) {
    if (keyName(key).empty() || key == GLFW_KEY_F11) continue;
    EXPECT_EQ(keyFromName(keyName(key)), key) << keyName(key);
    chosen.keys[kKickKey] = key;
    bool clash = false;
    for (int action = 0; action < kKickKey; ++action) clash = clash || chosen.keys[action] == key;
    if (clash || key == chosen.keys[kPauseKey] || key == chosen.keys[kChooseKey]) continue;
    const Read read = readText(settingsText(chosen));
    ASSERT_EQ(read.problems, std::vector<std::string>{}) << keyName(key);
    EXPECT_EQ(read.settings.keys[kKickKey], key) << keyName(key);
    EXPECT_TRUE(read.settings.fullScreen);
    EXPECT_EQ(read.settings.musicVolume, 0);
    EXPECT_EQ(read.settings.effectsVolume, 72);
  }
}

TEST(SettingsFile, TheChosenKeysReachTheRulesAsTheirActionsKeys) {
  Settings settings;
  settings.keys[kKickKey] = GLFW_KEY_A;
  EXPECT_EQ(gameKey(settings, GLFW_KEY_A), GLFW_KEY_X) << "the new kick key kicks";
  EXPECT_EQ(gameKey(settings, GLFW_KEY_X), GLFW_KEY_UNKNOWN) << "the old one no longer does";
  EXPECT_EQ(gameKey(settings, GLFW_KEY_Z), GLFW_KEY_Z);
  EXPECT_EQ(gameKey(settings, GLFW_KEY_Q), GLFW_KEY_Q);
}

// A broken file is the player's to mend: the game says where and never
// writes over it (full screen is remembered apart from it).
TEST(SettingsFile, AMissingFileIsTheDefaultsAndABrokenOneGivesOneLine) {
  ScratchFolder scratch;
  ScopedEnv config("XDG_CONFIG_HOME");
  config.set(scratch.path.c_str());
  testing::internal::CaptureStderr();
  Settings settings = loadSettings();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(settingsText(settings), settingsText(Settings()));

  const std::string broken = "music_volume = 10\n[keys\n";
  ASSERT_TRUE(writeFileWhole(settingsPath(), broken, nullptr));
  testing::internal::CaptureStderr();
  settings = loadSettings();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.rfind("nombre: " + settingsPath() + ":2: ", 0), 0u) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(settings.musicVolume, kMaxVolume);
}

// The file's name in each problem line is quoted as every line naming a file
// quotes it: a name with control characters never reaches the terminal raw.
TEST(SettingsFile, ProblemLinesQuoteTheFileName) {
  const std::string name = "/tmp/config\x1b[31m/nombre/settings.toml";
  for (const char* text : {"colour = 1\n", "= broken\n", "a = [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[1]]\n"}) {
    Read read;
    read.settings = readSettings(text, name, &read.problems, &read.unreadable);
    ASSERT_FALSE(read.problems.empty()) << text;
    for (const std::string& problem : read.problems) {
      EXPECT_EQ(problem.find('\x1b'), std::string::npos) << problem;
      EXPECT_EQ(problem.rfind(quotedPath(name) + ":", 0), 0u) << problem;
    }
  }
}
