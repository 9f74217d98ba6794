#include "base/command_parse.h"

#include <iostream>

int parseCommandLineWith(CLI::App& app, int argc, char** argv, const std::string& name, const std::string& version) {
  app.set_version_flag("--version", name + " " + version);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::CallForVersion&) {
    std::cout << name << " " << version << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    std::cerr << name << ": " << e.what() << "\n" << app.help();
    return 2;
  }
  return -1;
}
