// The test and benchmark programs, and the games they start, keep their
// scores and settings in a scratch home of their own, never in the home of
// whoever runs them: set before main, removed at exit.
#include <cstdlib>
#include <string>

namespace {

std::string scratchHome;

void removeScratchHome() { std::system(("rm -rf '" + scratchHome + "'").c_str()); }

const bool kScratchHomeSet = [] {
  char folder[] = "/tmp/nombre-test-home-XXXXXX";
  if (mkdtemp(folder) == nullptr) return false;
  scratchHome = folder;
  setenv("XDG_DATA_HOME", (scratchHome + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (scratchHome + "/config").c_str(), 1);
  setenv("XDG_STATE_HOME", (scratchHome + "/state").c_str(), 1);
  std::atexit(removeScratchHome);
  return true;
}();

}  // namespace
