#include "base/console.h"

#include <cstdio>

void consoleLine(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}
