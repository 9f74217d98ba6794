#include "tests/gl_fixture.h"

#include "input/controls.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>


Game& sharedGame() {
  static Game* game = [] {
    auto* started = new Game();
    if (startUpHidden(*started) != 0) {
      std::fprintf(stderr, "the game did not start: is DISPLAY set and are the assets made?\n");
      std::abort();
    }
    return started;
  }();
  return *game;
}

void freshStage(Game& game, ClockTicks now) {
  setGameClock(now);
  restartGame(game, now);
}

void freshControls(Run& run) {
  run.controlCode = kNoControl;
  run.rightHeld = run.leftHeld = run.menuOpen = run.exitSelected = false;
  run.downHeld = run.standUpDue = false;
  run.codeAfterStandUp = kNoControl;
}

void holdReplay(Game& game, bool held) {
  lookAtClock(game);
  game.viewerPaused = held;
}

Pixel readPixel(int x, int y) {
  unsigned char rgba[4] = {0, 0, 0, 0};
  glReadBuffer(GL_BACK);
  glReadPixels(x, kWindowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

std::vector<unsigned char> readRegion(int x, int y, int width, int height) {
  std::vector<unsigned char> rgb(static_cast<size_t>(width * height * 3));
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, kWindowHeight - y - height, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

void renderOnly(Game& game) {
  advanceGame(game, lookAtClock(game));
  drawGame(game);
  glFinish();
}

int runCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
