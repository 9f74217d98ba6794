#pragma once
// The rows every part of the benchmark prints: name, figure, unit.

#include <cstdio>
#include <string>

inline void printRow(const std::string& name, double figure, const char* unit, int decimals = 1) {
  std::printf("%-68s %10.*f  %s\n", name.c_str(), decimals, figure, unit);
  std::fflush(stdout);
}
