// The picture in a resized window and in full screen, read back from Mesa. A
// real X window is resized, so these run in a virtual display of their own,
// larger than the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/window_callbacks.h"
#include "rules/control_rules.h"
#include "tests/gl_fixture.h"
#include "window/window_fit.h"

namespace {

constexpr int kScreenWidth = 1280;  // the virtual display's, see tests/CMakeLists.txt
constexpr int kScreenHeight = 1024;

TEST(WindowFit, ThePictureKeepsFourToThreeCentred) {
  struct Case {
    int width, height;
    Viewport view;
  };
  const Case cases[] = {
      {800, 600, {0, 0, 800, 600}},       {1024, 768, {0, 0, 1024, 768}},
      {1200, 600, {200, 0, 800, 600}},    {800, 800, {0, 100, 800, 600}},
      {1920, 1080, {240, 0, 1440, 1080}}, {1280, 1024, {0, 32, 1280, 960}},
      {801, 600, {0, 0, 800, 600}},       {0, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const Viewport v = fitPicture(c.width, c.height);
    EXPECT_EQ(v.x, c.view.x) << c.width << "x" << c.height;
    EXPECT_EQ(v.y, c.view.y) << c.width << "x" << c.height;
    EXPECT_EQ(v.width, c.view.width) << c.width << "x" << c.height;
    EXPECT_EQ(v.height, c.view.height) << c.width << "x" << c.height;
  }
}

Viewport currentViewport() {
  GLint v[4];
  glGetIntegerv(GL_VIEWPORT, v);
  return {v[0], v[1], v[2], v[3]};
}

// Handles the window's events until its framebuffer has this size and the
// game has fitted its picture to it.
bool waitForFramebuffer(GLFWwindow* window, int width, int height) {
  const Viewport expected = fitPicture(width, height);
  for (int i = 0; i < 300; ++i) {
    glfwWaitEventsTimeout(0.01);
    int w, h;
    glfwGetFramebufferSize(window, &w, &h);
    const Viewport v = currentViewport();
    if (w == width && h == height && v.x == expected.x && v.y == expected.y && v.width == expected.width &&
        v.height == expected.height) {
      return true;
    }
  }
  return false;
}

// A rendered play frame, rows from the bottom.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  Pixel at(int x, int y) const {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

bool near(Pixel a, Pixel b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}
bool isClearGrey(Pixel p) { return p.r == 51 && p.g == 51 && p.b == 51; }

class ResizedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    game = &sharedGame();
    resize(kWindowWidth, kWindowHeight);
  }
  void TearDown() override { resize(kWindowWidth, kWindowHeight); }
  void resize(int width, int height) {
    glfwSetWindowSize(game->window, width, height);
    ASSERT_TRUE(waitForFramebuffer(game->window, width, height)) << width << "x" << height;
  }
  // One play frame of the same scene at whatever size the window has.
  Picture render() {
    freshStage(*game, kStart);
    glfwSwapBuffers(game->window);  // the drawable takes the window's new size
    renderOnly(*game);
    Picture picture;
    glfwGetFramebufferSize(game->window, &picture.width, &picture.height);
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return picture;
  }
  static constexpr ClockTicks kStart = 400000;
  Game* game = nullptr;
};

TEST_F(ResizedWindow, At1024x768ThePictureIsTheSameScaledUp) {
  const Picture small = render();
  resize(1024, 768);
  const Picture large = render();
  ASSERT_EQ(large.width, 1024);
  int alike = 0, total = 0, grey = 0;
  for (int y = 2; y < small.height - 2; y += 6) {
    for (int x = 2; x < small.width - 2; x += 6, ++total) {
      const Pixel original = small.at(x, y);
      const Pixel scaled = large.at((x * 1024 + 512) / 800, (y * 768 + 384) / 600);
      if (near(original, scaled, 40)) ++alike;
      if (isClearGrey(original)) ++grey;
    }
  }
  // Sprite edges and stage details are resampled; all else matches.
  EXPECT_GT(alike, total * 9 / 10);
  EXPECT_LT(grey, total / 2);  // a real picture, not a cleared window
  // The picture reaches every corner: no band.
  for (int x : {1, 1022}) {
    EXPECT_FALSE(isClearGrey(large.at(x, 766))) << x;  // stage at the top
    EXPECT_TRUE(isClearGrey(large.at(x, 1))) << x;     // band under the stage
  }
}

TEST_F(ResizedWindow, At1200x600ThePictureIsCentredBetweenBands) {
  const Picture small = render();
  resize(1200, 600);
  const Picture wide = render();
  ASSERT_EQ(wide.width, 1200);
  int differing = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      if (!near(small.at(x, y), wide.at(x + 200, y), 2)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
  for (int y = 0; y < 600; y += 3) {
    for (int x : {0, 100, 199, 1000, 1100, 1199}) {
      ASSERT_TRUE(isClearGrey(wide.at(x, y))) << x << "," << y;
    }
  }
}

TEST_F(ResizedWindow, F11AndAltEnterToggleFullScreenAndBack) {
  GLFWwindow* window = game->window;
  glfwSetWindowPos(window, 30, 40);
  game->controls = Controls();  // nothing held
  freshControls(game->run);
  // Neither key reaches the control rules: the walk goes on, no menu choice is taken.
  keyboardKey(window, GLFW_KEY_RIGHT, 0, GLFW_PRESS, 0);
  keyboardKey(window, GLFW_KEY_F11, 0, GLFW_PRESS, 0);
  EXPECT_EQ(game->run.controlCode, kWalkRight);
  ASSERT_TRUE(waitForFramebuffer(window, kScreenWidth, kScreenHeight));
  EXPECT_NE(glfwGetWindowMonitor(window), nullptr);
  const Picture full = render();
  // 1280x960 from y 32 up: the stage reaches 991, the band above is clear.
  EXPECT_FALSE(isClearGrey(full.at(640, 985)));
  EXPECT_TRUE(isClearGrey(full.at(640, 1000)));

  game->run.menuOpen = true;
  game->run.exitSelected = true;
  keyboardKey(window, GLFW_KEY_ENTER, 0, GLFW_PRESS, GLFW_MOD_ALT);
  EXPECT_TRUE(game->run.menuOpen);
  EXPECT_FALSE(glfwWindowShouldClose(window));
  ASSERT_TRUE(waitForFramebuffer(window, kWindowWidth, kWindowHeight));
  EXPECT_EQ(glfwGetWindowMonitor(window), nullptr);
  int x, y;
  glfwGetWindowPos(window, &x, &y);
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 40);
  freshControls(game->run);
  game->controls = Controls();  // nothing held
}

}  // namespace
