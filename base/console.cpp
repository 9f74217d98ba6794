#include "base/console.h"

#include <cstdio>

void consoleLine(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

std::string shortQuote(const std::string& text, size_t bytes) {
  std::string quoted = text.substr(0, bytes);
  for (char& byte : quoted) {
    if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7f) byte = '?';
  }
  return text.size() > bytes ? quoted + "..." : quoted;
}
