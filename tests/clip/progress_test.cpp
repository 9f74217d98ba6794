// What an export prints: a bar redrawn in place on a terminal, and only the
// closing line through a pipe.
#include "clip/progress.h"

#include <gtest/gtest.h>

#include "tests/clip/clip_test_support.h"
#include "tests/scratch_folder.h"

namespace {

TEST(ExportProgress, BarShowsTheShareAndTheTimeLeft) {
  EXPECT_EQ(clip::progressBar(0, 600, -1, 10), "[----------]   0%  -:-- left");
  EXPECT_EQ(clip::progressBar(150, 600, 95.4, 10), "[##--------]  25%  1:35 left");
  EXPECT_EQ(clip::progressBar(600, 600, 0, 10), "[##########] 100%  0:00 left");
  EXPECT_EQ(clip::progressBar(700, 600, 0, 4), "[####] 100%  0:00 left");
}

TEST(ExportProgress, SummaryNamesTheFileItsLengthAndSize) {
  EXPECT_EQ(clip::clipSummary("run.webm", 12.5, 3 * 1024 * 1024 + 512 * 1024), "wrote run.webm: 12.50 s, 3.5 MB");
  EXPECT_EQ(clip::clipSummary("a.gif", 0.5, 2048), "wrote a.gif: 0.50 s, 2.0 kB");
}

TEST(ExportProgress, PipeGetsOnlyTheClosingLine) {
  ScratchFolder folder;
  const std::string path = folder.path + "/run.mkv";
  std::string output;
  ASSERT_EQ(runCommand(std::string(NOMBRE_CLIP_TOOL) + " write " + path + " 120", &output), 0) << output;
  const std::string start = "wrote " + path + ": 2.00 s, ";
  EXPECT_EQ(output.rfind(start, 0), 0u) << output;
  EXPECT_EQ(output.find('\r'), std::string::npos);
  EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
}

TEST(ExportProgress, TerminalGetsABarRedrawnInPlace) {
  ScratchFolder folder;
  const std::string path = folder.path + "/run.mkv";
  std::string output;
  // script runs the tool on a pseudo-terminal of its own and passes on what it printed.
  const std::string command =
      "script -qec '" + std::string(NOMBRE_CLIP_TOOL) + " write " + path + " 120' /dev/null < /dev/null";
  ASSERT_EQ(runCommand(command, &output), 0) << output;
  EXPECT_NE(output.find("\r[#"), std::string::npos) << output;
  EXPECT_NE(output.find("100%"), std::string::npos) << output;
  const std::size_t summary = output.find("wrote " + path + ": 2.00 s, ");
  ASSERT_NE(summary, std::string::npos) << output;
  // The bar is wiped before the closing line, which stands alone at the end
  // (the terminal ends a line with \r\n).
  EXPECT_EQ(output[summary - 1], '\r');
  const std::string closing = output.substr(summary);
  EXPECT_EQ(closing.find_first_of("\r\n"), closing.size() - 2) << closing;
  EXPECT_EQ(closing.substr(closing.size() - 2), "\r\n");
}

}  // namespace
