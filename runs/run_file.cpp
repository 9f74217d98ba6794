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

bool parseRunFile(const std::string& text, RunFile& run, std::string& why) {
  run = RunFile();
  const size_t markBytes = std::strlen(kByteOrderMark);
  // Read in place: the file's text is the one copy of it held.
  Lines in(std::string_view(text).substr(text.compare(0, markBytes, kByteOrderMark) == 0 ? markBytes : 0));
  std::string_view line;
  std::int64_t number = 0;
  const auto refuse = [&](const std::string& what) {
    why = number == 0 ? what : "line " + std::to_string(number) + ": " + what;
    return false;
  };
  if (text.find('\0') != std::string::npos) return refuse("not a text file");
  if (!in.next(line)) return refuse("empty");
  number = 1;
  std::vector<std::string_view> head;
  const bool headWhole = wordsOf(line, 10, head);
  if (head.empty() || head[0] != kMagic) return refuse("not a replay of nombre");
  long long value = 0;
  if (head.size() < 2 || !readCount(head[1], 0, 1000000, value)) return refuse("no format version");
  const std::string version(head[1]);
  if (value < kFirstRunFormatVersion || value > kRunFormatVersion) {
    return refuse("format version " + version + ", this game reads versions " + std::to_string(kFirstRunFormatVersion) +
                  " to " + std::to_string(kRunFormatVersion));
  }
  run.version = static_cast<int>(value);
  const bool paced = run.version >= kFirstPacedRunFormatVersion;
  if (!headWhole || head.size() != (paced ? 10u : 8u) || head[2] != "game" || head[4] != "level" ||
      head[6] != "clock" || (paced && head[8] != "tick")) {
    return refuse("the header is not \"nombre-replay " + version + " game VERSION level N clock MS" +
                  (paced ? " tick MS/N" : "") + "\"");
  }
  run.pace = kClassicPace;
  if (paced) {
    // A tick of 3 ms (the shortest the game ever ran) to 1 s, as a fraction
    // with a denominator up to 1000.
    const std::string_view tick = head[9];
    const size_t slash = tick.find('/');
    long long num = 0;
    long long den = 0;
    if (slash == std::string_view::npos || !readCount(tick.substr(0, slash), 1, 1000000, num) ||
        !readCount(tick.substr(slash + 1), 1, 1000, den) || num < 3 * den || num > 1000 * den) {
      return refuse("the tick is not a length in ms from 3 to 1000, written N/D (e.g. 50/3)");
    }
    run.pace = pacedAt(num, den);
  }
  run.gameVersion = quotedWord(head[3]);
  // Every game starts at the first level: a run that starts at another
  // was written by hand, whatever its digests say.
  if (!readCount(head[5], kRunStartLevel, kRunStartLevel, value)) {
    return refuse("the start level is \"" + quotedWord(head[5]) + "\": every game starts at level " +
                  std::to_string(kRunStartLevel));
  }
  run.level = static_cast<float>(value);
  if (!readCount(head[7], 0, 1LL << 52, value)) return refuse("the start clock is not a count of milliseconds");
  run.startClock = value;

  bool ended = false;
  std::int64_t lastTick = 0;
  // The game writes a hash line at every kHashEvery ticks, and never
  // elsewhere: a run without them was written by hand.
  const std::int64_t hashEvery = paced ? kHashEvery : kClassicHashEvery;
  std::int64_t nextHash = hashEvery;
  const auto noHash = [&] { return "no hash line at tick " + std::to_string(nextHash) + ", where the game writes one"; };
  std::int64_t dropped = 0;
  const std::int64_t longestRunTicks = kLongestRunMs * run.pace.den / run.pace.num;
  const std::string tooLong = "the run would last more than " + std::to_string(kLongestRunHours) +
                              " hours of game time, the most a run file may hold";
  std::vector<std::string_view> w;
  while (in.next(line)) {
    ++number;
    // Every line holds three words: past them, the line is given up on.
    const bool whole = wordsOf(line, 3, w);
    if (w.empty()) continue;
    if (ended) return refuse("more after the end line");
    if (w[0] == "end") {
      if (!whole || w.size() != 3 || !readCount(w[1], 0, 1LL << 40, value)) {
        return refuse("the end line is not \"end TICKS HASH\"");
      }
      if (value > longestRunTicks || runGameTime(run.pace, value, dropped) > kLongestRunMs) return refuse(tooLong);
      run.endTick = value;
      if (run.endTick < lastTick) return refuse("the run ends before its last event");
      if (run.endTick >= nextHash) return refuse(noHash());
      if (!readHex(w[2], run.endHash)) return refuse("the end line's hash is not 16 hex digits");
      ended = true;
      continue;
    }
    RunEvent event;
    if (!whole || w.size() != 3) return refuse("not \"TICK KIND VALUE\"");
    if (!readCount(w[0], 0, 1LL << 40, value)) return refuse("the tick is not a count");
    if (value > longestRunTicks) return refuse(tooLong);
    event.tick = value;
    if (event.tick < lastTick) {
      return refuse("an event out of order (tick " + std::string(w[0]) + " after " + std::to_string(lastTick) + ")");
    }
    lastTick = event.tick;
    if (!kindFromName(w[1], event.kind)) return refuse("no event is called \"" + quotedWord(w[1]) + "\"");
    if (event.kind == RunEventKind::Hash && event.tick != nextHash) {
      return refuse(event.tick < nextHash ? "a hash line at tick " + std::to_string(event.tick) + ", where the game writes none"
                                          : noHash());
    }
    if (event.tick > nextHash) return refuse(noHash());
    if (event.kind == RunEventKind::Hash) nextHash += hashEvery;
    if (isKey(event.kind)) {
      if (!keyFromName(w[2], event.value)) return refuse("no key is called \"" + quotedWord(w[2]) + "\"");
    } else if (event.kind == RunEventKind::Drop) {
      if (!readCount(w[2], 1, 1LL << 40, value)) return refuse("a drop is not a count of milliseconds");
      dropped += value;
      if (runGameTime(run.pace, event.tick, dropped) > kLongestRunMs) return refuse(tooLong);
      event.value = value;
    } else if (event.kind == RunEventKind::Hash) {
      std::uint64_t hash = 0;
      if (!readHex(w[2], hash)) return refuse("a hash is not 16 hex digits");
      event.value = static_cast<std::int64_t>(hash);
    } else if (w[2] != "-") {
      return refuse("a pause or resume has no value but \"-\"");
    }
    run.events.push_back(event);
  }
  if (!ended) return refuse("cut short: no end line");
  return true;
}
