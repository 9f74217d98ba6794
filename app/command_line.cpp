#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <iostream>

int parseCommandLine(int argc, char** argv, Options& options) {
  CLI::App app{"nombre: a side-scrolling martial-arts brawler", "nombre"};
  app.set_version_flag("--version", std::string("nombre ") + NOMBRE_VERSION);
  app.add_flag("--scores", options.scores, "Print the table of the best runs and exit");
  app.add_flag("--config", options.config, "Print the settings file's path and the settings in force, and exit");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    options.play = false;
    return 0;
  } catch (const CLI::CallForVersion&) {
    std::cout << "nombre " << NOMBRE_VERSION << "\n";
    options.play = false;
    return 0;
  } catch (const CLI::ParseError& e) {
    std::cerr << "nombre: " << e.what() << "\n" << app.help();
    options.play = false;
    return 2;
  }
  return -1;
}
