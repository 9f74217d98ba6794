#include "base/command_parse.h"

#include <iostream>

#include "base/console.h"

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
    // CLI11's line echoes what was given: shown plain, as every line that quotes input.
    std::cerr << name << ": " << plainText(e.what()) << "\n" << app.help();
    return 2;
  }
  return -1;
}
