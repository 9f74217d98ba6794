#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "base/command_parse.h"

namespace {

// What a player asks --help for besides the options: the keys and where the
// game keeps his files (as the manual page says).
const char* const kKeysAndFiles = R"(Keys (the defaults; the settings file can give each action another key):
  Left, Right       walk
  Up                jump (while walking, a jump forward); in the menu, move the choice
  Down              crouch while held; in the menu, move the choice
  Z                 punch (hold to keep punching)
  X                 kick; in the air a flying kick, crouched a low kick
  Escape            pause menu, and close it (watching a replay: pause and resume)
  Return            take the menu's choice: CONTINUAR (continue) or SALIR (leave)
  F11, Alt+Return   full screen, and back to the window
  A gamepad works beside the keyboard: D-pad or left stick to walk, jump and
  crouch, south button punch (and take the menu's choice), west button kick,
  north button jump, Start the menu.

Files:
  $XDG_CONFIG_HOME/nombre/settings.toml   the settings, as you write them: the game never writes this file
                                          (by default ~/.config/nombre/settings.toml)
  $XDG_STATE_HOME/nombre/state.toml       what the game remembers by itself: full screen or not
                                          (by default ~/.local/state/nombre/state.toml)
  $XDG_DATA_HOME/nombre/scores            the ten best runs (by default ~/.local/share/nombre/scores)
  $XDG_DATA_HOME/nombre/last-run.nrep     the last complete run played without --record
                                          (by default ~/.local/share/nombre/last-run.nrep))";

}  // namespace

int parseCommandLine(int argc, char** argv, Options& options) {
  CLI::App app{"nombre: a side-scrolling martial-arts brawler", "nombre"};
  app.footer(kKeysAndFiles);
  auto* record = app.add_option("--record", options.record, "Record the run into FILE as it is played")
                     ->type_name("FILE");
  auto* replay = app.add_option("--replay", options.replay, "Play back the run recorded in FILE (Escape pauses)")
                     ->type_name("FILE");
  app.add_flag("--check", options.check,
               "With --replay: replay as fast as it goes without drawing; exit 0 if the run ends in the "
               "recorded state, 1 if not")
      ->needs(replay);
  record->excludes(replay);
  app.add_flag("--uncapped", options.uncapped, "Present frames as fast as the renderer can, not at the display's rate");
  app.add_flag("--scores", options.scores, "Print the table of the best runs and exit");
  app.add_flag("--config", options.config, "Print the settings file's path and the settings in force, and exit");
  const int parsed = parseCommandLineWith(app, argc, argv, "nombre", NOMBRE_VERSION);
  if (parsed >= 0) return parsed;
  // An unset variable in a script gives an empty name: the game must not
  // take it as no option at all (a new game where a check was asked for).
  for (const auto* option : {record, replay}) {
    if (option->count() > 0 && option->as<std::string>().empty()) {
      std::cerr << "nombre: " << option->get_name() << ": the file name is empty\n";
      return 2;
    }
  }
  return -1;
}
