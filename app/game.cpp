#include "app/game.h"

#include <cstdio>
#include <cstring>

#include "app/controls.h"
#include "app/game_state.h"
#include "app/hud.h"
#include "app/input.h"
#include "app/player_files.h"
#include "app/settings.h"
#include "app/update_ticks.h"
#include "app/window_fit.h"
#include "audio/sound.h"
#include "base/console.h"
#include "enemies/roster.h"
#include "enemies/waves.h"
#include "render/draw.h"
#include "render/frames.h"
#include "render/image.h"
#include "render/shaders.h"

const char* const kWindowTitle = "nombre";

bool stageOver = false;
audio::SoundSystem* musicSystem = nullptr;
audio::Sound* music = nullptr;
audio::Channel* musicChannel = nullptr;

namespace {

const char* const kCheckImagePath = "./img/prueba.png";
const char* const kStagePath = "./img/lvl.png";
const char* const kHpBarPath = "./img/hp_bar.png";
const char* const kHeartPath = "./img/corazon.png";
const char* const kGameOverPath = "./img/gameover.png";
const char* const kDigitsPath = "./img/digitos.png";
const char* const kRecordLabelsPath = "./img/records.png";
const char* const kMusicPath = "./sound/music.wav";
constexpr int kSoundVoices = 32;

constexpr float kScrollLimit = 6.0f;

void reportGlfwError(int /*code*/, const char* description) {
  std::fprintf(stderr, "nombre: %s\n", description);
}

// Loads one full picture; 0 means start-up cannot go on.
GLuint loadScreenTexture(const char* path) {
  const GLuint texture = loadGameTexture(path);
  if (texture == 0) return 0;
  setTextureParams(texture);
  return texture;
}

// The stage is drawn texel for texel and never past its edges, so mipmaps
// and repeating add nothing to the picture; in software they cost most of a
// frame. It is opaque, so it is also drawn without blending.
GLuint loadStageTexture(const char* path) {
  const GLuint texture = loadGameTexture(path);
  if (texture == 0) return 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  return texture;
}

void startMusic() {
  audio::createSoundSystem(&musicSystem);
  musicSystem->init(kSoundVoices, 0, nullptr);
  musicSystem->createSound(kMusicPath, audio::kSoundLoop, nullptr, &music);
  // At the player's volume from its first sample.
  musicSystem->setVolume(static_cast<float>(settings.musicVolume) / kMaxVolume);
  musicSystem->playSound(music, nullptr, false, &musicChannel);
}

}  // namespace

int startUp(Game& game) {
  glfwSetErrorCallback(reportGlfwError);
  glfwInit();
  game.window = glfwCreateWindow(kWindowWidth, kWindowHeight, kWindowTitle, nullptr, nullptr);
  if (game.window == nullptr) {
    std::fprintf(stderr, "nombre: no window could be opened (is there a display?)\n");
    glfwTerminate();
    return -1;
  }
  glfwMakeContextCurrent(game.window);
  // Present as fast as the driver allows, also where its default is to wait
  // for the display: the update ticks, not the display, set the game's pace.
  glfwSwapInterval(0);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    consoleLine("Error inicializando GLEW");
    return -1;
  }
  glfwGetFramebufferSize(game.window, &game.ancho, &game.alto);
  fitPictureToWindow(game.window, game.ancho, game.alto);
  listenToPlayer(game.window);

  game.quads = buildFixedQuads();
  std::memcpy(game.points, kFondoPoints, sizeof(game.points));

  unsigned char* check = loadImagePixels(kCheckImagePath, &game.texWid, &game.texHei, &game.texChan, 3);
  if (check == nullptr) {
    consoleLine(kImageNotLoaded);
    return -1;
  }
  freeImagePixels(check);

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  GLuint* const screenTextures[] = {&stageTexture, &hpBarTexture, &heartTexture, &game.gameOverTexture};
  const char* const screenPaths[] = {kStagePath, kHpBarPath, kHeartPath, kGameOverPath};
  for (int i = 0; i < 4; ++i) {
    *screenTextures[i] = i == 0 ? loadStageTexture(screenPaths[i]) : loadScreenTexture(screenPaths[i]);
    if (*screenTextures[i] == 0) {
      consoleLine(kImageNotLoaded);
      return -1;
    }
  }
  // The bar slides a window over its strip; clamped, the strip reads full at
  // high health and empty at none instead of repeating every 400 points.
  glBindTexture(GL_TEXTURE_2D, hpBarTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, 0);

  loadSprites();
  digitsTexture = loadScreenTexture(kDigitsPath);
  if (digitsTexture == 0) consoleLine(kImageNotLoaded);
  recordLabelsTexture = loadScreenTexture(kRecordLabelsPath);
  if (recordLabelsTexture == 0) consoleLine(kImageNotLoaded);
  game.scoreQuad = buildQuad(kMenuPoints, kUprightTexCoords);

  game.shaderProgram = buildShaderProgram();
  if (game.shaderProgram == 0) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::fprintf(stderr, "nombre: the shaders need OpenGL 4.3 (this context: %s)\n", version ? version : "none");
    return -1;
  }

  game.tovan.emplace(&enemies, &playerFrames, kStartLives);
  game.tovan->setupBuffers();
  buildHearts();

  game.level = 1.0f;
  spawnWave(*game.tovan, game.level);
  startMusic();

  game.tickClock = gameClock();
  game.clearClock = gameClock();
  game.spawnClock = gameClock();
  return 0;
}

FrameMode chooseMode(const Game& game) {
  if (stageOver) {
    if (menuOpen) return FrameMode::Menu;
    if (game.tovan->lives == 0) return FrameMode::GameOver;
    return FrameMode::StageClear;
  }
  return menuOpen ? FrameMode::Menu : FrameMode::Play;
}

void playFrame(Game& game) {
  Player& hero = *game.tovan;
  const ClockTicks now = gameClock();
  float spawnInterval = 5000.0f - game.level * 1000.0f / 5.0f;
  if (3000.0f > spawnInterval) spawnInterval = 3000.0f;
  if (elapsedMs(now, game.spawnClock) > spawnInterval) {
    game.spawnClock = gameClock();
    spawnReinforcements(hero, game.level);
  }
  game.ticksRun += runUpdateTicks(game.tickClock, now, hero, enemies, game.level);

  const float x = hero.getPosition().getX();
  if (x >= 0.0f && x <= kScrollLimit) scrollStage(game, x);
  healthBarTexCoords(hero.getHealth(), game.texCoordsB);
  refillTexCoords(game.quads.barra, game.texCoordsB);

  useShaderProgram(game.shaderProgram);
  drawOpaqueStage(game.quads.fondo);
  drawQuad(game.quads.barra, hpBarTexture);
  if (!enemies.empty()) drawAll(enemies);
  for (Element& heart : hearts) drawSprite(heart);
  drawFighter(hero);
  drawScore(game, hero.runScore);
}

void runFrame(Game& game) {
  if (musicSystem != nullptr) musicSystem->update();
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (game.tovan->getPosition().getX() >= kStageEndX && !stageOver) {
    stageOver = true;
    game.tickClock = gameClock();
  }
  runMode(game);
  glfwSwapBuffers(game.window);
  glfwPollEvents();
  pollControls(game.window);
}

void runMode(Game& game) {
  switch (chooseMode(game)) {
    case FrameMode::Menu:
      menuFrame(game);
      break;
    case FrameMode::GameOver:
      recordRunOnce(game.tovan->runScore, static_cast<int>(game.level));
      gameOverFrame(game);
      break;
    case FrameMode::StageClear:
      stageClearFrame(game);
      break;
    case FrameMode::Play:
      playFrame(game);
      break;
  }
}

int shutDown(Game& game) {
  if (music != nullptr) music->release();
  music = nullptr;
  glDeleteVertexArrays(1, &game.quads.fondo.vao);
  glDeleteBuffers(1, &game.quads.fondo.positionVbo);
  glDeleteBuffers(1, &game.quads.fondo.texCoordVbo);
  return 0;
}

int runGame() {
  checkPlayerFolders();
  loadSettings();
  Game game;
  const int started = startUp(game);
  if (started != 0) return started;
  applySettings(game.window, musicSystem, game.tovan->soundSystem);
  while (!glfwWindowShouldClose(game.window)) runFrame(game);
  // Closed during a run: the run still counts.
  recordRunOnce(game.tovan->runScore, static_cast<int>(game.level));
  return shutDown(game);
}

int startUpHidden(Game& game) {
  glfwInit();
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  return startUp(game);
}

void restartGame(Game& game, ClockTicks now) {
  clearRoster(enemies);
  resetControlState();
  forgetRun();
  stageOver = false;
  endFrameIndex = 0;
  Player& hero = *game.tovan;
  hero.enlarge(false);
  hero.reset();
  hero.lives = kStartLives;
  hero.runScore = 0;
  hero.playerClockStart = 0;  // as a new hero's
  hero.texture = playerFrames[kStandingFrame];
  hero.crouchKicked = false;
  hero.struck = false;
  for (Element& heart : hearts) heart.releaseBuffers();
  hearts.clear();
  buildHearts();
  game.level = 1.0f;
  game.tickClock = game.spawnClock = game.clearClock = now;
}
