#include "clip/clip_writer.h"

extern "C" {
#include <libavutil/log.h>
}

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/console.h"
#include "base/user_files.h"
#include "clip/encoders.h"
#include "clip/gif.h"

namespace clip {
namespace {

// Frames the encoder may be behind the drawing before addFrame waits.
constexpr int kQueuedFrames = 3;

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

// The line refusing a GIF of options.frames frames: they last from the
// first to the last, (frames - 1) / 60 s, as the run's length is said.
std::string gifTooLong(const std::string& path, const ClipOptions& options) {
  char seconds[64];
  std::snprintf(seconds, sizeof seconds, "%.2f s", static_cast<double>(options.frames - 1) / kClipFrameRate);
  char most[64];
  std::snprintf(most, sizeof most, "%.2f s",
                static_cast<double>(mostGifFrames(options.width, options.height) - 1) / kClipFrameRate);
  return "cannot export " + std::string(seconds) + " to " + quotedPath(path) + ": a GIF of " +
         std::to_string(options.width) + "x" + std::to_string(options.height) + " frames holds at most " + most +
         " (--from and --to export a part)";
}

}  // namespace

long long mostGifFrames(int width, int height) {
  const long long pixels = std::max(1LL, static_cast<long long>(width) * height);
  return kClipFrameRate * kLongestGifPixelSeconds / pixels + 1;
}

// What the encoder's thread works on.
struct ClipWork {
  ClipKind kind{};
  bool gif = false;
  Output out;      // the clip, but for a GIF
  GifSpool spool;  // a GIF's kept frames
  Output& written() { return gif ? spool.frames : out; }
};

bool clipFormatOf(const std::string& path, ClipFormat* format) {
  std::string folder, name;
  splitPath(path, &folder, &name);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return false;
  const std::string extension = lowerCase(name.substr(dot + 1));
  const std::pair<const char*, ClipFormat> known[] = {
      {"webm", ClipFormat::webm}, {"mp4", ClipFormat::mp4}, {"gif", ClipFormat::gif}, {"mkv", ClipFormat::mkv}};
  for (const auto& [text, kind] : known) {
    if (extension == text) {
      if (format != nullptr) *format = kind;
      return true;
    }
  }
  return false;
}

ClipWriter::ClipWriter() = default;

ClipWriter::~ClipWriter() {
  if (open_) abort();
}

bool ClipWriter::fail(ClipFailure failure, const std::string& line) {
  if (failure_ == ClipFailure::none) {
    failure_ = failure;
    error_ = line;
  }
  if (open_) abort();
  return false;
}

ClipFailure checkClipTarget(const std::string& path, const ClipOptions& options, std::string* line) {
  ClipFormat format{};
  const std::string shown = quotedPath(path);
  if (!clipFormatOf(path, &format)) {
    *line = "cannot export to " + shown + ": the name must end in .webm, .mp4, .gif or .mkv";
    return ClipFailure::refused;
  }
  const ClipKind kind = kindOf(format);
  if (options.width <= 0 || options.height <= 0 || (kind.evenSize && (options.width % 2 || options.height % 2))) {
    *line = "cannot export " + std::to_string(options.width) + "x" + std::to_string(options.height) + " frames to " +
            shown + (kind.evenSize ? " (its sides must be even)" : "");
    return ClipFailure::refused;
  }
  if (options.soundRate < 0 || (options.soundRate > 0 && options.soundChannels != 1 && options.soundChannels != 2)) {
    *line = "cannot export sound of " + std::to_string(options.soundChannels) + " channels at " +
            std::to_string(options.soundRate) + " Hz";
    return ClipFailure::refused;
  }
  if (format == ClipFormat::gif && options.frames > mostGifFrames(options.width, options.height)) {
    *line = gifTooLong(path, options);
    return ClipFailure::refused;
  }
  // Renaming over a device, a pipe or a folder would replace it: only a
  // regular file, or nothing, may be where the name leads (through links,
  // which stay, as the player's own files do).
  const std::string target = linkTarget(path);
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    *line = "cannot export to " + shown + ": it is not a regular file";
    return ClipFailure::refused;
  }
  if (madeReadOnly(target)) {
    *line = "cannot export to " + shown + ": it is read-only";
    return ClipFailure::refused;
  }
  return ClipFailure::none;
}

bool ClipWriter::open(const std::string& path, const ClipOptions& options) {
  if (open_) abort();
  failure_ = ClipFailure::none;
  error_.clear();
  framesAdded_ = 0;
  path_ = path;
  options_ = options;
  std::string refusal;
  const ClipFailure refused = checkClipTarget(path, options, &refusal);
  if (refused != ClipFailure::none) return fail(refused, refusal);
  ClipFormat format{};
  clipFormatOf(path, &format);
  work_ = std::make_unique<ClipWork>();
  work_->kind = kindOf(format);
  const ClipKind& kind = work_->kind;
  // Our own one line says why a clip failed; FFmpeg's notes would only add to it.
  av_log_set_level(AV_LOG_FATAL);
  // Hidden beside the file it becomes, named for it and for this process: an
  // export that died (killed, or the machine down) left its files under the
  // same names, and the next export to the same file removes them.
  part_.emplace(path);
  work_->gif = format == ClipFormat::gif;
  if (work_->gif) spool_.emplace(path);
  open_ = true;
  const bool opened = work_->gif ? openGifSpool(work_->spool, spool_->path(), options.width, options.height)
                                 : openOutput(work_->out, part_->path(), kind, options.width, options.height,
                                              options.soundRate, options.soundChannels);
  if (!opened) return fail(ClipFailure::failed, work_->written().error);
  encoderFailed_ = false;
  abandoned_ = false;
  encoderError_.clear();
  queue_.clear();
  framesQueued_ = 0;
  encoder_ = std::thread(&ClipWriter::encodeQueued, this);
  return true;
}

bool ClipWriter::takeEncoderFailure() {
  std::string line;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!encoderFailed_) return false;
    line = encoderError_;
  }
  if (options_.stopAsked != nullptr && options_.stopAsked()) {
    fail(ClipFailure::stopped, stoppedLine());
  } else {
    fail(ClipFailure::failed, line);
  }
  return true;
}

std::string ClipWriter::stoppedLine() const {
  return "stopped before the end: " + quotedPath(path_) + " was not written";
}

bool ClipWriter::push(std::vector<unsigned char> pixels, std::vector<float> sound) {
  std::unique_lock<std::mutex> lock(mutex_);
  const bool frame = !pixels.empty();
  changed_.wait(lock, [&] { return encoderFailed_ || !frame || framesQueued_ < kQueuedFrames; });
  if (encoderFailed_) return false;
  if (frame) ++framesQueued_;
  queue_.push_back({std::move(pixels), std::move(sound), false});
  changed_.notify_all();
  return true;
}

bool ClipWriter::addFrame(const unsigned char* rgba) {
  if (!open_) return false;
  if (options_.stopAsked != nullptr && options_.stopAsked()) {
    return fail(ClipFailure::stopped, stoppedLine());
  }
  if (takeEncoderFailure()) return false;
  if (work_->gif && framesAdded_ >= mostGifFrames(options_.width, options_.height)) {
    ClipOptions longer = options_;
    longer.frames = framesAdded_ + 1;
    return fail(ClipFailure::refused, gifTooLong(path_, longer));
  }
  std::vector<unsigned char> pixels;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!spareFrames_.empty()) {
      pixels = std::move(spareFrames_.back());
      spareFrames_.pop_back();
    }
  }
  const std::size_t bytes = static_cast<std::size_t>(options_.width) * options_.height * 4;
  pixels.assign(rgba, rgba + bytes);
  if (!push(std::move(pixels), {})) return !takeEncoderFailure();
  ++framesAdded_;
  return true;
}

bool ClipWriter::addSound(const float* samples, int frames) {
  if (!open_) return false;
  if (takeEncoderFailure()) return false;
  // A GIF and a muted clip have no track: the sound is let go.
  if (options_.soundRate == 0 || work_->kind.audioCodec == nullptr || frames <= 0) return true;
  std::vector<float> block(samples, samples + static_cast<std::size_t>(frames) * options_.soundChannels);
  if (!push({}, std::move(block))) return !takeEncoderFailure();
  return true;
}

bool ClipWriter::addSound(const std::int16_t* samples, int frames) {
  if (frames <= 0) return open_;
  std::vector<float> block(static_cast<std::size_t>(frames) * std::max(options_.soundChannels, 1));
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = samples[i] / 32768.0f;
  return addSound(block.data(), frames);
}

void ClipWriter::encodeQueued() {
  ClipWork& work = *work_;
  Output& out = work.out;
  for (;;) {
    Piece piece;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return !queue_.empty() || abandoned_; });
      if (abandoned_) return;
      piece = std::move(queue_.front());
      queue_.pop_front();
    }
    bool ok = true;
    if (piece.last) {
      ok = work.gif ? writeGif(work.spool, part_->path(), options_.stopAsked) : closeOutput(out);
    } else if (!piece.pixels.empty()) {
      ok = work.gif ? spoolGifFrame(work.spool, piece.pixels.data()) : encodeRgba(out, piece.pixels.data());
    } else if (out.audio.codec != nullptr) {
      ok = encodeSound(out, piece.sound.data(), static_cast<int>(piece.sound.size() / options_.soundChannels));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!piece.pixels.empty()) {
      --framesQueued_;
      spareFrames_.push_back(std::move(piece.pixels));
    }
    if (!ok) {
      encoderFailed_ = true;
      encoderError_ = work.written().error;
    }
    changed_.notify_all();
    if (!ok || piece.last) return;
  }
}

void ClipWriter::stopEncoder() {
  if (!encoder_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back({{}, {}, true});
    changed_.notify_all();
  }
  encoder_.join();
}

bool ClipWriter::finish() {
  if (!open_) return false;
  if (framesAdded_ == 0) return fail(ClipFailure::failed, "no frames to write to " + quotedPath(path_));
  stopEncoder();
  if (takeEncoderFailure()) return false;
  work_->written().release();
  spool_.reset();
  if (!part_->replaceTarget()) {
    const std::string why = std::strerror(errno);
    return fail(ClipFailure::failed, "cannot put the clip at " + quotedPath(path_) + ": " + why);
  }
  open_ = false;
  work_.reset();
  return true;
}

void ClipWriter::abort() {
  if (!open_) return;
  open_ = false;
  // The encoder drops what is queued and ends, leaving the file unfinished.
  if (encoder_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      abandoned_ = true;
      queue_.clear();
      framesQueued_ = 0;
      changed_.notify_all();
    }
    encoder_.join();
  }
  if (work_ != nullptr) work_->written().release();
  spool_.reset();
  part_.reset();
  work_.reset();
}

}  // namespace clip
