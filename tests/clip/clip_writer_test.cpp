// The clip writer: each kind of file as a player reads it back, the lossless
// one pixel for pixel, and every way a clip can fail leaving nothing behind.
#include "clip/clip_writer.h"

#include <GL/glew.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "clip/offscreen_gl.h"
#include "tests/clip/clip_reader.h"
#include "tests/clip/clip_test_support.h"
#include "tests/scratch_folder.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kSoundRate = 22050;

// Frame n of a clip: noise, so that a lossless file has nothing easy to keep.
// With few colours, 200: as many as a GIF's palette holds, so it keeps them exactly.
std::vector<unsigned char> frameOf(int n, bool fewColours) {
  std::vector<unsigned char> rgba(kWidth * kHeight * 4);
  std::uint32_t seed = 2654435761u * static_cast<std::uint32_t>(n + 1);
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    seed = seed * 1664525u + 1013904223u;
    if (fewColours) {
      const std::uint32_t colour = (seed >> 24) % 200;  // 200 colours, each channel a multiple of 8
      rgba[i] = static_cast<unsigned char>((colour % 8) * 32 + 8);
      rgba[i + 1] = static_cast<unsigned char>((colour / 8 % 5) * 48);
      rgba[i + 2] = static_cast<unsigned char>((colour / 40) * 40 + 16);
    } else {
      rgba[i] = static_cast<unsigned char>(seed >> 8);
      rgba[i + 1] = static_cast<unsigned char>(seed >> 16);
      rgba[i + 2] = static_cast<unsigned char>(seed >> 24);
    }
    rgba[i + 3] = 255;
  }
  return rgba;
}

// A tone, as much sound as one frame lasts.
std::vector<float> soundOf(int frame) {
  const int perFrame = kSoundRate / clip::kClipFrameRate;
  std::vector<float> samples(perFrame);
  for (int i = 0; i < perFrame; ++i) {
    samples[i] = 0.5f * static_cast<float>(std::sin((frame * perFrame + i) * 2 * M_PI * 440.0 / kSoundRate));
  }
  return samples;
}

clip::ClipOptions optionsWithSound(bool sound) {
  clip::ClipOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.soundRate = sound ? kSoundRate : 0;
  options.soundChannels = 1;
  options.stopAsked = nullptr;
  return options;
}

// Writes `frames` frames and their sound; false when the writer said no.
// *taken (if given) counts the frames it took.
bool writeFrames(clip::ClipWriter& writer, int frames, bool fewColours, int* taken = nullptr) {
  for (int n = 0; n < frames; ++n) {
    const std::vector<float> sound = soundOf(n);
    if (!writer.addFrame(frameOf(n, fewColours).data())) return false;
    if (taken != nullptr) ++*taken;
    if (!writer.addSound(sound.data(), static_cast<int>(sound.size()))) return false;
  }
  return writer.finish();
}

std::string contentsOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The boxes at the top of an .mp4, in the order the file has them.
std::vector<std::string> topBoxesOf(const std::string& path) {
  const std::string bytes = contentsOf(path);
  std::vector<std::string> boxes;
  for (std::size_t at = 0; at + 8 <= bytes.size();) {
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i) size = size << 8 | static_cast<unsigned char>(bytes[at + i]);
    boxes.push_back(bytes.substr(at + 4, 4));
    if (size < 8) break;
    at += size;
  }
  return boxes;
}

TEST(ClipFormat, FollowsTheExtension) {
  const struct {
    const char* name;
    bool known;
    clip::ClipFormat format;
  } cases[] = {
      {"run.webm", true, clip::ClipFormat::webm},   {"a/b/run.mp4", true, clip::ClipFormat::mp4},
      {"RUN.GIF", true, clip::ClipFormat::gif},     {"run.final.mkv", true, clip::ClipFormat::mkv},
      {"run.avi", false, {}},                       {"run", false, {}},
      {"webm", false, {}},                          {".webm", false, {}},
      {"clips.webm/run", false, {}},
  };
  for (const auto& c : cases) {
    clip::ClipFormat format{};
    EXPECT_EQ(clip::clipFormatOf(c.name, &format), c.known) << c.name;
    if (c.known) {
      EXPECT_EQ(format, c.format) << c.name;
    }
  }
}

struct Kind {
  const char* extension;
  const char* video;
  const char* audio;  // "" for none
  double frameRate;
  bool exact;  // decodes to exactly the frames given (every other one for a GIF)
  const char* matrix;  // the colour tags: matrix and range ("" where the file has no place for them)
  const char* range;
};

class ClipKinds : public ::testing::TestWithParam<Kind> {};

TEST_P(ClipKinds, PlayersReadWhatWasGiven) {
  const Kind kind = GetParam();
  constexpr int kFrames = 45;
  ScratchFolder folder;
  const std::string path = folder.path + "/run." + kind.extension;
  const bool gif = std::string(kind.extension) == "gif";
  clip::ClipWriter writer;
  ASSERT_TRUE(writer.open(path, optionsWithSound(true))) << writer.error();
  ASSERT_TRUE(writeFrames(writer, kFrames, gif)) << writer.error();
  EXPECT_EQ(filesIn(folder.path), std::vector<std::string>{std::string("run.") + kind.extension});

  ReadClip read;
  std::string why;
  ASSERT_TRUE(readClip(path, &read, &why)) << why;
  const bool withSound = *kind.audio != '\0';
  ASSERT_EQ(read.streams.size(), withSound ? 2u : 1u);
  const ReadStream& video = read.streams[0].video ? read.streams[0] : read.streams[1];
  EXPECT_EQ(video.codec, kind.video);
  EXPECT_EQ(video.width, kWidth);
  EXPECT_EQ(video.height, kHeight);
  if (*kind.matrix != '\0') {
    EXPECT_EQ(video.colourSpace, kind.matrix);
    EXPECT_EQ(video.colourRange, kind.range);
    EXPECT_EQ(video.colourPrimaries, "bt709");
    EXPECT_EQ(video.colourTransfer, "bt709");
  }
  if (std::string(kind.extension) == "mp4") {
    // The index before the frames: a page plays the clip while it loads.
    const std::vector<std::string> boxes = topBoxesOf(path);
    const auto index = std::find(boxes.begin(), boxes.end(), "moov");
    EXPECT_TRUE(index < std::find(boxes.begin(), boxes.end(), "mdat")) << ::testing::PrintToString(boxes);
  }
  if (gif) {
    // A GIF's rate is only an estimate from the hundredths of its frames' delays.
    EXPECT_NEAR(read.videoFrames / read.seconds, kind.frameRate, 0.5);
  } else {
    EXPECT_DOUBLE_EQ(video.frameRate, kind.frameRate);
  }
  const int framesKept = gif ? (kFrames + 1) / 2 : kFrames;
  EXPECT_EQ(read.videoFrames, framesKept);
  EXPECT_NEAR(read.seconds, static_cast<double>(kFrames) / clip::kClipFrameRate, 1.0 / kind.frameRate);
  if (withSound) {
    const ReadStream& sound = read.streams[0].video ? read.streams[1] : read.streams[0];
    EXPECT_EQ(sound.codec, kind.audio);
    EXPECT_GT(read.soundPeak, 0.3f) << "the tone is at 0.5";
  }
  if (kind.exact) {
    ASSERT_EQ(read.rgb.size(), static_cast<std::size_t>(framesKept));
    for (int kept = 0; kept < framesKept; ++kept) {
      const std::vector<unsigned char> given = frameOf(gif ? kept * 2 : kept, gif);
      std::vector<unsigned char> rgb;
      for (std::size_t i = 0; i < given.size(); i += 4) rgb.insert(rgb.end(), {given[i], given[i + 1], given[i + 2]});
      ASSERT_TRUE(read.rgb[kept] == rgb) << "frame " << kept << " kept differs from what was given";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EachFormat, ClipKinds,
                         ::testing::Values(Kind{"webm", "vp9", "opus", 60, false, "bt709", "tv"},
                                           Kind{"mp4", "h264", "aac", 60, false, "bt709", "tv"},
                                           Kind{"gif", "gif", "", 30, true, "", ""},
                                           Kind{"mkv", "ffv1", "flac", 60, true, "gbr", "pc"}),
                         [](const auto& info) { return std::string(info.param.extension); });

// Saturated bars, the colours a mismatched matrix or range shifts most, come
// back from the 4:2:0 files close to what was drawn when a player converts
// them as their tags say.
TEST(ClipWriter, VideoColoursComeBackThroughTheirTags) {
  const unsigned char bars[][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},     {255, 255, 0},
                                   {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {51, 51, 51}};
  constexpr int kBars = 8;
  constexpr int kBarWidth = kWidth / kBars;
  std::vector<unsigned char> rgba(kWidth * kHeight * 4);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      unsigned char* pixel = &rgba[(y * kWidth + x) * 4];
      std::copy(bars[x / kBarWidth], bars[x / kBarWidth] + 3, pixel);
      pixel[3] = 255;
    }
  }
  for (const char* extension : {"webm", "mp4"}) {
    SCOPED_TRACE(extension);
    ScratchFolder folder;
    const std::string path = folder.path + "/bars." + extension;
    clip::ClipWriter writer;
    ASSERT_TRUE(writer.open(path, optionsWithSound(false))) << writer.error();
    for (int n = 0; n < 10; ++n) ASSERT_TRUE(writer.addFrame(rgba.data()));
    ASSERT_TRUE(writer.finish()) << writer.error();
    ReadClip read;
    std::string why;
    ASSERT_TRUE(readClip(path, &read, &why)) << why;
    ASSERT_EQ(read.firstVideoRgb.size(), static_cast<std::size_t>(kWidth * kHeight * 3));
    for (int bar = 0; bar < kBars; ++bar) {
      const unsigned char* got = &read.firstVideoRgb[((kHeight / 2) * kWidth + bar * kBarWidth + kBarWidth / 2) * 3];
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], bars[bar][c], 6) << "bar " << bar << ", channel " << c;
    }
  }
}

TEST(ClipWriter, MutedClipHasNoSoundTrack) {
  ScratchFolder folder;
  const std::string path = folder.path + "/quiet.mkv";
  clip::ClipWriter writer;
  ASSERT_TRUE(writer.open(path, optionsWithSound(false))) << writer.error();
  ASSERT_TRUE(writeFrames(writer, 10, false)) << writer.error();
  ReadClip read;
  std::string why;
  ASSERT_TRUE(readClip(path, &read, &why)) << why;
  ASSERT_EQ(read.streams.size(), 1u);
  EXPECT_TRUE(read.streams[0].video);
  EXPECT_EQ(read.videoFrames, 10);
}

// 16-bit sound into a lossless clip at its own rate comes back sample for
// sample, from the first block to the resampler's last.
TEST(ClipWriter, LosslessClipKeepsSixteenBitSoundExactly) {
  ScratchFolder folder;
  const std::string path = folder.path + "/run.mkv";
  clip::ClipOptions options = optionsWithSound(true);
  options.soundChannels = 2;
  clip::ClipWriter writer;
  ASSERT_TRUE(writer.open(path, options)) << writer.error();
  const int perFrame = kSoundRate / clip::kClipFrameRate;
  std::vector<short> given;
  for (int n = 0; n < 20; ++n) {
    std::vector<std::int16_t> block(perFrame * 2);
    for (std::size_t i = 0; i < block.size(); ++i) {
      block[i] = static_cast<std::int16_t>((n * 7919 + static_cast<int>(i) * 104729) % 60000 - 30000);
    }
    given.insert(given.end(), block.begin(), block.end());
    ASSERT_TRUE(writer.addFrame(frameOf(n, false).data()));
    ASSERT_TRUE(writer.addSound(block.data(), perFrame));
  }
  ASSERT_TRUE(writer.finish()) << writer.error();
  ReadClip read;
  std::string why;
  ASSERT_TRUE(readClip(path, &read, &why)) << why;
  EXPECT_TRUE(read.sound16 == given) << read.sound16.size() << " samples read of " << given.size();
}

TEST(ClipWriter, ReplacesAnOlderClipOnlyWhenDone) {
  ScratchFolder folder;
  const std::string path = folder.path + "/run.webm";
  std::ofstream(path) << "an older clip";
  clip::ClipWriter writer;
  ASSERT_TRUE(writer.open(path, optionsWithSound(true))) << writer.error();
  const std::vector<unsigned char> frame = frameOf(0, false);
  ASSERT_TRUE(writer.addFrame(frame.data()));
  EXPECT_EQ(contentsOf(path), "an older clip");
  ASSERT_TRUE(writer.finish()) << writer.error();
  ReadClip read;
  std::string why;
  EXPECT_TRUE(readClip(path, &read, &why)) << why;
  EXPECT_EQ(filesIn(folder.path), std::vector<std::string>{"run.webm"});
}

// A folder of 64 kB, full after a frame or two of noise; or one that cannot be written at all.
class MountedFolder {
 public:
  explicit MountedFolder(const std::string& options) {
    if (geteuid() != 0) return;
    mounted_ = std::system(("mount -t tmpfs -o " + options + " tmpfs '" + folder_.path + "'").c_str()) == 0;
  }
  ~MountedFolder() {
    if (mounted_) std::system(("umount '" + folder_.path + "'").c_str());
  }
  MountedFolder(const MountedFolder&) = delete;
  MountedFolder& operator=(const MountedFolder&) = delete;
  bool mounted() const { return mounted_; }
  const std::string& path() const { return folder_.path; }

 private:
  ScratchFolder folder_;
  bool mounted_ = false;
};

int stopAfter = 0;
int framesChecked = 0;
bool stopHalfWay() { return ++framesChecked > stopAfter; }

struct FailureCase {
  const char* name;
  const char* folderKind;  // "scratch", "full" (64 kB), "read-only"
  const char* file;
  int stopAt;  // frames before a stop is asked for; -1 never
  clip::ClipFailure failure;
  const char* saying;  // a piece of the line
};

TEST(ClipWriter, EveryFailureLeavesNothingBehind) {
  const FailureCase cases[] = {
      {"unknown extension", "scratch", "run.avi", -1, clip::ClipFailure::refused, ".webm, .mp4, .gif or .mkv"},
      {"no such folder", "scratch", "missing/run.webm", -1, clip::ClipFailure::failed, "No such file or directory"},
      {"full disk", "full", "run.mkv", -1, clip::ClipFailure::failed, "No space left on device"},
      {"full disk while a GIF's frames wait", "full", "run.gif", -1, clip::ClipFailure::failed,
       "No space left on device"},
      {"read-only folder", "read-only", "run.webm", -1, clip::ClipFailure::failed, "Read-only file system"},
      {"stop asked half way", "scratch", "run.webm", 20, clip::ClipFailure::stopped, "stopped"},
      {"stop asked half way through a GIF", "scratch", "run.gif", 20, clip::ClipFailure::stopped, "stopped"},
      {"stop asked while the GIF is drawn in its palette", "scratch", "run.gif", 40, clip::ClipFailure::stopped,
       "stopped"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string kind = c.folderKind;
    MountedFolder mounted(kind == "full" ? "size=64k" : "ro,size=64k");
    ScratchFolder scratch;
    if (kind != "scratch" && !mounted.mounted()) {
      std::printf("skipped \"%s\": mounting a small folder needs root\n", c.name);
      continue;
    }
    const std::string folder = kind == "scratch" ? scratch.path : mounted.path();
    const std::string path = folder + "/" + c.file;
    clip::ClipOptions options = optionsWithSound(true);
    if (c.stopAt >= 0) {
      stopAfter = c.stopAt;
      framesChecked = 0;
      options.stopAsked = stopHalfWay;
    }
    clip::ClipWriter writer;
    int taken = 0;
    const bool written = writer.open(path, options) && writeFrames(writer, 40, false, &taken);
    EXPECT_FALSE(written);
    EXPECT_EQ(writer.failure(), c.failure);
    EXPECT_NE(writer.error().find(c.saying), std::string::npos) << writer.error();
    EXPECT_EQ(writer.error().find('\n'), std::string::npos);
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{}) << "in " << folder;
    if (c.stopAt >= 0) {
      EXPECT_EQ(taken, c.stopAt);
    }
  }
}

// A GIF's kept frames wait on the disk until its palette is known, so how
// many frames it may be given follows its size; more are refused before
// anything is made. Other files are not held to it.
TEST(ClipWriter, AGifsLengthIsBoundedByItsPixels) {
  const struct {
    int width, height;
    long long most;
  } sizes[] = {{800, 600, 3601}, {1600, 1200, 901}, {4096, 4096, 103}};
  ScratchFolder folder;
  const std::string gif = folder.path + "/run.gif";
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
    EXPECT_EQ(clip::mostGifFrames(size.width, size.height), size.most);
    clip::ClipOptions options;
    options.width = size.width;
    options.height = size.height;
    options.frames = size.most;
    std::string line;
    EXPECT_EQ(clip::checkClipTarget(gif, options, &line), clip::ClipFailure::none) << line;
    options.frames = size.most + 1;
    EXPECT_EQ(clip::checkClipTarget(gif, options, &line), clip::ClipFailure::refused);
    EXPECT_NE(line.find("holds at most"), std::string::npos) << line;
    EXPECT_EQ(clip::checkClipTarget(folder.path + "/run.mkv", options, &line), clip::ClipFailure::none) << line;
    clip::ClipWriter writer;
    EXPECT_FALSE(writer.open(gif, options));
    EXPECT_EQ(writer.failure(), clip::ClipFailure::refused);
  }
  EXPECT_EQ(filesIn(folder.path), std::vector<std::string>{});
}

// The largest GIF an export makes, 4096x4096, is written: its lossless
// spool cuts such frames in more slices than a smaller one.
TEST(ClipWriter, TheLargestGifIsWritten) {
  constexpr int kSide = 4096;
  constexpr int kBox = 100;  // a yellow box at the top left of a blue frame
  const unsigned char yellow[3] = {240, 200, 0}, blue[3] = {16, 48, 96};
  std::vector<unsigned char> rgba(static_cast<std::size_t>(kSide) * kSide * 4);
  for (std::size_t pixel = 0; pixel < rgba.size() / 4; ++pixel) {
    const unsigned char* colour = pixel % kSide < kBox && pixel / kSide < kBox ? yellow : blue;
    std::copy(colour, colour + 3, &rgba[pixel * 4]);
    rgba[pixel * 4 + 3] = 255;
  }
  ScratchFolder folder;
  const std::string path = folder.path + "/large.gif";
  clip::ClipOptions options = optionsWithSound(false);
  options.width = kSide;
  options.height = kSide;
  clip::ClipWriter writer;
  ASSERT_TRUE(writer.open(path, options)) << writer.error();
  ASSERT_TRUE(writer.addFrame(rgba.data())) << writer.error();
  ASSERT_TRUE(writer.finish()) << writer.error();
  ReadClip read;
  std::string why;
  ASSERT_TRUE(readClip(path, &read, &why)) << why;
  ASSERT_EQ(read.rgb.size(), 1u);
  ASSERT_EQ(read.rgb[0].size(), static_cast<std::size_t>(kSide) * kSide * 3);
  for (std::size_t pixel : {std::size_t{0}, std::size_t{kBox - 1} * (kSide + 1), std::size_t{kBox} * (kSide + 1),
                            read.rgb[0].size() / 3 - 1}) {
    const unsigned char* colour = pixel == 0 || pixel == (kBox - 1) * (kSide + 1) ? yellow : blue;
    EXPECT_TRUE(std::equal(colour, colour + 3, &read.rgb[0][pixel * 3])) << "pixel " << pixel;
  }
  EXPECT_EQ(filesIn(folder.path), std::vector<std::string>{"large.gif"});
}

// Renaming the finished clip over a folder or a device (here /dev/full's
// own, under a clip's name) would replace it.
TEST(ClipWriter, RefusesATargetThatIsNoFile) {
  ScratchFolder folder;
  const std::string asFolder = folder.path + "/folder.webm";
  const std::string asDevice = folder.path + "/full.webm";
  ASSERT_EQ(mkdir(asFolder.c_str(), 0755), 0);
  const bool root = geteuid() == 0 && mknod(asDevice.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
  for (const std::string& target : {asFolder, asDevice}) {
    if (target == asDevice && !root) continue;
    clip::ClipWriter writer;
    EXPECT_FALSE(writer.open(target, optionsWithSound(true))) << target;
    EXPECT_EQ(writer.failure(), clip::ClipFailure::refused);
    EXPECT_NE(writer.error().find("not a regular file"), std::string::npos) << writer.error();
  }
  struct stat info {};
  EXPECT_TRUE(stat(asFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
  if (root) {
    EXPECT_TRUE(stat(asDevice.c_str(), &info) == 0 && S_ISCHR(info.st_mode));
  }
  EXPECT_EQ(filesIn(folder.path).size(), root ? 2u : 1u);
}

// An export end to end: frames drawn off screen, read back and written
// losslessly decode to what was drawn, the top row first.
TEST(ClipWriter, FramesDrawnOffScreenComeBackAsDrawn) {
  constexpr int kFrames = 8;
  clip::OffscreenGl gl;
  std::string why;
  ASSERT_TRUE(gl.open(kWidth, kHeight, &why)) << why;
  ScratchFolder folder;
  const std::string path = folder.path + "/drawn.mkv";
  clip::ClipWriter writer;
  ASSERT_TRUE(writer.open(path, optionsWithSound(false))) << writer.error();
  std::vector<std::vector<unsigned char>> drawn;
  std::vector<unsigned char> rgba(kWidth * kHeight * 4);
  for (int n = 0; n < kFrames; ++n) {
    glClearColor(0.1f, 0.2f + n * 0.05f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(10 * n, kHeight - 20, 15, 20);  // a box moving along the top
    glClearColor(1.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    gl.readRows(rgba.data());
    std::vector<unsigned char> rgb;
    for (std::size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    drawn.push_back(rgb);
    ASSERT_TRUE(writer.addFrame(rgba.data())) << writer.error();
  }
  ASSERT_TRUE(writer.finish()) << writer.error();
  ReadClip read;
  ASSERT_TRUE(readClip(path, &read, &why)) << why;
  ASSERT_EQ(read.rgb.size(), drawn.size());
  for (int n = 0; n < kFrames; ++n) {
    EXPECT_TRUE(read.rgb[n] == drawn[n]) << "frame " << n;
    const unsigned char* topLeftOfBox = &read.rgb[n][(10 * n) * 3];
    EXPECT_EQ(topLeftOfBox[0], 255);
    EXPECT_EQ(topLeftOfBox[2], 0) << "the box is at the top of frame " << n;
  }
}

// Ctrl+C, SIGTERM or SIGHUP during an export: the game's own quit flag stops it.
TEST(ClipWriter, QuitSignalStopsTheExport) {
  ScratchFolder folder;
  const std::string path = folder.path + "/run.webm";
  std::string output;
  const int status = runCommand(std::string(NOMBRE_CLIP_TOOL) + " write " + path + " 120 --signal-at 30", &output);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(output, "stopped before the end: " + path + " was not written\n");
  EXPECT_EQ(filesIn(folder.path), std::vector<std::string>{});
}

}  // namespace
