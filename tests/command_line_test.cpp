// The game's own help: its options, the keys and where it keeps the player's files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

TEST(CommandLine, HelpNamesTheOptionsTheKeysAndThePlayersFiles) {
  char name[] = "nombre", flag[] = "--help";
  char* argv[] = {name, flag};
  Options options;
  testing::internal::CaptureStdout();
  EXPECT_EQ(parseCommandLine(2, argv, options), 0);
  const std::string help = testing::internal::GetCapturedStdout();
  const char* const named[] = {
      // options
      "--record FILE", "--replay FILE", "--check", "--uncapped", "--scores", "--config", "--version",
      "--export CLIP", "--size WxH", "--mute", "--from T", "--to T", "--force",
      // keys, as they are named on the keyboard
      "Left, Right ", "\n  Up ", "\n  Down ", "\n  Z ", "\n  X ", "\n  Escape ", "\n  Return ", "F11, Alt+Return",
      "gamepad",
      // the player's files, with where they are when the variables are not set
      "$XDG_CONFIG_HOME/nombre/settings.toml", "~/.config/nombre/settings.toml", "$XDG_DATA_HOME/nombre/scores",
      "~/.local/share/nombre/scores", "$XDG_DATA_HOME/nombre/last-run.nrep", "$XDG_STATE_HOME/nombre/state.toml",
      "~/.local/state/nombre/state.toml"};
  for (const char* words : named) EXPECT_NE(help.find(words), std::string::npos) << words << "\n" << help;
}

// A script's unset variable gives an empty name: refused in one line, never
// taken as no option (a new game that never ends where a check was asked for).
TEST(CommandLine, AnEmptyFileNameIsRefusedInOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"--replay", "", "--check"}, {"--replay", ""}, {"--record", ""}};
  for (const std::vector<std::string>& words : cases) {
    std::vector<std::string> text = {"nombre"};
    text.insert(text.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : text) argv.push_back(word.data());
    Options options;
    testing::internal::CaptureStderr();
    const int code = parseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2) << words[0];
    EXPECT_EQ(said, "nombre: " + words[0] + ": the file name is empty\n") << words[0];
  }
}

// The export's options: what is taken, and what is refused with exit 2.
TEST(CommandLine, ExportTakesASizeAndAPartOfTheRun) {
  struct Case {
    std::vector<std::string> words;
    int code;  // -1: the game goes on
    int width, height;
  };
  const std::vector<Case> cases = {
      {{"--replay", "r.nrep", "--export", "c.webm"}, -1, 800, 600},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "1280x720"}, -1, 1280, 720},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "4096x2"}, -1, 4096, 2},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "800x"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "0x600"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "4097x600"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "-800x600"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--size", "800X600"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--from", "2", "--to", "2"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--from", "-1"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", ""}, 2, 0, 0},
      {{"--replay", "r.nrep", "--export", "c.webm", "--check"}, 2, 0, 0},
      {{"--export", "c.webm"}, 2, 0, 0},
      {{"--replay", "r.nrep", "--mute"}, 2, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> text = {"nombre"};
    text.insert(text.end(), c.words.begin(), c.words.end());
    std::vector<char*> argv;
    for (std::string& word : text) argv.push_back(word.data());
    Options options;
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const int code = parseCommandLine(static_cast<int>(argv.size()), argv.data(), options);
    testing::internal::GetCapturedStdout();
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string line = text.back();
    EXPECT_EQ(code, c.code) << line << "\n" << said;
    if (c.code < 0) {
      EXPECT_EQ(options.exportWidth, c.width) << line;
      EXPECT_EQ(options.exportHeight, c.height) << line;
    } else {
      EXPECT_FALSE(said.empty()) << line;
    }
    if (line == "--check") {
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line, not the usage:\n" << said;
    }
  }
}

}  // namespace
