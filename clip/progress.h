#pragma once
// What an export shows while it runs. On a terminal: a bar with the share
// done and the time left, redrawn in place. Elsewhere (a pipe, a file, a
// log): nothing until the end. Either way, one line at the end saying what
// was written.
#include <chrono>
#include <cstdio>
#include <string>

namespace clip {

// The bar for `done` of `total` frames, `secondsLeft` to go (below 0: not
// known yet), without the carriage return; `cells` wide between its brackets.
std::string progressBar(long long done, long long total, double secondsLeft, int cells);
// The closing line: the file, the clip's length and the file's size.
std::string clipSummary(const std::string& path, double seconds, long long bytes);

class ExportProgress {
 public:
  // Draws to out, a bar only when out is a terminal.
  ExportProgress(std::FILE* out, long long totalFrames);
  // `done` frames of the total are written.
  void framesDone(long long done);
  // Takes the bar off the line, so that a failure's line stands alone.
  void clear();
  // Ends with the summary of the file written.
  void finished(const std::string& path, long long frames, int frameRate);

 private:
  std::FILE* out_;
  long long total_;
  bool onTerminal_;
  bool drawn_ = false;
  int shownPercent_ = -1;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastDrawn_;
};

}  // namespace clip
