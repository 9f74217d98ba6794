#include "runs/run_file.h"


#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/console.h"
#include "base/keys.h"
#include "rules/update_ticks.h"

namespace {

const char* const kMagic = "nombre-replay";
// Editors may put one before the first line.
const char* const kByteOrderMark = "\xEF\xBB\xBF";

// The keys by the names a person reads in a run; any other key by its number,
// GLFW's -1 for a key it has no name for included.
struct KeyName {
  int key;
  const char* name;
};
constexpr KeyName kKeyNames[] = {{kKeyLeft, "left"},    {kKeyRight, "right"}, {kKeyUp, "up"},
                                 {kKeyDown, "down"},    {kKeyZ, "z"},         {kKeyX, "x"},
                                 {kKeyEscape, "escape"}, {kKeyEnter, "enter"}};

std::string keyName(std::int64_t key) {
  for (const KeyName& k : kKeyNames) {
    if (k.key == key) return k.name;
  }
  return "key" + std::to_string(key);
}

bool keyFromName(std::string_view name, std::int64_t& key) {
  for (const KeyName& k : kKeyNames) {
    if (name == k.name) {
      key = k.key;
      return true;
    }
  }
  // key-1 to key348: a sign and at most three digits.
  if (name.size() < 4 || name.size() > 7 || name.compare(0, 3, "key") != 0) return false;
  const std::string number(name.substr(3));
  char* end = nullptr;
  const long long n = std::strtoll(number.c_str(), &end, 10);
  if (*end != '\0' || n < kKeyUnknown || n > kKeyLast) return false;
  key = n;
  return true;
}

constexpr const char* kKindNames[] = {"press", "release", "repeat", "pause", "resume", "drop", "hash"};

const char* kindName(RunEventKind kind) { return kKindNames[static_cast<int>(kind)]; }

bool kindFromName(std::string_view name, RunEventKind& kind) {
  for (int i = 0; i < 7; ++i) {
    if (name == kKindNames[i]) {
      kind = static_cast<RunEventKind>(i);
      return true;
    }
  }
  return false;
}

bool isKey(RunEventKind kind) {
  return kind == RunEventKind::Press || kind == RunEventKind::Release || kind == RunEventKind::Repeat;
}

std::string hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof(text), "%016" PRIx64, value);
  return text;
}

bool readHex(std::string_view text, std::uint64_t& value) {
  if (text.size() != 16 || text.find_first_not_of("0123456789abcdef") != std::string_view::npos) return false;
  value = std::strtoull(std::string(text).c_str(), nullptr, 16);
  return true;
}

// A whole decimal count, nothing else.
bool readCount(std::string_view text, long long low, long long high, long long& value) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  value = std::strtoll(std::string(text).c_str(), nullptr, 10);
  return value >= low && value <= high;
}

// The start of a word of the file, to quote in a refusal: a word may be
// megabytes long, and only its start is shown.
std::string quotedWord(std::string_view word) { return shortQuote(std::string(word.substr(0, kQuoteBytes + 1))); }

constexpr std::string_view kBlanks = " \t\n\v\f\r";

// The words of `line`, as views into it, into `out`: at most `most` of them.
// False when the line holds more: it is given up on there, however long the
// rest of it, so a line is never taken apart past what any line may hold.
bool wordsOf(std::string_view line, size_t most, std::vector<std::string_view>& out) {
  out.clear();
  size_t at = line.find_first_not_of(kBlanks);
  while (at != std::string_view::npos) {
    if (out.size() == most) return false;
    const size_t end = line.find_first_of(kBlanks, at);
    out.push_back(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
    at = end == std::string_view::npos ? end : line.find_first_not_of(kBlanks, end);
  }
  return true;
}

// The lines of a text one by one, as views into it, as getline gives them:
// a last line without its end counts, an end with nothing after it does not.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    const size_t end = text_.find('\n', at_);
    line = text_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_);
    at_ = end == std::string_view::npos ? text_.size() : end + 1;
    return true;
  }

 private:
  std::string_view text_;
  size_t at_ = 0;
};

// The tick length of a header, "N/D" ms: 3 ms (the shortest tick the game
// ever ran) to 1 s, with a denominator up to 1000.
bool readTickLength(std::string_view tick, TickPace& pace) {
  const size_t slash = tick.find('/');
  long long num = 0;
  long long den = 0;
  if (slash == std::string_view::npos || !readCount(tick.substr(0, slash), 1, 1000000, num) ||
      !readCount(tick.substr(slash + 1), 1, 1000, den) || num < 3 * den || num > 1000 * den) {
    return false;
  }
  pace = pacedAt(num, den);
  return true;
}

// The header line into `run`: "" when it is one, else what is wrong with it.
std::string readHeader(std::string_view line, RunFile& run) {
  std::vector<std::string_view> head;
  const bool headWhole = wordsOf(line, 10, head);
  if (head.empty() || head[0] != kMagic) return "not a replay of nombre";
  long long value = 0;
  if (head.size() < 2 || !readCount(head[1], 0, 1000000, value)) return "no format version";
  const std::string version(head[1]);
  if (value < kFirstRunFormatVersion || value > kRunFormatVersion) {
    return "format version " + version + ", this game reads versions " + std::to_string(kFirstRunFormatVersion) +
           " to " + std::to_string(kRunFormatVersion);
  }
  run.version = static_cast<int>(value);
  const bool paced = run.version >= kFirstPacedRunFormatVersion;
  if (!headWhole || head.size() != (paced ? 10u : 8u) || head[2] != "game" || head[4] != "level" ||
      head[6] != "clock" || (paced && head[8] != "tick")) {
    return "the header is not \"nombre-replay " + version + " game VERSION level N clock MS" +
           (paced ? " tick MS/N" : "") + "\"";
  }
  run.pace = kClassicPace;
  if (paced && !readTickLength(head[9], run.pace)) {
    return "the tick is not a length in ms from 3 to 1000, written N/D (e.g. 50/3)";
  }
  run.gameVersion = quotedWord(head[3]);
  // Every game starts at the first level: a run that starts at another
  // was written by hand, whatever its digests say.
  if (!readCount(head[5], kRunStartLevel, kRunStartLevel, value)) {
    return "the start level is \"" + quotedWord(head[5]) + "\": every game starts at level " +
           std::to_string(kRunStartLevel);
  }
  run.level = static_cast<float>(value);
  if (!readCount(head[7], 0, 1LL << 52, value)) return "the start clock is not a count of milliseconds";
  run.startClock = value;
  return "";
}

// What the lines after the header have come to, for the checks that span
// lines: the ticks never go back, a hash line stands at every hashEvery
// ticks and nowhere else, the run fits in kLongestRunMs, and nothing follows
// the end line.
struct EventsSoFar {
  explicit EventsSoFar(const RunFile& run)
      : hashEvery(run.version >= kFirstPacedRunFormatVersion ? kHashEvery : kClassicHashEvery),
        nextHash(hashEvery),
        longestRunTicks(kLongestRunMs * run.pace.den / run.pace.num) {}
  std::string noHash() const {
    return "no hash line at tick " + std::to_string(nextHash) + ", where the game writes one";
  }
  // The game writes a hash line at every hashEvery ticks, and never
  // elsewhere: a run without them was written by hand.
  const std::int64_t hashEvery;
  std::int64_t nextHash;
  const std::int64_t longestRunTicks;
  std::int64_t lastTick = 0;
  std::int64_t dropped = 0;
  bool ended = false;
};

std::string tooLongRun() {
  return "the run would last more than " + std::to_string(kLongestRunHours) +
         " hours of game time, the most a run file may hold";
}

// The end line "end TICKS HASH" into `run`: "" when it is one, else what is wrong.
std::string readEndLine(const std::vector<std::string_view>& w, bool whole, EventsSoFar& so, RunFile& run) {
  long long value = 0;
  if (!whole || w.size() != 3 || !readCount(w[1], 0, 1LL << 40, value)) return "the end line is not \"end TICKS HASH\"";
  if (value > so.longestRunTicks || runGameTime(run.pace, value, so.dropped) > kLongestRunMs) return tooLongRun();
  run.endTick = value;
  if (run.endTick < so.lastTick) return "the run ends before its last event";
  if (run.endTick >= so.nextHash) return so.noHash();
  if (!readHex(w[2], run.endHash)) return "the end line's hash is not 16 hex digits";
  so.ended = true;
  return "";
}

// The value of an event whose tick and kind are read: a key, the ms of a
// drop, a hash, or "-". "" when it is one, else what is wrong.
std::string readEventValue(std::string_view word, RunEvent& event, EventsSoFar& so, const TickPace& pace) {
  if (isKey(event.kind)) {
    if (!keyFromName(word, event.value)) return "no key is called \"" + quotedWord(word) + "\"";
  } else if (event.kind == RunEventKind::Drop) {
    long long value = 0;
    if (!readCount(word, 1, 1LL << 40, value)) return "a drop is not a count of milliseconds";
    so.dropped += value;
    if (runGameTime(pace, event.tick, so.dropped) > kLongestRunMs) return tooLongRun();
    event.value = value;
  } else if (event.kind == RunEventKind::Hash) {
    std::uint64_t hash = 0;
    if (!readHex(word, hash)) return "a hash is not 16 hex digits";
    event.value = static_cast<std::int64_t>(hash);
  } else if (word != "-") {
    return "a pause or resume has no value but \"-\"";
  }
  return "";
}

// An event line "TICK KIND VALUE" onto `run`'s events: "" when it is one, else what is wrong.
std::string readEventLine(const std::vector<std::string_view>& w, bool whole, EventsSoFar& so, RunFile& run) {
  RunEvent event;
  long long value = 0;
  if (!whole || w.size() != 3) return "not \"TICK KIND VALUE\"";
  if (!readCount(w[0], 0, 1LL << 40, value)) return "the tick is not a count";
  if (value > so.longestRunTicks) return tooLongRun();
  event.tick = value;
  if (event.tick < so.lastTick) {
    return "an event out of order (tick " + std::string(w[0]) + " after " + std::to_string(so.lastTick) + ")";
  }
  so.lastTick = event.tick;
  if (!kindFromName(w[1], event.kind)) return "no event is called \"" + quotedWord(w[1]) + "\"";
  if (event.kind == RunEventKind::Hash && event.tick != so.nextHash) {
    return event.tick < so.nextHash ? "a hash line at tick " + std::to_string(event.tick) + ", where the game writes none"
                                    : so.noHash();
  }
  if (event.tick > so.nextHash) return so.noHash();
  if (event.kind == RunEventKind::Hash) so.nextHash += so.hashEvery;
  const std::string wrong = readEventValue(w[2], event, so, run.pace);
  if (wrong.empty()) run.events.push_back(event);
  return wrong;
}

// A line after the header: "" when it is a blank, an event or the end line
// where one may stand, else what is wrong with it.
std::string readLine(std::string_view line, std::vector<std::string_view>& w, EventsSoFar& so, RunFile& run) {
  // Every line holds three words: past them, the line is given up on.
  const bool whole = wordsOf(line, 3, w);
  if (w.empty()) return "";
  if (so.ended) return "more after the end line";
  if (w[0] == "end") return readEndLine(w, whole, so, run);
  return readEventLine(w, whole, so, run);
}

// How many lines of `text` are long enough to hold an event: the events'
// room is taken once, never grown by doubling.
size_t eventLinesAtMost(std::string_view text) {
  size_t lines = 0;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    if (end - from >= kShortestEventLine) ++lines;
    from = end + 1;
  }
  return lines;
}

}  // namespace

std::string runHeaderLine(float level, ClockTicks startClock, const TickPace& pace) {
  return std::string(kMagic) + " " + std::to_string(kRunFormatVersion) + " game " + NOMBRE_VERSION + " level " +
         std::to_string(static_cast<int>(level)) + " clock " + std::to_string(startClock) + " tick " +
         std::to_string(pace.num) + "/" + std::to_string(pace.den) + "\n";
}

TickPace pacedAt(ClockTicks num, ClockTicks den) {
  const ClockTicks most = kLongestCatchUpMs * den / num;
  return TickPace{num, den, most < 1 ? 1 : static_cast<int>(most), false};
}

std::string runEventLine(const RunEvent& event) {
  std::string value;
  if (isKey(event.kind)) {
    value = keyName(event.value);
  } else if (event.kind == RunEventKind::Drop) {
    value = std::to_string(event.value);
  } else if (event.kind == RunEventKind::Hash) {
    value = hex(static_cast<std::uint64_t>(event.value));
  } else {
    value = "-";
  }
  return std::to_string(event.tick) + " " + kindName(event.kind) + " " + value + "\n";
}

std::int64_t runGameTime(const TickPace& pace, std::int64_t ticks, std::int64_t droppedMs) {
  return ticksTime(pace, ticks) + droppedMs;
}

std::string runEndLine(std::int64_t ticks, std::uint64_t hash) {
  return "end " + std::to_string(ticks) + " " + hex(hash) + "\n";
}

bool parseRunFile(const std::string& text, RunFile& run, std::string& why, bool (*stopAsked)()) {
  run = RunFile();
  if (text.find('\0') != std::string::npos) {
    why = "not a text file";
    return false;
  }
  const size_t markBytes = std::strlen(kByteOrderMark);
  // Read in place: the file's text is the one copy of it held.
  Lines in(std::string_view(text).substr(text.compare(0, markBytes, kByteOrderMark) == 0 ? markBytes : 0));
  std::string_view line;
  if (!in.next(line)) {
    why = "empty";
    return false;
  }
  std::int64_t number = 1;
  std::string wrong = readHeader(line, run);
  if (wrong.empty()) run.events.reserve(eventLinesAtMost(text));
  EventsSoFar so(run);
  std::vector<std::string_view> words;
  constexpr std::int64_t kLinesBetweenAsks = 1 << 14;
  while (wrong.empty() && in.next(line)) {
    ++number;
    if (stopAsked != nullptr && number % kLinesBetweenAsks == 0 && stopAsked()) {
      why = "stopped";
      return false;
    }
    wrong = readLine(line, words, so, run);
  }
  if (wrong.empty() && !so.ended) wrong = "cut short: no end line";
  if (wrong.empty()) return true;
  why = "line " + std::to_string(number) + ": " + wrong;
  return false;
}
