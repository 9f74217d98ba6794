// The page reads a link to a run in its own script (the browser inflates it)
// and hands the game the run file: the game itself reads files only.
#include "app/run_link.h"

bool readRunOrLink(const std::string& fileOrLink, RunFile& run, std::string& why, bool (*stopAsked)()) {
  return readRunFile(fileOrLink, run, why, stopAsked);
}
