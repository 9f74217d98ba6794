#include "tests/clip/clip_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The frame's pixels as RGB, for the formats a lossless clip decodes to.
bool keepRgb(const AVFrame* frame, ReadClip* clip) {
  const bool bgr = frame->format == AV_PIX_FMT_BGR0 || frame->format == AV_PIX_FMT_BGRA;
  if (!bgr) return frame->format != AV_PIX_FMT_PAL8;
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<std::size_t>(frame->width) * frame->height * 3);
  for (int y = 0; y < frame->height; ++y) {
    const unsigned char* p = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
    for (int x = 0; x < frame->width; ++x, p += 4) rgb.insert(rgb.end(), {p[2], p[1], p[0]});
  }
  clip->rgb.push_back(std::move(rgb));
  return true;
}

// A 4:2:0 frame as RGB, by the matrix and range its tags give.
std::vector<unsigned char> rgbByTags(const AVFrame* frame) {
  SwsContext* scaler = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                      frame->width, frame->height, AV_PIX_FMT_RGB24, SWS_BICUBIC | SWS_ACCURATE_RND,
                                      nullptr, nullptr, nullptr);
  const int matrix = frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
  sws_setColorspaceDetails(scaler, sws_getCoefficients(matrix), frame->color_range == AVCOL_RANGE_JPEG,
                           sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
  std::vector<unsigned char> rgb(static_cast<std::size_t>(frame->width) * frame->height * 3);
  uint8_t* rows[1] = {rgb.data()};
  const int strides[1] = {frame->width * 3};
  sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, rows, strides);
  sws_freeContext(scaler);
  return rgb;
}

float peakOf(const AVFrame* frame) {
  float peak = 0;
  const int channels = frame->ch_layout.nb_channels;
  const bool planar = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(frame->format));
  const int planes = planar ? channels : 1;
  const int perPlane = frame->nb_samples * (planar ? 1 : channels);
  for (int plane = 0; plane < planes; ++plane) {
    for (int i = 0; i < perPlane; ++i) {
      float v = 0;
      switch (frame->format) {
        case AV_SAMPLE_FMT_FLT:
        case AV_SAMPLE_FMT_FLTP:
          v = reinterpret_cast<const float*>(frame->data[plane])[i];
          break;
        case AV_SAMPLE_FMT_S16:
        case AV_SAMPLE_FMT_S16P:
          v = reinterpret_cast<const int16_t*>(frame->data[plane])[i] / 32768.0f;
          break;
        case AV_SAMPLE_FMT_S32:
        case AV_SAMPLE_FMT_S32P:
          v = static_cast<float>(reinterpret_cast<const int32_t*>(frame->data[plane])[i] / 2147483648.0);
          break;
        default:
          break;
      }
      peak = std::max(peak, std::fabs(v));
    }
  }
  return peak;
}

}  // namespace

bool readClip(const std::string& path, ReadClip* clip, std::string* why) {
  *clip = ReadClip{};
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
    *why = "cannot open " + path;
    return false;
  }
  std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> closeFormat(&format, avformat_close_input);
  if (avformat_find_stream_info(format, nullptr) < 0) {
    *why = "no stream information";
    return false;
  }
  clip->seconds = format->duration > 0 ? static_cast<double>(format->duration) / AV_TIME_BASE : 0;
  std::vector<AVCodecContext*> decoders;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVStream* stream = format->streams[i];
    ReadStream read;
    read.video = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    read.codec = avcodec_get_name(stream->codecpar->codec_id);
    read.width = stream->codecpar->width;
    read.height = stream->codecpar->height;
    read.frameRate = av_q2d(stream->avg_frame_rate);
    read.sampleRate = stream->codecpar->sample_rate;
    auto named = [](const char* name) { return std::string(name != nullptr ? name : "unknown"); };
    read.colourSpace = named(av_color_space_name(stream->codecpar->color_space));
    read.colourPrimaries = named(av_color_primaries_name(stream->codecpar->color_primaries));
    read.colourTransfer = named(av_color_transfer_name(stream->codecpar->color_trc));
    read.colourRange = named(av_color_range_name(stream->codecpar->color_range));
    clip->streams.push_back(read);
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    if (codec == nullptr || avcodec_open2(decoder, codec, nullptr) < 0) *why = "no decoder for " + read.codec;
    decoders.push_back(decoder);
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  bool ok = why->empty();
  auto drain = [&](unsigned index) {
    while (avcodec_receive_frame(decoders[index], frame) >= 0) {
      if (clip->streams[index].video) {
        ++clip->videoFrames;
        if (!keepRgb(frame, clip)) ok = false;
        if (frame->format == AV_PIX_FMT_YUV420P && clip->firstVideoRgb.empty()) clip->firstVideoRgb = rgbByTags(frame);
      } else {
        clip->soundPeak = std::max(clip->soundPeak, peakOf(frame));
        if (frame->format == AV_SAMPLE_FMT_S16) {
          const auto* samples = reinterpret_cast<const short*>(frame->data[0]);
          clip->sound16.insert(clip->sound16.end(), samples,
                               samples + frame->nb_samples * frame->ch_layout.nb_channels);
        }
      }
    }
  };
  while (ok && av_read_frame(format, packet) >= 0) {
    const unsigned index = static_cast<unsigned>(packet->stream_index);
    if (avcodec_send_packet(decoders[index], packet) < 0) ok = false;
    av_packet_unref(packet);
    drain(index);
  }
  for (unsigned i = 0; ok && i < decoders.size(); ++i) {
    avcodec_send_packet(decoders[i], nullptr);
    drain(i);
  }
  if (!ok && why->empty()) *why = "the clip did not decode";
  av_frame_free(&frame);
  av_packet_free(&packet);
  for (AVCodecContext*& decoder : decoders) avcodec_free_context(&decoder);
  return ok;
}
