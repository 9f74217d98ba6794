#pragma once
// Reads a written clip back with libavformat and libavcodec, as a player would.
#include <string>
#include <vector>

struct ReadStream {
  bool video = false;
  std::string codec;  // FFmpeg's name: "vp9", "opus", "ffv1", ...
  int width = 0;
  int height = 0;
  double frameRate = 0;  // the stream's average
  int sampleRate = 0;
  // The colour tags, by FFmpeg's names ("bt709", "tv", "unknown", ...).
  std::string colourSpace, colourPrimaries, colourTransfer, colourRange;
};

struct ReadClip {
  std::vector<ReadStream> streams;
  double seconds = 0;   // the file's duration
  int videoFrames = 0;  // frames decoded
  std::vector<std::vector<unsigned char>> rgb;  // each frame's pixels, for FFV1 and GIF
  // The first frame of a 4:2:0 video as RGB, converted as its tags say (as a player does).
  std::vector<unsigned char> firstVideoRgb;
  float soundPeak = 0;  // of every sample decoded
  std::vector<short> sound16;  // every sample, interleaved, when the track decodes to 16 bits
};

// False, with *why, when the file cannot be opened or decoded.
bool readClip(const std::string& path, ReadClip* clip, std::string* why);
