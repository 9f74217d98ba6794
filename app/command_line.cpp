#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <iostream>

int parseCommandLine(int argc, char** argv, Options& options) {
  CLI::App app{"nombre: a side-scrolling martial-arts brawler", "nombre"};
  app.set_version_flag("--version", std::string("nombre ") + NOMBRE_VERSION);
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
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::CallForVersion&) {
    std::cout << "nombre " << NOMBRE_VERSION << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    std::cerr << "nombre: " << e.what() << "\n" << app.help();
    return 2;
  }
  return -1;
}
