// The cheaper ways of loading and drawing pictures give the same bytes as the
// plain ones: mip chains made on the CPU against the driver's, and sprites
// drawn only over their visible area against their whole quads.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/draw.h"
#include "render/frames.h"
#include "render/image.h"
#include "render/mipmaps.h"
#include "tests/gl_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::vector<Bytes> readLevels(GLuint texture) {
  std::vector<Bytes> levels;
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int level = 0;; ++level) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    if (width == 0 || height == 0) break;
    levels.emplace_back(static_cast<size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, levels.back().data());
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  return levels;
}

// Every level of the driver's chain and of ours, read back from the textures.
void expectSameChains(const Picture& picture, const std::string& name) {
  GLuint driver = 0;
  glGenTextures(1, &driver);
  glBindTexture(GL_TEXTURE_2D, driver);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               picture.rgba.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  const GLuint ours = uploadMipChain(mipChain(picture));
  const std::vector<Bytes> expected = readLevels(driver);
  const std::vector<Bytes> actual = readLevels(ours);
  ASSERT_EQ(actual.size(), expected.size()) << name;
  ASSERT_GT(actual.size(), 1u) << name;
  for (size_t level = 0; level < expected.size(); ++level) {
    EXPECT_TRUE(actual[level] == expected[level]) << name << ", level " << level;
  }
  glDeleteTextures(1, &driver);
  glDeleteTextures(1, &ours);
}

Bytes readFrame() {
  Bytes frame(static_cast<size_t>(kWindowWidth) * kWindowHeight * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
  return frame;
}

Bytes renderWithTrimming(Game& game, bool trim) {
  game.drawing.trimSprites = trim;
  renderOnly(game);
  game.drawing.trimSprites = true;
  return readFrame();
}

Picture pictureOf(int width, int height, unsigned char fill) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.rgba.assign(static_cast<size_t>(width) * height * 4, fill);
  return picture;
}

}  // namespace

// The game's own pictures of every shape it has (odd sides halve unevenly),
// and noise, where every weight and rounding shows.
TEST(SamePixels, MipChainsMadeOnTheCpuAreTheDriversByteForByte) {
  sharedGame();
  for (const char* path : {"./img/finFrame1.png", "./img/movPunch1.png", "./img/movKick2.png", "./img/gameover.png",
                           "./img/corazon.png", "./img/hp_bar.png"}) {
    Picture picture;
    ASSERT_TRUE(decodePicture(path, 0, kImageNtscSafe, kMaxImagePixels, picture)) << path;
    expectSameChains(picture, path);
  }
  std::mt19937 random(20);
  for (const auto& size : {std::pair<int, int>{137, 93}, {5, 300}, {1, 7}, {257, 2}}) {
    Picture noise = pictureOf(size.first, size.second, 0);
    for (unsigned char& byte : noise.rgba) byte = static_cast<unsigned char>(random() & 0xff);
    expectSameChains(noise, "noise " + std::to_string(size.first) + "x" + std::to_string(size.second));
  }
}

// One opaque texel at (30, 10) of a 64x32 picture, and what samples reach it.
TEST(SamePixels, AVisibleSpanHoldsEveryTexelASampleCanReach) {
  struct Case {
    const char* name;
    int x, y;                 // the opaque texel
    size_t deepest;           // mip levels sampled
    float v0, v1;             // the band down
    bool any;
    float u0, u1;             // the span across, when any
  };
  const Case cases[] = {
      // One texel before it to two after: 29/64..32/64 across.
      {"its own rows, level 0", 30, 10, 0, 10 / 32.0f, 11 / 32.0f, true, 29 / 64.0f, 32 / 64.0f},
      // At level 1 it is (15, 5) of 32x16: 14/32..17/32.
      {"its own rows, levels 0 and 1", 30, 10, 1, 10 / 32.0f, 11 / 32.0f, true, 14 / 32.0f, 17 / 32.0f},
      {"rows the filter reaches from below", 30, 10, 0, 12 / 32.0f, 20 / 32.0f, true, 29 / 64.0f, 32 / 64.0f},
      {"rows far below", 30, 10, 0, 16 / 32.0f, 1.0f, false, 0, 0},
      {"rows far below, every level", 30, 10, 6, 16 / 32.0f, 1.0f, true, 0.0f, 1.0f},
      {"at the right edge, reached from the left", 63, 10, 0, 0.0f, 1.0f, true, 0.0f, 1.0f},
      {"the bottom row, for samples below the picture", 30, 31, 0, 1.0f, 1.0f, true, 29 / 64.0f, 32 / 64.0f},
  };
  for (const Case& c : cases) {
    Picture picture = pictureOf(64, 32, 0);
    picture.rgba[(static_cast<size_t>(c.y) * 64 + c.x) * 4 + 3] = 255;
    const std::vector<VisibleRows> levels = visibleRows(mipChain(picture));
    ASSERT_EQ(levels.size(), 7u) << c.name;
    float u0 = -1.0f, u1 = -1.0f;
    EXPECT_EQ(visibleSpan(levels, c.deepest, c.v0, c.v1, u0, u1), c.any) << c.name;
    if (!c.any) continue;
    EXPECT_FLOAT_EQ(u0, c.u0) << c.name;
    EXPECT_FLOAT_EQ(u1, c.u1) << c.name;
  }
  const std::vector<VisibleRows> none = visibleRows(mipChain(pictureOf(64, 32, 0)));
  float u0 = 0, u1 = 0;
  EXPECT_FALSE(visibleSpan(none, 6, 0.0f, 1.0f, u0, u1));
}

// A crowd around the hero, facing both ways, some flashing from a blow, the
// hero enlarged as at a stage clear, in the window and in smaller views.
TEST(SamePixels, SpritesDrawnOverTheirVisibleAreaGiveTheSameFrame) {
  Game& game = sharedGame();
  freshStage(game, 1000);
  game.run.level = 12.0f;
  Player& hero = *game.run.tovan;
  hero.position.x = hero.hitbox.position.x = 3.0f;
  for (int i = 0; i < 140; ++i) spawnEnemy(game.run.enemies, i % 2 + 1, 2.1f + 1.8f * static_cast<float>(i) / 139.0f, 3.0f, game.run.level);
  for (size_t i = 0; i < game.run.enemies.size(); i += 7) {
    game.run.enemies[i].struck = true;
    game.run.enemies[i].struckAt = 1000 - static_cast<ClockTicks>(i % 3) * 40;
  }
  hero.enlarge(true);
  hero.shown = SpriteFrame{FrameSet::HeroPoses, 1};

  const Bytes whole = renderWithTrimming(game, false);
  const Bytes trimmed = renderWithTrimming(game, true);
  EXPECT_TRUE(whole == trimmed);
  hero.enlarge(false);
  hero.showFrame(kStandingFrame);
  // Smaller views sample deeper mip levels: a 441-pixel view puts 64 texels
  // on 32 pixels, a level of detail of 1, where one level or the next is read.
  const int views[][4] = {{37, 11, 700, 525}, {0, 0, 441, 331}, {3, 5, 220, 165}, {0, 0, 97, 73}};
  for (const auto& view : views) {
    glViewport(view[0], view[1], view[2], view[3]);
    const Bytes wholeInView = renderWithTrimming(game, false);
    EXPECT_TRUE(wholeInView == renderWithTrimming(game, true)) << view[2] << "x" << view[3];
    EXPECT_FALSE(whole == wholeInView);
  }
  glViewport(0, 0, kWindowWidth, kWindowHeight);
  clearRoster(game.run.enemies);
}
