// The off-screen context: no X server, a framebuffer read back exactly, and
// one line when EGL cannot give the context.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "clip/offscreen_gl.h"
#include "tests/clip/clip_test_support.h"

namespace {

TEST(OffscreenGl, DrawsWithNoDisplayAndReadsBackTopRowFirst) {
  ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "this test is meant to run with DISPLAY unset";
  // Odd sizes, so a row's length is no multiple of the usual alignments.
  constexpr int kWidth = 37, kHeight = 23;
  constexpr int kBoxX = 5, kBoxY = 3, kBoxWidth = 11, kBoxHeight = 7;  // GL's x, y: from the bottom left
  clip::OffscreenGl gl;
  std::string why;
  ASSERT_TRUE(gl.open(kWidth, kHeight, &why)) << why;
  int major = 0, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  EXPECT_GE(major * 10 + minor, 43);

  glClearColor(10 / 255.0f, 200 / 255.0f, 30 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(kBoxX, kBoxY, kBoxWidth, kBoxHeight);
  glClearColor(250 / 255.0f, 5 / 255.0f, 128 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);

  std::vector<unsigned char> rgba(kWidth * kHeight * 4);
  gl.readRows(rgba.data());
  int wrong = 0;
  for (int row = 0; row < kHeight; ++row) {
    const int glY = kHeight - 1 - row;
    for (int x = 0; x < kWidth; ++x) {
      const bool inBox = x >= kBoxX && x < kBoxX + kBoxWidth && glY >= kBoxY && glY < kBoxY + kBoxHeight;
      const unsigned char want[4] = {static_cast<unsigned char>(inBox ? 250 : 10),
                                     static_cast<unsigned char>(inBox ? 5 : 200),
                                     static_cast<unsigned char>(inBox ? 128 : 30), 255};
      const unsigned char* got = &rgba[(row * kWidth + x) * 4];
      if (std::equal(want, want + 4, got)) continue;
      if (++wrong <= 5) ADD_FAILURE() << "pixel " << x << "," << row << " from the top";
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(OffscreenGl, RefusesSizesItCannotDraw) {
  clip::OffscreenGl gl;
  std::string why;
  for (const auto& [width, height] : {std::pair{0, 600}, {800, -1}, {1 << 20, 8}}) {
    EXPECT_FALSE(gl.open(width, height, &why)) << width << "x" << height;
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(why.find('\n'), std::string::npos);
  }
}

// Mesa reads its version override once, at start-up: a process of its own.
TEST(OffscreenGl, SaysInOneLineWhenNo43ContextIsToBeHad) {
  std::string output;
  const int status =
      runCommand("env -u DISPLAY MESA_GL_VERSION_OVERRIDE=3.3 " + std::string(NOMBRE_CLIP_TOOL) + " gl", &output);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(output, "EGL cannot give an OpenGL 4.3 core context to draw off screen\n");
}

}  // namespace
