#pragma once
// The game's diagnostic lines: one line on standard output, flushed at once
// so that a player or a test reading the console sees it as it happens.

#include <cstddef>
#include <string>

void consoleLine(const char* line);

// The start of what a console line quotes from a file or a file's name: at
// most `bytes`, "..." after a longer text, control bytes shown as '?', so a
// word of megabytes or a terminal's escapes never reach the player's terminal.
constexpr size_t kQuoteBytes = 40;
// A file's name is quoted longer: a path to it is rarely shorter than a word.
constexpr size_t kQuotePathBytes = 256;
std::string shortQuote(const std::string& text, size_t bytes = kQuoteBytes);
inline std::string quotedPath(const std::string& path) { return shortQuote(path, kQuotePathBytes); }
