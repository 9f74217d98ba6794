#include "app/frame_loop.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/pass_ticks.h"
#include "app/play_picture.h"
#include "app/window_callbacks.h"
#include "base/console.h"
#include "base/quit_signals.h"
#include "render/frames.h"
#include "render/image.h"
#include "render/pictures_ahead.h"
#include "render/draw.h"
#include "render/shaders.h"
#include "rules/update_ticks.h"
#include "runs/run_log.h"
#include "screens/hud.h"

const char* const kWindowTitle = "nombre";

namespace {

const char* const kCheckImagePath = "./img/prueba.png";
const char* const kStagePath = "./img/lvl.png";
const char* const kHpBarPath = "./img/hp_bar.png";
const char* const kHeartPath = "./img/corazon.png";
const char* const kGameOverPath = "./img/gameover.png";
const char* const kDigitsPath = "./img/digitos.png";
const char* const kRecordLabelsPath = "./img/records.png";
const char* const kLevelWordPath = "./img/nivel.png";
const char* const kReplayPausePath = "./img/repeticion.png";
void reportGlfwError(int /*code*/, const char* description) {
  std::fprintf(stderr, "nombre: %s\n", description);
}

// While GLFW starts, its complaint is kept for the one line that says why
// there is no window. GLFW's error callback is told of no window, so this
// is the process's own.
std::string glfwStartError;
void keepGlfwError(int /*code*/, const char* description) { glfwStartError = description; }

// Starts GLFW; without a display, says why in one line.
bool startGlfw() {
  glfwStartError.clear();
  glfwSetErrorCallback(keepGlfwError);
  const bool started = glfwInit() == GLFW_TRUE;
  glfwSetErrorCallback(reportGlfwError);
  if (started) return true;
  const char* display = std::getenv("DISPLAY");
  std::string cause = glfwStartError;
  if (display == nullptr || display[0] == '\0') {
    cause = "DISPLAY is not set";
  } else if (cause.compare(0, 5, "X11: ") == 0) {
    cause = cause.substr(5);
  }
  std::fprintf(stderr, "nombre: no display: %s\n", quotedPath(cause).c_str());
  return false;
}

// Loads one full picture; 0 (said already) when it did not load.
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
  const GLuint texture = loadGameTexture(path, kMaxImagePixels, false);
  if (texture == 0) return 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  return texture;
}

// Every picture start-up loads, in its order: decoded on the second core
// while the window and the context are made.
void prepareStartUpPicturesAhead() {
  std::vector<PictureRequest> requests = {{kCheckImagePath, kMaxImagePixels, false},
                                          {kStagePath, kMaxImagePixels, false},
                                          {kHpBarPath, kMaxImagePixels, true},
                                          {kHeartPath, kMaxImagePixels, true},
                                          {kGameOverPath, kMaxImagePixels, true}};
  requestSprites(requests);
  for (const char* path : {kDigitsPath, kRecordLabelsPath, kLevelWordPath, kReplayPausePath}) {
    requests.push_back({path, kMaxImagePixels, true});
  }
  preparePicturesAhead(std::move(requests));
}

// Whatever way start-up ends, the pictures' thread is done with.
struct PicturesAheadStopper {
  ~PicturesAheadStopper() { stopPreparingAhead(); }
};

}  // namespace

int startUp(Game& game) {
  prepareStartUpPicturesAhead();
  const PicturesAheadStopper stopper;
  if (!startGlfw()) return -1;
  game.window = glfwCreateWindow(kWindowWidth, kWindowHeight, kWindowTitle, nullptr, nullptr);
  if (game.window == nullptr) {
    std::fprintf(stderr, "nombre: no window could be opened (is there a display?)\n");
    glfwTerminate();
    return -1;
  }
  glfwMakeContextCurrent(game.window);
  // Present at the display's rate: the update ticks, not the passes, set the
  // game's pace, and a frame the display never shows is wasted. Where the
  // driver ignores this, the frame loop waits out the rest of the frame.
  glfwSwapInterval(1);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    consoleLine("Error inicializando GLEW");
    return -1;
  }
  int width = 0;
  int height = 0;
  glfwGetFramebufferSize(game.window, &width, &height);
  fitPictureToWindow(game.window, width, height);
  listenToPlayer(game);
  const int drawing = startUpInContext(game, width, height, wallClock());
  if (drawing != 0) return drawing;
  applyWindowSettings(game.window, game.windowPlace, game.settings);
  return 0;
}

int startUpInContext(Game& game, int width, int height, ClockTicks now) {
  const Viewport view = fitPicture(width, height);
  glViewport(view.x, view.y, view.width, view.height);
  if (makeDrawing(game.drawing) != 0) return -1;
  startRun(game, 1.0f, now);
  return 0;
}

int makeDrawing(Drawing& drawing) {
  drawing.quads = buildFixedQuads();

  const GamePicture check = takeGamePicture({kCheckImagePath, kMaxImagePixels, false});
  if (!check.loaded) {
    sayPictureNotLoaded(kCheckImagePath, check.why);
    return -1;
  }

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  GLuint* const screenTextures[] = {&drawing.stageTexture, &drawing.hpBarTexture, &drawing.heartTexture,
                                    &drawing.gameOverTexture};
  const char* const screenPaths[] = {kStagePath, kHpBarPath, kHeartPath, kGameOverPath};
  for (int i = 0; i < 4; ++i) {
    *screenTextures[i] = i == 0 ? loadStageTexture(screenPaths[i]) : loadScreenTexture(screenPaths[i]);
    if (*screenTextures[i] == 0) return -1;
  }
  // The bar slides a window over its strip; clamped, the strip reads full at
  // high health and empty at none instead of repeating every 400 points.
  glBindTexture(GL_TEXTURE_2D, drawing.hpBarTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, 0);

  loadSprites(drawing);
  // The words and numbers over the screens: without one, the game plays on
  // without it.
  GLuint* const wordTextures[] = {&drawing.digitsTexture, &drawing.recordLabelsTexture, &drawing.levelWordTexture,
                                  &drawing.replayPauseTexture};
  const char* const wordPaths[] = {kDigitsPath, kRecordLabelsPath, kLevelWordPath, kReplayPausePath};
  for (int i = 0; i < 4; ++i) {
    *wordTextures[i] = loadScreenTexture(wordPaths[i]);
  }
  drawing.scoreQuad = buildQuad(kMenuPoints, kUprightTexCoords);
  // Every sprite is drawn through these, made once for the context.
  drawing.sprites = buildQuad(kMenuPoints, nullptr);

  buildShaderProgram(drawing);
  if (drawing.shaderProgram == 0) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::fprintf(stderr, "nombre: the shaders need OpenGL 4.3 (this context: %s)\n", version ? version : "none");
    return -1;
  }
  return 0;
}

FrameMode chooseMode(const Run& run) {
  if (run.stageOver) {
    if (run.menuOpen) return FrameMode::Menu;
    if (run.tovan->lives == 0) return FrameMode::GameOver;
    return FrameMode::StageClear;
  }
  return run.menuOpen ? FrameMode::Menu : FrameMode::Play;
}

void advanceGame(Game& game, ClockTicks now) {
  game.passMode = chooseMode(game.run);
  switch (game.passMode) {
    case FrameMode::Play:
    case FrameMode::StageClear:
      runDueTicks(game, now);
      playNewBlowSounds(game.sounds.blows, game.run.tovan->soundsStarted);
      break;
    case FrameMode::GameOver:
      // The run is over: it is kept now, not only when the window closes.
      keepEndedRun(game);
      break;
    case FrameMode::Menu:
      break;
  }
}

void drawGame(const Game& game) {
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  switch (game.passMode) {
    case FrameMode::Menu:
      menuFrame(game.drawing, game.run.exitSelected);
      break;
    case FrameMode::GameOver:
      gameOverFrame(game.drawing, game.run.level, game.record);
      break;
    case FrameMode::StageClear:
      stageClearFrame(game.drawing, game.run);
      break;
    case FrameMode::Play:
      drawPlay(game, tickFraction(game.run, game.run.clock.time));
      break;
  }
  if (replayPausedByViewer(game)) drawReplayPauseSign(game.drawing);
}

void gamePass(Game& game, void (*present)(Game&)) {
  serviceSounds(game.sounds);
  advanceGame(game, lookAtClock(game));
  drawGame(game);
  if (present != nullptr) present(game);
  takeControls(game);
  // Exit chosen in the menu during the pass, by a key or a run played back.
  closeIfExitChosen(game);
}

namespace {
void presentInWindow(Game& game) {
  glfwSwapBuffers(game.window);
  glfwPollEvents();
}
}  // namespace

void runFrame(Game& game) { gamePass(game, presentInWindow); }

void keepEndedRun(Game& game) {
  const QuitSignalsHeld held;
  // The recording needs no lock: it is whole before any wait for the table.
  game.log.finish(game.run);
  // A run played back shows its score but is not a new run of the table.
  recordRunOnce(game.record, game.run.tovan->runScore, static_cast<int>(game.run.level), !game.log.replaying());
}

// The player's own pause opens the menu; a replay's viewer pauses the clock alone.
bool replayPausedByViewer(const Game& game) {
  const FrameMode mode = chooseMode(game.run);
  return game.log.replaying() && game.viewerPaused && (mode == FrameMode::Play || mode == FrameMode::StageClear);
}

int shutDown(Game& game) {
  releaseSounds(game.sounds);
  releaseDrawing(game.drawing);
  return 0;
}

StillPicture stillPicture(const Game& game) {
  StillPicture still;
  const FrameMode mode = chooseMode(game.run);
  if (mode == FrameMode::Menu) still.picture = game.run.exitSelected ? 1 : 2;
  if (mode == FrameMode::GameOver) still.picture = 3;
  // Only a run played back and paused by its viewer stands still in play.
  if ((mode == FrameMode::Play || mode == FrameMode::StageClear) && game.viewerPaused) still.picture = 4;
  glGetIntegerv(GL_VIEWPORT, still.viewport);
  return still;
}

void runPass(Game& game) {
  if (!mustDraw(game.framePace, stillPicture(game))) {
    // The music plays on by itself; finished sounds are let go as in any pass.
    serviceSounds(game.sounds);
    sleepOnStillScreen();
    takeControls(game);
    closeIfExitChosen(game);
    return;
  }
  runFrame(game);
  waitForNextPass(game.framePace);
}

void runPasses(Game& game, bool uncapped, const std::function<void()>& afterPass) {
  game.framePace = framePace(uncapped);
  game.drawBetweenTicks = drawsBetweenTicks(game.framePace.period, game.framePace.capped, game.run.pace);
  runPass(game);
  // Opening the sound device takes as long as several frames: after the first.
  startSounds(game.sounds, game.settings);
  if (afterPass) afterPass();
  while (!glfwWindowShouldClose(game.window) && !quitSignalled()) {
    runPass(game);
    if (afterPass) afterPass();
  }
}

int startUpHidden(Game& game) {
  if (!startGlfw()) return -1;
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  return startUp(game);
}

void restartGame(Game& game, ClockTicks now) {
  game.notes = TickNotes();
  game.record = RunRecord();
  game.log = RunLog();  // no one listens to the new run until a recording or a replay begins
  resetRun(game.run, now);
  setRunTime(game.run.clock, now, wallClock());
  game.viewerPaused = false;
  game.passMode = FrameMode::Play;
}

void startRun(Game& game, float level, ClockTicks now, TickPace pace) {
  restartGame(game, now);
  beginRun(game.run, level, now, pace);
}
