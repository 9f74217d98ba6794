#pragma once
// The checks a settings or scores file passes before the TOML parser sees
// it. The parser follows nested tables, arrays and dotted keys by recursion,
// so a file of one key 40,000 levels deep would overflow the stack: such a
// file is refused with its line before it is parsed.

#include <string>

// The most either file may hold. Settings take well under 1 KB, a table of
// the ten best runs about 700 bytes; 64 KB leaves room for all the comments
// a player may write, and anything larger is not a file the game wrote.
constexpr long long kMostPlayerFileBytes = 64 * 1024;
// How deep tables, arrays and dotted keys may nest: the game's own files
// nest two levels ([keys] and its entries, [[run]] and its fields).
constexpr int kMostNesting = 32;

// The parser's own words on a file, which may quote a name from it: as long
// as they need to be, and no longer.
constexpr size_t kParserWordsBytes = 160;

// The line of `text` where nesting first passes kMostNesting; 0 when it never does.
int lineNestedTooDeep(const std::string& text);
// The line that says so, after "file:line: ".
std::string nestedTooDeep();
