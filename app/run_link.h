#pragma once
// A run as a link: the page's address followed by "#run=" and the run file's
// bytes deflated (raw deflate, no zlib header) and written in base64url
// without padding. The page plays the run in its address; the game and the
// checker take a link, or its fragment ("#run=..." or "run=..."), wherever
// they take a run file.

#include <cstdint>
#include <string>

#include "runs/run_check.h"
#include "runs/run_file.h"

// Where a link points when no base is given: the page as ./play.sh --web serves it.
constexpr const char* kDefaultLinkBase = "http://localhost:8000/";
// The longest link taken, in bytes of text: as much as a browser's address
// holds. The run it holds may not pass kLargestRunFile once inflated, and is
// refused as soon as it does, never inflated further.
constexpr std::size_t kLongestRunLink = 2 * 1024 * 1024;

// Whether `text` names a run by a link rather than a file: it starts with
// "run=" or "#run=", or it is an address (scheme://...) whose fragment starts
// with "run=". A file named so is still given as ./run=...
bool isRunLink(const std::string& text);

// `base` + "#run=" + the bytes deflated and written in base64url.
std::string runLink(const std::string& runText, const std::string& base = kDefaultLinkBase);

// The run file's text a link holds. On failure returns false and says why in
// `why`, one phrase: damaged (not base64url, not a deflate stream, bytes after
// its end), cut short, or too large (the link's text, or the run once
// inflated past `largest`). `inflated`, when given, gets how many bytes were
// inflated, so far as the link was read.
bool runTextFromLink(const std::string& link, std::string& runText, std::string& why,
                     std::int64_t largest = kLargestRunFile, std::int64_t* inflated = nullptr);

// The run a file or a link holds, read and parsed; false with `why` as
// readRunFile and runTextFromLink say it. `stopAsked` as parseRunFile takes it.
bool readRunOrLink(const std::string& fileOrLink, RunFile& run, std::string& why, bool (*stopAsked)() = nullptr);
