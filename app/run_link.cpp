#include "app/run_link.h"

#include <zlib.h>

#include <cctype>
#include <cstring>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string base64url(const std::string& bytes) {
  std::string text;
  text.reserve((bytes.size() * 4 + 2) / 3);
  std::uint32_t bits = 0;
  int held = 0;
  for (const char byte : bytes) {
    bits = (bits << 8) | static_cast<unsigned char>(byte);
    held += 8;
    while (held >= 6) {
      held -= 6;
      text += kAlphabet[(bits >> held) & 63];
    }
  }
  if (held > 0) text += kAlphabet[(bits << (6 - held)) & 63];
  return text;
}

int sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

// False, with why, when `text` is not base64url without padding: a
// character outside its alphabet, or a length no bytes give (one character
// over a whole group, or bits left over that are not zero: a link cut short).
bool fromBase64url(const std::string& text, std::string& bytes, std::string& why) {
  why = "the link is damaged: its run is not written in base64url";
  bytes.clear();
  bytes.reserve(text.size() * 3 / 4);
  std::uint32_t bits = 0;
  int held = 0;
  for (const char c : text) {
    const int value = sextet(c);
    if (value < 0) return false;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes += static_cast<char>((bits >> held) & 0xff);
    }
  }
  why = "the link is cut short";
  return text.size() % 4 != 1 && (bits & ((1u << held) - 1)) == 0;
}

std::string deflated(const std::string& bytes) {
  z_stream stream{};
  // Raw deflate (negative window bits): what a browser's 'deflate-raw' reads.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return "";
  std::string out(deflateBound(&stream, bytes.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Inflated a piece at a time, so that a stream that would grow past
// `largest` is refused there.
constexpr std::size_t kInflatePiece = 64 * 1024;

bool inflateRun(const std::string& bytes, std::string& out, std::string& why, std::int64_t largest,
              std::int64_t* count) {
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) {
    why = "the link cannot be read: no memory to inflate it";
    return false;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  out.clear();
  int status = Z_OK;
  while (status == Z_OK) {
    const std::size_t had = out.size();
    out.resize(had + kInflatePiece);
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + had);
    stream.avail_out = static_cast<uInt>(kInflatePiece);
    status = inflate(&stream, Z_NO_FLUSH);
    out.resize(had + kInflatePiece - stream.avail_out);
    if (static_cast<std::int64_t>(out.size()) > largest) {
      status = Z_MEM_ERROR;
      break;
    }
    // No more input and none of the output room used: the stream was cut.
    if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)) break;
  }
  const bool ended = status == Z_STREAM_END;
  const bool after = ended && stream.avail_in != 0;
  if (count != nullptr) *count = static_cast<std::int64_t>(stream.total_out);
  inflateEnd(&stream);
  if (ended && !after) return true;
  if (status == Z_MEM_ERROR) {
    why = std::string("the run it holds is ") + kRunFileTooLarge + " once inflated";
  } else if (after) {
    why = "the link is damaged: bytes follow the end of its run";
  } else if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR) {
    why = "the link is damaged: it holds no deflated run";
  } else {
    why = "the link is cut short";
  }
  out.clear();
  return false;
}

// Where the run starts in a link's text, or npos.
std::size_t runStart(const std::string& text) {
  for (const char* start : {"run=", "#run="}) {
    if (text.compare(0, std::strlen(start), start) == 0) return std::strlen(start);
  }
  // An address: a scheme, "://", and a fragment starting "run=".
  std::size_t i = 0;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || std::strchr("+-.", text[i]))) ++i;
  if (i == 0 || !std::isalpha(static_cast<unsigned char>(text[0])) || text.compare(i, 3, "://") != 0) {
    return std::string::npos;
  }
  const std::size_t fragment = text.find('#', i);
  if (fragment == std::string::npos || text.compare(fragment, 5, "#run=") != 0) return std::string::npos;
  return fragment + 5;
}

}  // namespace

bool isRunLink(const std::string& text) { return runStart(text) != std::string::npos; }

std::string runLink(const std::string& runText, const std::string& base) {
  return base + "#run=" + base64url(deflated(runText));
}

bool runTextFromLink(const std::string& link, std::string& runText, std::string& why, std::int64_t largest,
                     std::int64_t* inflated) {
  runText.clear();
  if (inflated != nullptr) *inflated = 0;
  if (link.size() > kLongestRunLink) {
    why = "longer than any link to a run (" + std::to_string(kLongestRunLink / 1024 / 1024) + " MB)";
    return false;
  }
  const std::size_t start = runStart(link);
  if (start == std::string::npos) {
    why = "not a link to a run (no #run=)";
    return false;
  }
  std::string bytes;
  if (start == link.size()) {
    why = "the link holds no run";
    return false;
  }
  if (!fromBase64url(link.substr(start), bytes, why)) return false;
  return inflateRun(bytes, runText, why, largest, inflated);
}

bool readRunOrLink(const std::string& fileOrLink, RunFile& run, std::string& why, bool (*stopAsked)()) {
  if (!isRunLink(fileOrLink)) return readRunFile(fileOrLink, run, why, stopAsked);
  std::string text;
  return runTextFromLink(fileOrLink, text, why) && parseRunFile(text, run, why, stopAsked);
}
