// A run as a link: every recorded run goes into a link and comes out as the
// same bytes, checking as the file does, in the game and the checker alike;
// a link damaged, cut short or too large is refused in one line, and a
// run that would inflate past the largest run is refused before it does.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/run_link.h"
#include "base/console.h"
#include "gl_fixture.h"
#include "runs/run_check.h"

namespace {

std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every run the project keeps: the fixtures and the README's runs.
std::vector<std::string> keptRuns() {
  std::vector<std::string> paths;
  for (const char* folder : {NOMBRE_FIXTURES, NOMBRE_FIXTURES "/../../docs/runs"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() == ".nrep") paths.push_back(entry.path().string());
    }
  }
  return paths;
}

std::string fragmentOf(const std::string& link) { return link.substr(link.find('#')); }

// `bytes` deflated raw and written as a link's fragment, however wrong they are as a run.
std::string linkOfBytes(const std::string& bytes) { return fragmentOf(runLink(bytes)); }

TEST(RunLink, EveryKeptRunGoesThroughALinkAndChecksTheSame) {
  const std::vector<std::string> paths = keptRuns();
  ASSERT_GE(paths.size(), 10u);
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const std::string text = bytesOf(path);
    const std::string link = runLink(text, "https://example.org/nombre/");
    ASSERT_EQ(link.rfind("https://example.org/nombre/#run=", 0), 0u);
    EXPECT_EQ(link.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_", 32),
              std::string::npos);
    RunFile fromFile;
    std::string why;
    ASSERT_TRUE(readRunFile(path, fromFile, why)) << why;
    const RunVerdict expected = checkRun(fromFile);
    // The whole link, its fragment, and the fragment without its '#'.
    for (const std::string& given : {link, fragmentOf(link), fragmentOf(link).substr(1)}) {
      std::string back;
      ASSERT_TRUE(runTextFromLink(given, back, why)) << why;
      EXPECT_EQ(back, text);
      RunFile fromLink;
      ASSERT_TRUE(readRunOrLink(given, fromLink, why)) << why;
      const RunVerdict verdict = checkRun(fromLink);
      EXPECT_EQ(verdict.same, expected.same);
      EXPECT_EQ(verdict.says, expected.says);
      EXPECT_EQ(verdict.score, expected.score);
      EXPECT_EQ(verdict.level, expected.level);
    }
  }
}

TEST(RunLink, ABadLinkSaysWhatIsWrongWithIt) {
  const std::string walk = linkOfBytes(bytesOf(NOMBRE_FIXTURES "/walk.nrep"));
  const struct {
    std::string link;
    std::string why;
  } cases[] = {
      {"run=", "the link holds no run"},
      {"http://localhost:8000/#run=", "the link holds no run"},
      {"#run=" + walk.substr(5, 20) + "!" + walk.substr(26), "the link is damaged: its run is not written in base64url"},
      {walk + "=", "the link is damaged: its run is not written in base64url"},
      {walk.substr(0, walk.size() - 7), "the link is cut short"},
      {walk.substr(0, 9), "the link is cut short"},
      {"run=AAAA", "the link is cut short"},
      {"run=aGVsbG8gdGhlcmU", "the link is damaged: it holds no deflated run"},
      {walk + "AAAA", "the link is damaged: bytes follow the end of its run"},
      {"run=" + std::string(kLongestRunLink, 'A'), "longer than any link to a run (2 MB)"},
      {linkOfBytes("nombre-replay 9 game 1.0.0\n"), "line 1: "},
      {linkOfBytes("not a run\n"), "line 1: not a replay of nombre"},
      {linkOfBytes(""), "empty"},
  };
  for (const auto& bad : cases) {
    SCOPED_TRACE(bad.link.substr(0, 80));
    ASSERT_TRUE(isRunLink(bad.link));
    RunFile run;
    std::string why;
    EXPECT_FALSE(readRunOrLink(bad.link, run, why));
    EXPECT_EQ(why.rfind(bad.why, 0), 0u) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos);
  }
}

// Names that are files, not links, however they look.
TEST(RunLink, OnlyALinkOrItsFragmentIsTakenForOne) {
  for (const char* file : {"walk.nrep", "./run=x", "dir#run=x", "/tmp/#run=x", "://#run=x", "1http://a/#run=x",
                           "http://a/#other&run=x"}) {
    EXPECT_FALSE(isRunLink(file)) << file;
  }
  for (const char* link : {"run=x", "#run=x", "http://a/#run=x", "file:///a/index.html#run=x", "https://a.b:8/p?q=1#run="}) {
    EXPECT_TRUE(isRunLink(link)) << link;
  }
}

// A few kilobytes of link can hold gigabytes of zeros: reading one stops at
// the limit, having inflated no more than a piece past it.
TEST(RunLink, ARunLargerThanAnyOnceInflatedIsRefusedWithoutInflatingItAll) {
  const std::string zeros(16 << 20, '\0');
  const std::string link = runLink(zeros);
  EXPECT_LT(link.size(), 30000u);
  std::string text;
  std::string why;
  std::int64_t inflated = 0;
  EXPECT_FALSE(runTextFromLink(link, text, why, 1 << 20, &inflated));
  EXPECT_EQ(why, "the run it holds is larger than any run once inflated");
  EXPECT_TRUE(text.empty());
  EXPECT_GT(inflated, 1 << 20);
  EXPECT_LE(inflated, (1 << 20) + (64 << 10));
  // The limit by default is the largest run file's: one byte more is refused.
  const std::string justOver = runLink(std::string(kLargestRunFile + 1, 'a'));
  EXPECT_FALSE(runTextFromLink(justOver, text, why, kLargestRunFile, &inflated));
  EXPECT_EQ(why, "the run it holds is larger than any run once inflated");
  EXPECT_LE(inflated, kLargestRunFile + (64 << 10));
}

// The game prints a link, and the game and the checker take it (or its
// fragment) where they take a file, a bad one with the line and the exit a
// bad file gets.
TEST(RunLink, TheGameAndTheCheckerTakeALinkAsAFile) {
  const std::string fixture = std::string(NOMBRE_FIXTURES) + "/v3_walk_fight_pause.nrep";
  const std::string game = std::string("env -u DISPLAY ") + NOMBRE_BINARY + " ";
  const std::string checker = std::string("env -u DISPLAY ") + NOMBRE_CHECK_BINARY + " ";
  std::string link;
  ASSERT_EQ(runCommand(game + "--link " + fixture + " --base https://example.org/ 2>&1", link), 0) << link;
  ASSERT_EQ(link.back(), '\n');
  link.pop_back();
  EXPECT_EQ(link, runLink(bytesOf(fixture), "https://example.org/"));
  std::string fileSays;
  ASSERT_EQ(runCommand(checker + fixture + " 2>&1", fileSays), 0) << fileSays;
  const std::string verdict = fileSays.substr(fileSays.find(": the replay"));
  const std::string fragment = fragmentOf(link);
  const std::string cut = fragment.substr(0, fragment.size() - 5);
  const std::string cutSaid = quotedPath(cut);
  const struct {
    std::string command;
    int code;
    std::string says;
  } cases[] = {
      {checker + "'" + link + "'", 0, verdict},
      {checker + "'" + fragment + "' " + fixture, 0, verdict},
      {game + "--replay '" + fragment.substr(1) + "' --check", 0, "nombre: the replay ends as the run did"},
      {game + "--link '" + fragment + "'", 0, runLink(bytesOf(fixture)) + "\n"},
      {checker + "'" + cut + "'", 2, cutSaid + ": not a run to check: the link is cut short\n"},
      {game + "--replay '" + cut + "' --check", 2, "nombre: " + cutSaid + " is not a run to replay: the link is cut short\n"},
      {game + "--replay '" + cut + "'", 2, "nombre: " + cutSaid + " is not a run to replay: the link is cut short\n"},
      {game + "--link '" + cut + "'", 2, "nombre: " + cutSaid + " is not a run to link: the link is cut short\n"},
      {game + "--link " + NOMBRE_FIXTURES + "/../../README.md", 2, "is not a run to link: line 1: not a replay"},
  };
  for (const auto& one : cases) {
    SCOPED_TRACE(one.command);
    std::string out;
    EXPECT_EQ(runCommand(one.command + " 2>&1", out), one.code) << out;
    EXPECT_NE(out.find(one.says), std::string::npos) << out;
  }
}

}  // namespace
