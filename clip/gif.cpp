#include "clip/gif.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include <utility>
#include <vector>

namespace clip {
namespace {

// The GIF's frames wait in a lossless file of their own until the palette is
// known, opaque, in the pixels FFmpeg's palette filters take.
const ClipKind kGifSpool{"matroska", "ffv1", AV_PIX_FMT_RGB32, kGifFrameRate, nullptr, false};

// How a GIF's colours are chosen and drawn, by FFmpeg's filters: one palette
// for the whole clip from a count of every colour its frames show, then each
// pixel drawn in the nearest of them. No dithering: on the game's flat,
// drawn pictures its noise made the GIF 10-60% larger and measured further
// from the frames (docs/engineering.md). 200 colours (none kept for
// transparency, which saved nothing) keep a GIF no larger than the palette
// the game used to make itself; a clip of no more colours keeps them
// exactly. Only what changed from the frame before is drawn again.
const char* const kGifPaletteFilter = "palettegen";
const char* const kGifPaletteOptions = "max_colors=200:reserve_transparent=0:stats_mode=full";
const char* const kGifDrawFilter = "paletteuse";
const char* const kGifDrawOptions = "dither=none:diff_mode=rectangle";

// `sizes` gives each input's width and height: the frames, then (for
// paletteuse) the palette.
bool openFilter(Filter& filter, const char* name, const char* options, const std::vector<std::pair<int, int>>& sizes,
                int frameRate) {
  filter.graph = avfilter_graph_alloc();
  if (filter.graph == nullptr) return false;
  filter.graph->nb_threads = 1;
  AVFilterContext* middle = nullptr;
  if (avfilter_graph_create_filter(&middle, avfilter_get_by_name(name), name, options, nullptr, filter.graph) < 0 ||
      avfilter_graph_create_filter(&filter.sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                   filter.graph) < 0 ||
      avfilter_link(middle, 0, filter.sink, 0) < 0) {
    return false;
  }
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const std::string source = "video_size=" + std::to_string(sizes[i].first) + "x" + std::to_string(sizes[i].second) +
                               ":pix_fmt=" + av_get_pix_fmt_name(AV_PIX_FMT_RGB32) +
                               ":time_base=1/" + std::to_string(frameRate) + ":pixel_aspect=1/1";
    if (avfilter_graph_create_filter(&filter.sources[i], avfilter_get_by_name("buffer"), ("in" + std::to_string(i)).c_str(),
                                     source.c_str(), nullptr, filter.graph) < 0 ||
        avfilter_link(filter.sources[i], 0, middle, static_cast<unsigned>(i)) < 0) {
      return false;
    }
  }
  return avfilter_graph_config(filter.graph, nullptr) >= 0;
}

// Gives a filter's input a frame (null: its end), the frame kept by the caller.
bool feedFilter(Filter& filter, int input, AVFrame* frame) {
  return av_buffersrc_add_frame_flags(filter.sources[input], frame,
                                      AV_BUFFERSRC_FLAG_KEEP_REF | AV_BUFFERSRC_FLAG_PUSH) >= 0;
}

// The GIF from the spool: each kept frame decoded and drawn in the palette
// by paletteuse. A long clip takes a while here, so a stop is still heard
// between frames.
bool writeGifFromSpool(const std::string& spoolPath, AVFrame* palette, bool (*stopAsked)(), Output& gif) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, spoolPath.c_str(), nullptr, nullptr) < 0) {
    return gif.fail("cannot read back the clip's frames from " + spoolPath);
  }
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_FFV1);
  AVCodecContext* decoder = avcodec_alloc_context3(codec);
  AVFrame* decoded = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  bool ok = avformat_find_stream_info(input, nullptr) >= 0 && input->nb_streams == 1 && decoder != nullptr &&
            decoded != nullptr && packet != nullptr &&
            avcodec_parameters_to_context(decoder, input->streams[0]->codecpar) >= 0 &&
            avcodec_open2(decoder, codec, nullptr) >= 0;
  if (!ok) gif.fail("cannot read back the clip's frames from " + spoolPath);
  Filter draw;
  if (ok) {
    palette->pts = 0;
    ok = (openFilter(draw, kGifDrawFilter, kGifDrawOptions,
                     {{gif.video.codec->width, gif.video.codec->height}, {palette->width, palette->height}},
                     kGifFrameRate) &&
          feedFilter(draw, 1, palette) && feedFilter(draw, 1, nullptr)) ||
         gif.fail("the GIF's colours cannot be drawn by FFmpeg's filters");
  }
  // Every frame the filter has drawn, into the GIF.
  auto encodeDrawn = [&]() {
    for (;;) {
      av_frame_unref(gif.frame);
      const int got = av_buffersink_get_frame(draw.sink, gif.frame);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return gif.fail("the GIF's colours cannot be drawn by FFmpeg's filters");
      gif.frame->pts = gif.video.nextPts++;
      if (!encode(gif, gif.video, gif.frame)) return false;
    }
  };
  auto drawDecoded = [&]() {
    for (;;) {
      const int got = avcodec_receive_frame(decoder, decoded);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0 || decoded->format != AV_PIX_FMT_RGB32) return gif.fail("the clip's frames did not read back");
      if (stopAsked != nullptr && stopAsked()) return gif.fail("stopped");
      if (!feedFilter(draw, 0, decoded)) return gif.fail("the GIF's colours cannot be drawn by FFmpeg's filters");
      av_frame_unref(decoded);
      if (!encodeDrawn()) return false;
    }
  };
  while (ok && av_read_frame(input, packet) >= 0) {
    ok = avcodec_send_packet(decoder, packet) >= 0 || gif.fail("the clip's frames did not read back");
    av_packet_unref(packet);
    ok = ok && drawDecoded();
  }
  if (ok) ok = avcodec_send_packet(decoder, nullptr) >= 0 && drawDecoded();
  if (ok) ok = (feedFilter(draw, 0, nullptr) || gif.fail("the GIF's colours cannot be drawn")) && encodeDrawn();
  av_packet_free(&packet);
  av_frame_free(&decoded);
  avcodec_free_context(&decoder);
  avformat_close_input(&input);
  return ok && closeOutput(gif);
}

}  // namespace

bool openGifSpool(GifSpool& spool, const std::string& path, int width, int height) {
  spool.path = path;
  if (!openOutput(spool.frames, path, kGifSpool, width, height, 0, 0)) return false;
  return openFilter(spool.palette, kGifPaletteFilter, kGifPaletteOptions, {{width, height}}, kGifFrameRate) ||
         spool.frames.fail("the GIF's palette cannot be made by FFmpeg's filters");
}

bool spoolGifFrame(GifSpool& spool, const unsigned char* rgba) {
  bool ok = true;
  if (spool.framesSeen % (kClipFrameRate / kGifFrameRate) == 0) {
    // The frame, as spooled, counted by palettegen as well.
    ok = encodeRgba(spool.frames, rgba) && (feedFilter(spool.palette, 0, spool.frames.frame) ||
                                            spool.frames.fail("the GIF's palette cannot be made by FFmpeg's filters"));
  }
  ++spool.framesSeen;
  return ok;
}

bool writeGif(GifSpool& spool, const std::string& path, bool (*stopAsked)()) {
  Output& out = spool.frames;
  if (!closeOutput(out)) return false;
  AVFrame* palette = av_frame_alloc();
  bool ok = palette != nullptr && feedFilter(spool.palette, 0, nullptr) &&
            av_buffersink_get_frame(spool.palette.sink, palette) >= 0;
  Output clip;
  if (!ok) clip.fail("the GIF's palette cannot be made by FFmpeg's filters");
  ok = ok && openOutput(clip, path, kindOf(ClipFormat::gif), out.video.codec->width, out.video.codec->height, 0, 0) &&
       writeGifFromSpool(spool.path, palette, stopAsked, clip);
  av_frame_free(&palette);
  if (!ok) out.fail(clip.error);
  return ok;
}

}  // namespace clip
