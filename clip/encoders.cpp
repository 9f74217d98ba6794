#include "clip/encoders.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>

namespace clip {
namespace {

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

// FFV1 cuts a frame into slices of at most 2^27 bits of samples each, in its
// reckoning (nine bits a channel): four, two by two, let both cores share a
// frame; a frame too large for four takes the fewest squares that hold it.
int ffv1Slices(int width, int height, AVPixelFormat pixels) {
  const long long channels = pixels == AV_PIX_FMT_RGB32 ? 4 : 3;
  constexpr long long kMostSliceBits = 8LL << 24;
  constexpr int kMostSide = 16;
  int side = 2;
  auto sliceBits = [&] {
    return static_cast<long long>((width + side - 1) / side) * ((height + side - 1) / side) * 9 * channels;
  };
  while (side < kMostSide && sliceBits() > kMostSliceBits) ++side;
  return side * side;
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
    av_dict_set(&options, "level", "3", 0);
    av_dict_set(&options, "slices", std::to_string(ffv1Slices(width, height, kind.pixels)).c_str(), 0);
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

bool writeFailed(Output& out, int code) {
  return out.fail("cannot write " + std::string(out.format->url) + ": " + avError(code));
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

}  // namespace

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

void Output::release() {
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
  return true;
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
    // swscale reads four planes' rows and strides; RGBA has one.
    const uint8_t* const rows[4] = {rgba, nullptr, nullptr, nullptr};
    const int strides[4] = {width * 4, 0, 0, 0};
    sws_scale(out.scaler, rows, strides, 0, height, out.frame->data, out.frame->linesize);
  }
  return encode(out, out.video, out.frame);
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

}  // namespace clip
