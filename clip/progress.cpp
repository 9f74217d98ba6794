#include "clip/progress.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "base/console.h"

namespace clip {
namespace {

constexpr int kBarCells = 30;
// A bar redraws when its share moves a percent, or this often for the time left.
constexpr std::chrono::milliseconds kRedrawEvery{250};

std::string minutesAndSeconds(double seconds) {
  const long long whole = std::llround(std::max(seconds, 0.0));
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

}  // namespace

std::string progressBar(long long done, long long total, double secondsLeft, int cells) {
  const double share = total > 0 ? std::clamp(static_cast<double>(done) / total, 0.0, 1.0) : 0.0;
  const int filled = static_cast<int>(share * cells);
  std::string bar = "[" + std::string(filled, '#') + std::string(cells - filled, '-') + "] ";
  char percent[16];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(share * 100));
  bar += percent;
  bar += secondsLeft < 0 ? "  -:-- left" : "  " + minutesAndSeconds(secondsLeft) + " left";
  return bar;
}

std::string clipSummary(const std::string& path, double seconds, long long bytes) {
  char text[64];
  if (bytes >= 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024.0 * 1024.0));
  } else {
    std::snprintf(text, sizeof text, "%.1f kB", bytes / 1024.0);
  }
  char length[32];
  std::snprintf(length, sizeof length, "%.2f s", seconds);
  return "wrote " + quotedPath(path) + ": " + length + ", " + text;
}

ExportProgress::ExportProgress(std::FILE* out, long long totalFrames)
    : out_(out),
      total_(totalFrames),
      onTerminal_(isatty(fileno(out)) != 0),
      started_(std::chrono::steady_clock::now()),
      lastDrawn_(started_) {}

void ExportProgress::framesDone(long long done) {
  if (!onTerminal_ || total_ <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  const int percent = static_cast<int>(std::clamp(done * 100 / total_, 0LL, 100LL));
  if (drawn_ && percent == shownPercent_ && now - lastDrawn_ < kRedrawEvery) return;
  const double elapsed = std::chrono::duration<double>(now - started_).count();
  const double left = done > 0 ? elapsed * static_cast<double>(total_ - done) / done : -1.0;
  std::fprintf(out_, "\r%s", progressBar(done, total_, left, kBarCells).c_str());
  std::fflush(out_);
  drawn_ = true;
  shownPercent_ = percent;
  lastDrawn_ = now;
}

void ExportProgress::clear() {
  if (!drawn_) return;
  // Spaces over the bar, then back to the line's start.
  std::fprintf(out_, "\r%*s\r", static_cast<int>(progressBar(0, 1, 0, kBarCells).size()), "");
  std::fflush(out_);
  drawn_ = false;
}

void ExportProgress::finished(const std::string& path, long long frames, int frameRate) {
  clear();
  struct stat info {};
  const long long bytes = ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
  std::fprintf(out_, "%s\n", clipSummary(path, static_cast<double>(frames) / frameRate, bytes).c_str());
  std::fflush(out_);
}

}  // namespace clip
