#pragma once
// The loaders read files, so each fuzz input is written to one scratch file
// in memory-backed /dev/shm, named for the process so parallel jobs don't meet.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

// Writes the input and returns the file's path, or an empty string on failure.
inline std::string writeScratchFile(const uint8_t* data, size_t size, const char* suffix) {
  static const std::string stem = "/dev/shm/nombre-fuzz-" + std::to_string(getpid());
  const std::string path = stem + suffix;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "";
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}
