#pragma once
// A GIF's frames and colours. One palette is made for the whole clip, so the
// kept frames (every other one) wait in a lossless file of their own beside
// the GIF while FFmpeg's palettegen counts their colours; at the end each is
// read back and drawn in that palette by paletteuse. Used on the writer's
// encoding thread only.
#include <string>

#include "clip/encoders.h"

extern "C" {
#include <libavfilter/avfilter.h>
}

namespace clip {

// A filter graph of FFmpeg's with one filter: frames of the clip's size go
// in through a source per input of the filter, and come out of its sink.
struct Filter {
  AVFilterGraph* graph = nullptr;
  AVFilterContext* sources[2] = {};
  AVFilterContext* sink = nullptr;

  Filter() = default;
  Filter(const Filter&) = delete;
  Filter& operator=(const Filter&) = delete;
  ~Filter() { avfilter_graph_free(&graph); }
};

// A GIF's kept frames on their way to it.
struct GifSpool {
  std::string path;
  Output frames;   // the kept frames, losslessly, in the spool's file
  Filter palette;  // palettegen, counting the colours of the frames kept
  long long framesSeen = 0;
};

// Opens the spool's file at `path` for frames of width x height; false with
// the line in spool.frames.error.
bool openGifSpool(GifSpool& spool, const std::string& path, int width, int height);
// The next frame of the clip (60 a second): every other one is spooled and
// its colours counted.
bool spoolGifFrame(GifSpool& spool, const unsigned char* rgba);
// Ends the spool and writes the GIF at `path` from it, in the palette of its
// colours. A long clip takes a while here, so a stop is still heard between
// frames. False with the line in spool.frames.error.
bool writeGif(GifSpool& spool, const std::string& path, bool (*stopAsked)());

}  // namespace clip
