#pragma once
// Helpers of the clip tests: a command's output and exit code, a folder's files.
#include <string>
#include <vector>

// Runs a shell command; its standard output goes to *output. The exit code,
// or -1 when it did not exit.
int runCommand(const std::string& command, std::string* output);
// The names in a folder, hidden ones too.
std::vector<std::string> filesIn(const std::string& folder);
