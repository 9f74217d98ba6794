#pragma once
// A fresh folder for a test's files, removed with everything in it at the
// end, an environment variable set for the length of a test, and the
// files whose paths match a pattern.

#include <glob.h>

#include <cstdlib>
#include <string>
#include <vector>

struct ScratchFolder {
  ScratchFolder() {
    char name[] = "/tmp/nombre-test-XXXXXX";
    path = mkdtemp(name) ? name : "";
  }
  ~ScratchFolder() {
    if (!path.empty()) std::system(("chmod -R u+w '" + path + "' 2>/dev/null; rm -rf '" + path + "'").c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string path;
};

class ScopedEnv {
 public:
  explicit ScopedEnv(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    had_ = value != nullptr;
    if (had_) old_ = value;
  }
  ~ScopedEnv() { set(had_ ? old_.c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  void set(const char* value) {
    if (value == nullptr)
      unsetenv(name_.c_str());
    else
      setenv(name_.c_str(), value, 1);
  }

 private:
  std::string name_;
  std::string old_;
  bool had_ = false;
};

inline std::vector<std::string> filesMatching(const std::string& pattern) {
  std::vector<std::string> found;
  glob_t matches{};
  if (glob(pattern.c_str(), 0, nullptr, &matches) == 0)
    for (size_t i = 0; i < matches.gl_pathc; ++i) found.push_back(matches.gl_pathv[i]);
  globfree(&matches);
  return found;
}
