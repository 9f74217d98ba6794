// The game's own help: its options, the keys and where it keeps the player's files.
#include <gtest/gtest.h>

#include <string>

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
      // keys, as they are named on the keyboard
      "Left, Right ", "\n  Up ", "\n  Down ", "\n  Z ", "\n  X ", "\n  Escape ", "\n  Return ", "F11, Alt+Return",
      "gamepad",
      // the player's files, with where they are when the variables are not set
      "$XDG_CONFIG_HOME/nombre/settings.toml", "~/.config/nombre/settings.toml", "$XDG_DATA_HOME/nombre/scores",
      "~/.local/share/nombre/scores", "$XDG_DATA_HOME/nombre/last-run.nrep", "$XDG_STATE_HOME/nombre/state.toml",
      "~/.local/state/nombre/state.toml"};
  for (const char* words : named) EXPECT_NE(help.find(words), std::string::npos) << words << "\n" << help;
}

}  // namespace
