#pragma once
// The game's diagnostic lines: one line on standard output, flushed at once
// so that a player or a test reading the console sees it as it happens.

#include <cstddef>
#include <cstdint>
#include <string>

void consoleLine(const char* line);

// What a line may show of a text it did not make (a word of a file, a file's
// name, an option's value), so that a terminal's escapes never reach the
// player's terminal: every control byte (below 0x20, DEL, 0x80 to 0x9f, and
// the UTF-8 of U+0080 to U+009F) and every byte that is not part of a whole
// UTF-8 character is shown as '?'.
std::string plainText(const std::string& text);

// The start of what a console line quotes from a file: at most `bytes`
// (plain, as above), "..." after a longer text, so that a word of megabytes
// stays short.
constexpr size_t kQuoteBytes = 40;
std::string shortQuote(const std::string& text, size_t bytes = kQuoteBytes);

// A file's name as every line that names one shows it. A name of at most
// kQuotePathBytes that is plain already (and holds no '"') is shown as it is.
// Any other is shown between double quotes, plain, a long one cut in the
// middle ("..." standing for what is left out), followed by '#' and the 16 hex
// digits of nameHash(path): two names never show alike, so a line names its
// own file, and a name that needed quoting never looks like one that did not.
constexpr size_t kQuotePathBytes = 256;
std::string quotedPath(const std::string& path);
// The FNV-1a 64-bit hash of the name's bytes.
std::uint64_t nameHash(const std::string& path);
