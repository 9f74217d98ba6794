#include "player_files/player_toml.h"

#include <vector>

namespace {

// Skips a string starting at text[at] (a quote): returns the index after it,
// counting the lines it spans into *line.
size_t skipString(const std::string& text, size_t at, int* line) {
  const char quote = text[at];
  const bool multiLine = text.compare(at, 3, std::string(3, quote)) == 0;
  const std::string end = multiLine ? std::string(3, quote) : std::string(1, quote);
  size_t i = at + end.size();
  while (i < text.size()) {
    if (text[i] == '\n') {
      if (!multiLine) return i;  // an unclosed string: the parser says so
      ++*line;
    }
    if (quote == '"' && text[i] == '\\') {
      i += 2;
      continue;
    }
    if (text.compare(i, end.size(), end) == 0) return i + end.size();
    ++i;
  }
  return i;
}

}  // namespace

int lineNestedTooDeep(const std::string& text) {
  int line = 1;
  bool inKey = true;       // reading a key (or a [table] header), not a value
  bool inHeader = false;
  int headerDepth = 0;     // the depth of the table the last header opened
  int depth = 0;           // the depth at this point of the text
  bool lineStart = true;
  std::vector<char> opened;       // the arrays and inline tables open here
  std::vector<int> depthOutside;  // the depth outside each of them
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      i = skipString(text, i, &line);
      lineStart = false;
      continue;
    }
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == '\n') {
      ++line;
      if (opened.empty()) {
        if (inHeader) headerDepth = depth;
        inHeader = false;
        inKey = true;
        depth = headerDepth;
        lineStart = true;
      }
      ++i;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (lineStart && opened.empty() && c == '[') {
      inHeader = true;
      depth = 1;
      i += text.compare(i, 2, "[[") == 0 ? 2 : 1;
      lineStart = false;
      continue;
    }
    lineStart = false;
    if (inKey) {
      if (c == '.') ++depth;
      if (c == '=') inKey = false;
      if (c == ']' && inHeader) {
        headerDepth = depth;
        inHeader = false;
      }
      if (c == '}' && !opened.empty()) {
        depth = depthOutside.back();
        opened.pop_back();
        depthOutside.pop_back();
        inKey = false;
      }
    } else if (c == '[' || c == '{') {
      opened.push_back(c);
      depthOutside.push_back(depth);
      ++depth;
      inKey = c == '{';
    } else if ((c == ']' || c == '}') && !opened.empty()) {
      depth = depthOutside.back();
      opened.pop_back();
      depthOutside.pop_back();
    } else if (c == ',' && !opened.empty()) {
      depth = depthOutside.back() + 1;
      inKey = opened.back() == '{';
    }
    if (depth > kMostNesting) return line;
    ++i;
  }
  return 0;
}

std::string nestedTooDeep() {
  return "tables, arrays or dotted keys nest deeper than " + std::to_string(kMostNesting) + " levels";
}
