#include "base/console.h"

#include <cinttypes>
#include <cstdio>

#include "base/fnv.h"

void consoleLine(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

namespace {

// The length of the whole UTF-8 character at text[at] that a terminal shows
// as itself, or 0 for a control byte or a byte that starts no such character.
size_t printableCharacter(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(at);
  if (first < 0x20 || first == 0x7f) return 0;
  if (first < 0x80) return 1;
  size_t length = 0;
  std::uint32_t code = 0;
  if (first >= 0xc2 && first <= 0xdf) {
    length = 2;
    code = first & 0x1fu;
  } else if (first >= 0xe0 && first <= 0xef) {
    length = 3;
    code = first & 0x0fu;
  } else if (first >= 0xf0 && first <= 0xf4) {
    length = 4;
    code = first & 0x07u;
  } else {
    return 0;  // a continuation byte alone, an overlong start, or past U+10FFFF
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xc0u) != 0x80u) return 0;
    code = (code << 6) | (byte(at + i) & 0x3fu);
  }
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < least[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
  if (code >= 0x80 && code <= 0x9f) return 0;  // the C1 controls
  return length;
}

// The plain form of text[from, to): whole characters only (a character cut
// at `to` is shown as '?'s).
std::string plainPart(const std::string& text, size_t from, size_t to) {
  std::string plain;
  plain.reserve(to - from);
  for (size_t at = from; at < to;) {
    const size_t length = printableCharacter(text, at);
    if (length == 0 || at + length > to) {
      plain += '?';
      ++at;
    } else {
      plain.append(text, at, length);
      at += length;
    }
  }
  return plain;
}

bool isPlain(const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = printableCharacter(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace

std::string plainText(const std::string& text) { return plainPart(text, 0, text.size()); }

std::string shortQuote(const std::string& text, size_t bytes) {
  if (text.size() <= bytes) return plainText(text);
  return plainPart(text, 0, bytes) + "...";
}

std::uint64_t nameHash(const std::string& path) { return fnv1a(kFnvStart, path.data(), path.size()); }

std::string quotedPath(const std::string& path) {
  if (path.size() <= kQuotePathBytes && path.find('"') == std::string::npos && isPlain(path)) return path;
  const size_t half = kQuotePathBytes / 2;
  const std::string shown = path.size() <= kQuotePathBytes
                                ? plainText(path)
                                : plainPart(path, 0, half) + "..." + plainPart(path, path.size() - half, path.size());
  char hash[20];
  std::snprintf(hash, sizeof hash, "#%016" PRIx64, nameHash(path));
  return "\"" + shown + "\"" + hash;
}
