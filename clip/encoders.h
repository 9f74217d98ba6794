#pragma once
// The clip writer's encoders: how each kind of file is made, and one file
// being written through FFmpeg's muxer and encoders, its frames given as the
// game's RGBA rows and its sound as interleaved float samples. Used on the
// writer's encoding thread only.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <string>

#include "clip/clip_writer.h"

namespace clip {

// How each kind of file is made.
struct ClipKind {
  const char* muxer;
  const char* videoCodec;
  AVPixelFormat pixels;
  int frameRate;
  const char* audioCodec;  // null: no sound
  bool evenSize;           // 4:2:0 chroma needs even widths and heights
};

ClipKind kindOf(ClipFormat format);

// Byte places of red, green and blue in a lossless pixel (B, G, R, X or A in
// memory on this little-endian machine).
constexpr int kSpoolRed = 2, kSpoolGreen = 1, kSpoolBlue = 0, kSpoolAlpha = 3;

struct Encoder {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  std::int64_t nextPts = 0;
};

// One file being written: its muxer and encoders.
struct Output {
  AVFormatContext* format = nullptr;
  Encoder video;
  Encoder audio;
  SwsContext* scaler = nullptr;
  SwrContext* resampler = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  std::string error;

  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { release(); }

  // Keeps the first failure's line; false.
  bool fail(const std::string& line) {
    if (error.empty()) error = line;
    return false;
  }

  // Lets go of everything FFmpeg holds, closing the file as it stands.
  void release();
};

// Opens the muxer, the encoders (the sound's when the kind has one and
// soundRate is not 0) and the file at `path`, and writes the file's header.
bool openOutput(Output& out, const std::string& path, const ClipKind& kind, int width, int height, int soundRate,
                int soundChannels);
// Sends a frame (null: the end) to an encoder and writes out what it gives back.
bool encode(Output& out, Encoder& encoder, AVFrame* frame);
// A frame of RGBA rows, width x height of the video, into the video encoder.
bool encodeRgba(Output& out, const unsigned char* rgba);
// Interleaved float sound (null at the end, to empty the resampler).
bool encodeSound(Output& out, const float* samples, int frames);
// Empties the encoders and writes the file's end.
bool closeOutput(Output& out);

}  // namespace clip
