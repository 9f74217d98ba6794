#include "clip/clip_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/console.h"
#include "base/user_files.h"

namespace clip {
namespace {

// Frames the encoder may be behind the drawing before addFrame waits.
constexpr int kQueuedFrames = 3;
constexpr int kEncoderThreads = 2;
// The video encoders' settings, chosen by measuring a minute of play
// (docs/engineering.md): VP9 at constant quality, at the speed that keeps
// up with the game; H.264 tuned for flat, drawn pictures.
const char* const kVp9Quality = "34";
const char* const kVp9Deadline = "realtime";
const char* const kVp9Speed = "6";
const char* const kVp9LagFrames = "0";
const char* const kX264Preset = "veryfast";
const char* const kX264Tune = "animation";
const char* const kX264Quality = "23";
constexpr std::int64_t kOpusBitRate = 96'000;
constexpr std::int64_t kAacBitRate = 160'000;
constexpr int kLossyAudioRate = 48000;

std::string avError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

// How each kind of file is made.
struct ClipKind {
  const char* muxer;
  const char* videoCodec;
  AVPixelFormat pixels;
  int frameRate;
  const char* audioCodec;  // null: no sound
  bool evenSize;           // 4:2:0 chroma needs even widths and heights
};

ClipKind kindOf(ClipFormat format) {
  switch (format) {
    case ClipFormat::webm:
      return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P, kClipFrameRate, "libopus", true};
    case ClipFormat::mp4:
      return {"mp4", "libx264", AV_PIX_FMT_YUV420P, kClipFrameRate, "aac", true};
    case ClipFormat::gif:
      return {"gif", "gif", AV_PIX_FMT_PAL8, kGifFrameRate, nullptr, false};
    case ClipFormat::mkv:
      break;
  }
  return {"matroska", "ffv1", AV_PIX_FMT_0RGB32, kClipFrameRate, "flac", false};
}

// The GIF's frames wait in a lossless file of their own until the palette is
// known, opaque, in the pixels FFmpeg's palette filters take.
const ClipKind kGifSpool{"matroska", "ffv1", AV_PIX_FMT_RGB32, kGifFrameRate, nullptr, false};

// Byte places of red, green and blue in a lossless pixel (B, G, R, X or A in
// memory on this little-endian machine).
constexpr int kSpoolRed = 2, kSpoolGreen = 1, kSpoolBlue = 0, kSpoolAlpha = 3;

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
  bool headerWritten = false;
  std::string error;

  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { release(); }

  bool fail(const std::string& line) {
    if (error.empty()) error = line;
    return false;
  }

  void release() {
    avcodec_free_context(&video.codec);
    avcodec_free_context(&audio.codec);
    sws_freeContext(scaler);
    scaler = nullptr;
    swr_free(&resampler);
    if (fifo != nullptr) av_audio_fifo_free(fifo);
    fifo = nullptr;
    av_frame_free(&frame);
    av_packet_free(&packet);
    if (format != nullptr) {
      if (format->pb != nullptr) avio_closep(&format->pb);
      avformat_free_context(format);
      format = nullptr;
    }
  }
};

// BT.709 colours, as players and browsers take an HD picture to be; video
// in 4:2:0 at the limited range its formats use, RGB (lossless, the GIF's
// spool) at the full range.
void tagColours(AVCodecContext* c) {
  c->color_primaries = AVCOL_PRI_BT709;
  c->color_trc = AVCOL_TRC_BT709;
  const bool rgb = c->pix_fmt == AV_PIX_FMT_BGR0 || c->pix_fmt == AV_PIX_FMT_BGRA || c->pix_fmt == AV_PIX_FMT_PAL8;
  c->colorspace = rgb ? AVCOL_SPC_RGB : AVCOL_SPC_BT709;
  c->color_range = rgb ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
}

bool openVideo(Output& out, const ClipKind& kind, int width, int height) {
  const AVCodec* codec = avcodec_find_encoder_by_name(kind.videoCodec);
  if (codec == nullptr) return out.fail(std::string("this FFmpeg has no ") + kind.videoCodec + " encoder");
  AVCodecContext* c = avcodec_alloc_context3(codec);
  out.video.codec = c;
  c->width = width;
  c->height = height;
  c->pix_fmt = kind.pixels;
  c->time_base = {1, kind.frameRate};
  c->framerate = {kind.frameRate, 1};
  c->thread_count = kEncoderThreads;
  tagColours(c);
  if (out.format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = nullptr;
  const std::string name = kind.videoCodec;
  if (name == "libvpx-vp9") {
    // Constant quality (no bit rate aimed at), at the fastest settings that
    // keep a minute of play under 8 MB at 45 dB: see docs/engineering.md.
    c->bit_rate = 0;
    av_dict_set(&options, "crf", kVp9Quality, 0);
    av_dict_set(&options, "deadline", kVp9Deadline, 0);
    av_dict_set(&options, "cpu-used", kVp9Speed, 0);
    av_dict_set(&options, "row-mt", "1", 0);
    av_dict_set(&options, "tile-columns", "1", 0);
    av_dict_set(&options, "lag-in-frames", kVp9LagFrames, 0);
  } else if (name == "libx264") {
    av_dict_set(&options, "preset", kX264Preset, 0);
    av_dict_set(&options, "tune", kX264Tune, 0);
    av_dict_set(&options, "crf", kX264Quality, 0);
  } else if (name == "ffv1") {
    // Slices let both cores share a frame.
    av_dict_set(&options, "level", "3", 0);
    av_dict_set(&options, "slices", "4", 0);
  }
  const int opened = avcodec_open2(c, codec, &options);
  av_dict_free(&options);
  if (opened < 0) return out.fail(std::string("the ") + kind.videoCodec + " encoder refused: " + avError(opened));
  out.video.stream = avformat_new_stream(out.format, nullptr);
  if (out.video.stream == nullptr) return out.fail("out of memory");
  avcodec_parameters_from_context(out.video.stream->codecpar, c);
  out.video.stream->time_base = c->time_base;
  out.video.stream->avg_frame_rate = c->framerate;
  out.video.stream->r_frame_rate = c->framerate;
  return true;
}

bool openAudio(Output& out, const ClipKind& kind, int inRate, int inChannels) {
  const AVCodec* codec = avcodec_find_encoder_by_name(kind.audioCodec);
  if (codec == nullptr) return out.fail(std::string("this FFmpeg has no ") + kind.audioCodec + " encoder");
  AVCodecContext* c = avcodec_alloc_context3(codec);
  out.audio.codec = c;
  const bool lossless = std::strcmp(kind.audioCodec, "flac") == 0;
  c->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  c->sample_rate = lossless ? inRate : kLossyAudioRate;
  c->bit_rate = std::strcmp(kind.audioCodec, "aac") == 0 ? kAacBitRate : kOpusBitRate;
  av_channel_layout_default(&c->ch_layout, 2);
  c->time_base = {1, c->sample_rate};
  if (out.format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  const int opened = avcodec_open2(c, codec, nullptr);
  if (opened < 0) return out.fail(std::string("the ") + kind.audioCodec + " encoder refused: " + avError(opened));
  out.audio.stream = avformat_new_stream(out.format, nullptr);
  if (out.audio.stream == nullptr) return out.fail("out of memory");
  avcodec_parameters_from_context(out.audio.stream->codecpar, c);
  out.audio.stream->time_base = c->time_base;

  AVChannelLayout inLayout;
  av_channel_layout_default(&inLayout, inChannels);
  const int made = swr_alloc_set_opts2(&out.resampler, &c->ch_layout, c->sample_fmt, c->sample_rate, &inLayout,
                                       AV_SAMPLE_FMT_FLT, inRate, 0, nullptr);
  if (made < 0 || swr_init(out.resampler) < 0) return out.fail("the sound cannot be resampled for the clip");
  out.fifo = av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, 1);
  if (out.fifo == nullptr) return out.fail("out of memory");
  return true;
}

// The muxer, the encoders and the file. The muxer is named, not guessed: the
// file's own name ends in its hidden suffix.
bool openOutput(Output& out, const std::string& path, const ClipKind& kind, int width, int height, int soundRate,
                int soundChannels) {
  if (avformat_alloc_output_context2(&out.format, nullptr, kind.muxer, path.c_str()) < 0) {
    return out.fail(std::string("this FFmpeg cannot write ") + kind.muxer);
  }
  out.packet = av_packet_alloc();
  out.frame = av_frame_alloc();
  if (out.packet == nullptr || out.frame == nullptr) return out.fail("out of memory");
  if (!openVideo(out, kind, width, height)) return false;
  if (kind.audioCodec != nullptr && soundRate > 0 && !openAudio(out, kind, soundRate, soundChannels)) return false;
  const int opened = avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE);
  if (opened < 0) return out.fail("cannot write " + path + ": " + avError(opened));
  // An .mp4's index goes before its frames, so a page can play it as it loads.
  AVDictionary* options = nullptr;
  if (std::strcmp(kind.muxer, "mp4") == 0) av_dict_set(&options, "movflags", "+faststart", 0);
  const int written = avformat_write_header(out.format, &options);
  av_dict_free(&options);
  if (written < 0) return out.fail("cannot write " + path + ": " + avError(written));
  out.headerWritten = true;
  return true;
}

bool writeFailed(Output& out, int code) {
  return out.fail("cannot write " + std::string(out.format->url) + ": " + avError(code));
}

// Sends a frame (null: the end) to an encoder and writes out what it gives back.
bool encode(Output& out, Encoder& encoder, AVFrame* frame) {
  int sent = avcodec_send_frame(encoder.codec, frame);
  if (sent < 0) return out.fail(std::string("the encoder failed: ") + avError(sent));
  for (;;) {
    const int got = avcodec_receive_packet(encoder.codec, out.packet);
    if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) break;
    if (got < 0) return out.fail(std::string("the encoder failed: ") + avError(got));
    av_packet_rescale_ts(out.packet, encoder.codec->time_base, encoder.stream->time_base);
    out.packet->stream_index = encoder.stream->index;
    const int written = av_interleaved_write_frame(out.format, out.packet);
    if (written < 0) return writeFailed(out, written);
  }
  if (out.format->pb->error < 0) return writeFailed(out, out.format->pb->error);
  return true;
}

bool newVideoFrame(Output& out) {
  av_frame_unref(out.frame);
  out.frame->format = out.video.codec->pix_fmt;
  out.frame->width = out.video.codec->width;
  out.frame->height = out.video.codec->height;
  if (av_frame_get_buffer(out.frame, 0) < 0) return out.fail("out of memory");
  out.frame->pts = out.video.nextPts++;
  return true;
}

// A frame of RGBA rows into the encoder's pixels.
bool encodeRgba(Output& out, const unsigned char* rgba) {
  if (!newVideoFrame(out)) return false;
  const int width = out.video.codec->width;
  const int height = out.video.codec->height;
  const AVPixelFormat pixels = out.video.codec->pix_fmt;
  if (pixels == AV_PIX_FMT_0RGB32 || pixels == AV_PIX_FMT_RGB32) {
    // Lossless: the bytes moved, not scaled.
    const unsigned char alpha = pixels == AV_PIX_FMT_RGB32 ? 255 : 0;
    for (int y = 0; y < height; ++y) {
      const unsigned char* from = rgba + static_cast<std::size_t>(y) * width * 4;
      unsigned char* to = out.frame->data[0] + static_cast<std::ptrdiff_t>(y) * out.frame->linesize[0];
      for (int x = 0; x < width; ++x, from += 4, to += 4) {
        to[kSpoolRed] = from[0];
        to[kSpoolGreen] = from[1];
        to[kSpoolBlue] = from[2];
        to[kSpoolAlpha] = alpha;
      }
    }
  } else {
    if (out.scaler == nullptr) {
      // Same size: only the colour planes are halved, and the fastest filter
      // does that well enough while keeping an export at the game's pace.
      out.scaler = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, out.video.codec->pix_fmt,
                                  SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
      // The conversion the file's tags say: BT.709, full-range RGB to limited-range video.
      if (out.scaler == nullptr ||
          sws_setColorspaceDetails(out.scaler, sws_getCoefficients(SWS_CS_ITU709), 1,
                                   sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16) < 0) {
        return out.fail("the frames cannot be converted for the encoder");
      }
    }
    const uint8_t* rows[1] = {rgba};
    const int strides[1] = {width * 4};
    sws_scale(out.scaler, rows, strides, 0, height, out.frame->data, out.frame->linesize);
  }
  return encode(out, out.video, out.frame);
}

// Encodes whole codec frames of sound from the queue; at the end, what is left.
bool drainSound(Output& out, bool atEnd) {
  AVCodecContext* c = out.audio.codec;
  const bool anySize = c->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
  const int size = c->frame_size > 0 && !anySize ? c->frame_size : 1024;
  while (av_audio_fifo_size(out.fifo) >= size || (atEnd && av_audio_fifo_size(out.fifo) > 0)) {
    const int take = std::min(size, av_audio_fifo_size(out.fifo));
    const bool padded = take < size && !(c->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    av_frame_unref(out.frame);
    out.frame->nb_samples = padded ? size : take;
    out.frame->format = c->sample_fmt;
    out.frame->sample_rate = c->sample_rate;
    av_channel_layout_copy(&out.frame->ch_layout, &c->ch_layout);
    if (av_frame_get_buffer(out.frame, 0) < 0) return out.fail("out of memory");
    if (padded) av_samples_set_silence(out.frame->data, 0, size, c->ch_layout.nb_channels, c->sample_fmt);
    if (av_audio_fifo_read(out.fifo, reinterpret_cast<void**>(out.frame->data), take) < take) {
      return out.fail("the sound queue lost samples");
    }
    out.frame->pts = out.audio.nextPts;
    out.audio.nextPts += out.frame->nb_samples;
    if (!encode(out, out.audio, out.frame)) return false;
  }
  return true;
}

// Interleaved float sound (null at the end, to empty the resampler).
bool encodeSound(Output& out, const float* samples, int frames) {
  AVCodecContext* c = out.audio.codec;
  const int room = swr_get_out_samples(out.resampler, frames);
  if (room < 0) return out.fail("the sound cannot be resampled for the clip");
  uint8_t** converted = nullptr;
  if (av_samples_alloc_array_and_samples(&converted, nullptr, c->ch_layout.nb_channels, std::max(room, 1),
                                         c->sample_fmt, 0) < 0) {
    return out.fail("out of memory");
  }
  const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
  const int made = swr_convert(out.resampler, converted, room, samples != nullptr ? in : nullptr, frames);
  bool ok = made >= 0 || out.fail("the sound cannot be resampled for the clip");
  if (ok && made > 0 && av_audio_fifo_write(out.fifo, reinterpret_cast<void**>(converted), made) < made) {
    ok = out.fail("out of memory");
  }
  av_freep(&converted[0]);
  av_freep(&converted);
  return ok && drainSound(out, samples == nullptr);
}

// Empties the encoders and writes the file's end.
bool closeOutput(Output& out) {
  if (out.audio.codec != nullptr && !encodeSound(out, nullptr, 0)) return false;
  if (out.audio.codec != nullptr && !encode(out, out.audio, nullptr)) return false;
  if (!encode(out, out.video, nullptr)) return false;
  const int ended = av_write_trailer(out.format);
  if (ended < 0) return writeFailed(out, ended);
  avio_flush(out.format->pb);
  if (out.format->pb->error < 0) return writeFailed(out, out.format->pb->error);
  const int closed = avio_closep(&out.format->pb);
  if (closed < 0) return writeFailed(out, closed);
  return true;
}

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

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The hidden files beside the target: the clip as it is written, and a GIF's
// frames before its palette is known. Their names end in the writer's process
// id; kTemporaryRoom is what these take of a name's bytes, the id included.
const char* const kPartMark = ".part-";
const char* const kSpoolMark = ".frames-";
constexpr std::size_t kTemporaryRoom = 24;

// The file's bytes on the disk before its name says it is there.
bool syncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

// What the encoder's thread works on.
struct ClipWork {
  ClipKind kind{};
  Output out;         // the clip, or for a GIF the spool of its frames
  std::string spoolPath;
  Filter palette;  // for a GIF: palettegen, counting the colours of the frames kept
  long long framesSeen = 0;
};

bool clipFormatOf(const std::string& path, ClipFormat* format) {
  const std::string name = nameOf(path);
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
  target_ = linkTarget(path);
  const std::string folder = folderOf(target_);
  const std::string stem = hiddenStem(nameOf(target_), kTemporaryRoom);
  const std::string pid = std::to_string(::getpid());
  for (const char* mark : {kPartMark, kSpoolMark}) removeDeadWritersFiles(folder.empty() ? "." : folder, stem + mark);
  partPath_ = folder + stem + kPartMark + pid;
  const bool gif = format == ClipFormat::gif;
  if (gif) work_->spoolPath = folder + stem + kSpoolMark + pid;
  open_ = true;
  const bool opened = gif ? openOutput(work_->out, work_->spoolPath, kGifSpool, options.width, options.height, 0, 0)
                          : openOutput(work_->out, partPath_, kind, options.width, options.height,
                                       options.soundRate, options.soundChannels);
  if (!opened) return fail(ClipFailure::failed, work_->out.error);
  if (gif && !openFilter(work_->palette, kGifPaletteFilter, kGifPaletteOptions, {{options.width, options.height}},
                         kGifFrameRate)) {
    return fail(ClipFailure::failed, "the GIF's palette cannot be made by FFmpeg's filters");
  }
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
    const bool gif = !work.spoolPath.empty();
    if (piece.last) {
      ok = closeOutput(out);
      if (ok && gif) {
        AVFrame* palette = av_frame_alloc();
        ok = palette != nullptr && feedFilter(work.palette, 0, nullptr) &&
             av_buffersink_get_frame(work.palette.sink, palette) >= 0;
        Output clip;
        if (!ok) clip.fail("the GIF's palette cannot be made by FFmpeg's filters");
        ok = ok && openOutput(clip, partPath_, work.kind, options_.width, options_.height, 0, 0) &&
             writeGifFromSpool(work.spoolPath, palette, options_.stopAsked, clip);
        av_frame_free(&palette);
        if (!ok) out.fail(clip.error);
      }
    } else if (!piece.pixels.empty()) {
      if (!gif) {
        ok = encodeRgba(out, piece.pixels.data());
      } else if (work.framesSeen % (kClipFrameRate / kGifFrameRate) == 0) {
        // The frame, as spooled, counted by palettegen as well.
        ok = encodeRgba(out, piece.pixels.data()) &&
             (feedFilter(work.palette, 0, out.frame) || out.fail("the GIF's palette cannot be made by FFmpeg's filters"));
      }
      ++work.framesSeen;
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
      encoderError_ = out.error;
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
  work_->out.release();
  if (!work_->spoolPath.empty()) std::remove(work_->spoolPath.c_str());
  // A file replaced keeps its permissions, as the player's files do.
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::chmod(partPath_.c_str(), old.st_mode & 07777);
  if (!syncFile(partPath_) || std::rename(partPath_.c_str(), target_.c_str()) != 0) {
    return fail(ClipFailure::failed, "cannot put the clip at " + quotedPath(path_) + ": " + std::strerror(errno));
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
  if (work_ != nullptr) {
    work_->out.release();
    if (!work_->spoolPath.empty()) std::remove(work_->spoolPath.c_str());
  }
  std::remove(partPath_.c_str());
  work_.reset();
}

}  // namespace clip
