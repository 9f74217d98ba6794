#pragma once
// Writes a run as a video file, frame by frame, with its sound track, through
// FFmpeg's libraries. The kind of file follows the name's extension:
//   .webm  VP9 at constant quality (libvpx's realtime speed) and Opus
//   .mp4   H.264 and AAC, the index before the frames (ready to stream)
//   .gif   no sound, every other frame (30 a second), one palette made for
//          the clip by FFmpeg's palettegen and drawn by paletteuse; at most
//          a minute at 800x600 (see mostGifFrames)
//   .mkv   FFV1 and FLAC, lossless: every frame decodes to exactly its pixels
// The video is tagged BT.709 (limited range in 4:2:0, full range in RGB)
// and converted from the game's RGB by that same matrix.
// Frames go to an encoder on a second thread through a short queue, so
// drawing the next frame and encoding this one overlap; nothing but that
// queue is held in memory. The file is written beside the target as a
// TemporaryFile (base/temporary_file.h) and renamed over it only once it is
// complete: a failure, or a stop asked for, leaves no file at the target and
// no part of one beside it; what a writer that died left there goes at the
// next clip to that target. A target that is a symlink is written through,
// and the link stays.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/quit_signals.h"
#include "base/temporary_file.h"

namespace clip {

enum class ClipFormat { webm, mp4, gif, mkv };

// The format the file's name asks for, false for an extension we do not write.
bool clipFormatOf(const std::string& path, ClipFormat* format);

constexpr int kClipFrameRate = 60;
// A GIF keeps every other frame: browsers and viewers play no faster.
constexpr int kGifFrameRate = 30;
// A GIF's kept frames wait on the disk, losslessly, until its palette is
// known, so how long a GIF may be is bounded by its pixels: a minute at
// 800x600, proportionally less at a larger size (15 s at 1600x1200) and
// more at a smaller one. The frames waiting are then a few hundred MB of
// the game's pictures (about 5 MB a second at 800x600).
constexpr long long kLongestGifPixelSeconds = 60LL * 800 * 600;
// The most frames (of 60 a second) a GIF of width x height may be given:
// 3601 at 800x600, its first frame and those of the minute after it.
long long mostGifFrames(int width, int height);

struct ClipOptions {
  int width = 0;
  int height = 0;
  // Frames a second of the sound blocks given, and their channels (1 or 2).
  // A rate of 0 leaves the sound track out (the mute option); a GIF has none.
  int soundRate = 0;
  int soundChannels = 2;
  // The frames the clip will be given, when known (0: not known): a GIF of
  // more than mostGifFrames is refused before it starts.
  long long frames = 0;
  // Checked before each frame: true stops the clip, leaving nothing written.
  // By default, a quit signal (Ctrl+C, SIGTERM, SIGHUP) once listened for.
  bool (*stopAsked)() = quitSignalled;
};

enum class ClipFailure {
  none,
  refused,  // the name or the options ask for a clip we do not write (exit 2)
  failed,   // the file could not be made: the disk, the folder, the encoder (exit 1)
  stopped,  // a stop was asked for before the end (exit 1)
};

// Whether a clip with these options may go to `path`, said as open() says
// it (the failure, and its line in *line), without making anything: the
// name, the size, a GIF's length, and what is at the target (through links:
// only a regular file the player has not made read-only, or nothing).
ClipFailure checkClipTarget(const std::string& path, const ClipOptions& options, std::string* line);

struct ClipWork;

class ClipWriter {
 public:
  ClipWriter();
  ClipWriter(const ClipWriter&) = delete;
  ClipWriter& operator=(const ClipWriter&) = delete;
  // A clip neither finished nor aborted is aborted.
  ~ClipWriter();

  // Starts a clip for the file at path. False, with failure() and error()
  // set, when the name, the options or the folder will not do.
  bool open(const std::string& path, const ClipOptions& options);
  // The next frame, 1/60 s after the last: width x height RGBA pixels, top
  // row first (alpha is not kept). Waits while the encoder is a few frames
  // behind. A GIF given more than mostGifFrames is refused.
  bool addFrame(const unsigned char* rgba);
  // Sound to go with the frames, interleaved, `frames` frames of soundChannels
  // samples at soundRate. Give each frame's sound as it comes (about
  // soundRate / 60 frames a video frame): the file interleaves the two.
  bool addSound(const float* samples, int frames);
  bool addSound(const std::int16_t* samples, int frames);
  // Ends the encoding and puts the file at the target. False, leaving no
  // file, when anything failed.
  bool finish();
  // Gives the clip up: nothing stays at the target or beside it.
  void abort();

  ClipFailure failure() const { return failure_; }
  // One line saying why the clip was not written.
  const std::string& error() const { return error_; }
  // The target's path.
  const std::string& path() const { return path_; }

 private:
  bool fail(ClipFailure failure, const std::string& line);
  bool takeEncoderFailure();
  std::string stoppedLine() const;
  bool push(std::vector<unsigned char> pixels, std::vector<float> sound);
  void encodeQueued();
  void stopEncoder();

  std::string path_;
  std::optional<TemporaryFile> part_;   // the clip as it is written
  std::optional<TemporaryFile> spool_;  // a GIF's kept frames, before its palette is known
  ClipOptions options_;
  ClipFailure failure_ = ClipFailure::none;
  std::string error_;
  long long framesAdded_ = 0;
  bool open_ = false;

  std::unique_ptr<ClipWork> work_;  // the encoder's state, used on its thread only
  std::thread encoder_;
  std::mutex mutex_;
  std::condition_variable changed_;
  struct Piece {
    std::vector<unsigned char> pixels;  // a frame, or empty
    std::vector<float> sound;           // a block of sound, or empty
    bool last = false;
  };
  std::deque<Piece> queue_;
  std::vector<std::vector<unsigned char>> spareFrames_;
  int framesQueued_ = 0;
  bool encoderFailed_ = false;
  bool abandoned_ = false;
  std::string encoderError_;
};

}  // namespace clip
