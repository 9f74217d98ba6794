#pragma once
// The loaders read files, so each fuzz input is written to one scratch file
// in memory-backed /dev/shm, named for the process so parallel jobs don't meet.
// It is removed when the run ends; scripts/fuzz.sh removes what a crash leaves.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace scratch {
inline char path[64] = "";
inline void removeFile() { std::remove(path); }
}  // namespace scratch

// Writes the input and returns the file's path, or an empty string on failure.
inline std::string writeScratchFile(const uint8_t* data, size_t size, const char* suffix) {
  if (scratch::path[0] == '\0') {
    std::snprintf(scratch::path, sizeof scratch::path, "/dev/shm/nombre-fuzz-%d%s", static_cast<int>(getpid()),
                  suffix);
    std::atexit(scratch::removeFile);
  }
  std::FILE* file = std::fopen(scratch::path, "wb");
  if (file == nullptr) return "";
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  return scratch::path;
}
