#pragma once
// The command lines of the game's programs, parsed the same way.

#include <CLI/CLI.hpp>

#include <string>

// Parses the command line with `app` for the program `name`, at `version`.
// Returns -1 when the program goes on; otherwise the exit code to end with:
// 0 after --help or --version (printed), 2 after a refused option (said on
// standard error, with the usage).
int parseCommandLineWith(CLI::App& app, int argc, char** argv, const std::string& name, const std::string& version);
