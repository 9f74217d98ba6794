// What the game's lines show of text they did not make: file names, words of
// files, options' values.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/console.h"

namespace {

// Every control byte, C1 ones too (raw and as UTF-8), and every byte of no
// whole UTF-8 character, shows as '?'; whole characters show as themselves.
TEST(Quoting, ControlsAndBrokenUtf8ShowAsQuestionMarks) {
  const struct {
    const char* what;
    std::string text;
    std::string shown;
  } cases[] = {
      {"plain", "run 3.nrep", "run 3.nrep"},
      {"C0, ESC and DEL", "a\x1b]0;x\x07\n\x7f" "b", "a?]0;x???b"},
      {"raw C1 bytes", "a\x9b" "31m\x80\x9f" "b", "a?31m??b"},
      {"C1 as UTF-8 (CSI, NEL)", "a\xc2\x9b" "31m\xc2\x85" "b", "a??31m??b"},
      {"the character after C1 is kept", "\xc2\xa0|\xc2\x9f|", "\xc2\xa0|??|"},
      {"accents, CJK and emoji", "caf\xc3\xa9 \xe6\xbc\xa2 \xf0\x9f\x8e\xae", "caf\xc3\xa9 \xe6\xbc\xa2 \xf0\x9f\x8e\xae"},
      {"a lone continuation byte", "a\xa9" "b", "a?b"},
      {"an overlong slash", "a\xc0\xaf" "b", "a??b"},
      {"a surrogate", "a\xed\xa0\x80" "b", "a???b"},
      {"past U+10FFFF", "a\xf4\x90\x80\x80" "b", "a????b"},
      {"cut short at the end", "a\xe6\xbc", "a??"},
      {"0xff", "\xff\xfe", "??"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plainText(c.text), c.shown) << c.what;
    EXPECT_EQ(shortQuote(c.text), c.shown) << c.what;
  }
  EXPECT_EQ(shortQuote(std::string(50, 'k') + "\x1b"), std::string(40, 'k') + "...");
}

// A name shows as it is when it is plain and short; any other is quoted with
// the hash of its bytes, so two names never show alike and a quoted one never
// looks like a plain one.
TEST(Quoting, EveryNameShowsApartFromEveryOther) {
  EXPECT_EQ(quotedPath("/home/ana/runs/best run.nrep"), "/home/ana/runs/best run.nrep");
  EXPECT_EQ(quotedPath("caf\xc3\xa9.nrep"), "caf\xc3\xa9.nrep");
  const std::string longStart = "/runs/" + std::string(300, 'x');
  const std::vector<std::string> names = {
      "a?b",  "a\nb", "a\tb", "a\x9b" "b", "a\xc2\x9b" "b", "\"a?b\"", "\"a\nb\"",
      longStart + "1.nrep", longStart + "2.nrep", "/runs/" + std::string(200, 'x') + "1" + std::string(200, 'y'),
      "/runs/" + std::string(200, 'x') + "2" + std::string(200, 'y'),
  };
  std::set<std::string> shown;
  for (const std::string& name : names) {
    const std::string line = quotedPath(name);
    EXPECT_TRUE(shown.insert(line).second) << line;
    EXPECT_LE(line.size(), kQuotePathBytes + 24) << line;
    EXPECT_EQ(line, plainText(line)) << "no control byte reaches the terminal";
    if (name != "a?b") {
      EXPECT_EQ(line.front(), '"') << line;
    }
  }
  char hash[20];
  std::snprintf(hash, sizeof hash, "#%016llx", static_cast<unsigned long long>(nameHash("a\nb")));
  EXPECT_EQ(quotedPath("a\nb"), std::string("\"a?b\"") + hash);
  // A long name keeps its start and its end.
  const std::string cut = quotedPath(longStart + "1.nrep");
  EXPECT_EQ(cut.rfind("\"/runs/xxx", 0), 0u) << cut;
  EXPECT_NE(cut.find("xxx...xxx"), std::string::npos) << cut;
  EXPECT_NE(cut.find("xxx1.nrep\"#"), std::string::npos) << cut;
}

}  // namespace
