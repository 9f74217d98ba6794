#include "app/replay.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/frame_loop.h"
#include "app/run_link.h"
#include "base/console.h"
#include "base/quit_signals.h"
#include "base/recording_file.h"
#include "base/user_files.h"
#include "input/controls.h"
#include "runs/run_check.h"

void viewerKey(GLFWwindow* window, int key, int /*scancode*/, int action, int mods) {
  if (action != GLFW_PRESS) return;
  Game& game = gameOf(window);
  if (isFullScreenKey(key, mods)) {
    toggleFullScreen(window, game.windowPlace);
  } else if (key == GLFW_KEY_ESCAPE) {
    lookAtClock(game);
    game.viewerPaused = !game.viewerPaused;
  }
}

bool keepLastRun(const std::string& text) {
  const std::string path = lastRunPath();
  std::string why = "no home folder (" + whyNoUserFolder("XDG_DATA_HOME") + ")";
  if (path.empty() || !writeFileWhole(path, text, &why)) {
    std::fprintf(stderr, "nombre: the last run is not kept: %s\n", why.c_str());
    return false;
  }
  return true;
}

namespace {
void keepLastRunText(const std::string& text) { keepLastRun(text); }
}  // namespace

std::string lastRunPath() {
  const std::string folder = userDataFolder();
  return folder.empty() ? "" : folder + "/last-run.nrep";
}

bool loadRun(const std::string& path, RunFile& run, bool (*stopAsked)()) {
  std::string why;
  if (readRunOrLink(path, run, why, stopAsked)) return true;
  if (stopAsked != nullptr && stopAsked()) return false;
  std::fprintf(stderr, "nombre: %s is not a run to replay: %s\n", quotedPath(path).c_str(), why.c_str());
  return false;
}

void beginReplay(Game& game, const RunFile& run) { beginReplay(game, std::make_shared<const RunFile>(run)); }

void beginReplay(Game& game, const std::shared_ptr<const RunFile>& shared) {
  const RunFile& run = *shared;
  restartGame(game, run.startClock);
  startReplaying(game.run, game.log, shared);
  setRunTime(game.run.clock, run.startClock, wallClock());
}

int playRecorded(const std::string& recordPath, bool uncapped) {
  RecordingFile file;
  if (!recordPath.empty()) {
    std::string why;
    if (!file.open(recordPath, &why)) {
      std::fprintf(stderr, "nombre: cannot record into %s: %s\n", quotedPath(recordPath).c_str(), why.c_str());
      return 2;
    }
    // A pipe whose reader has gone fails the write, and the recording says so.
    signal(SIGPIPE, SIG_IGN);
  }
  listenForQuitSignals();
  checkPlayerFolders();
  Game game;
  game.settings = loadSettings();
  const int started = startUp(game);
  if (started != 0) {
    file.abandon();
    return started;
  }
  game.log.beginRecording(game.run, file.isOpen() ? &file : nullptr, file.isOpen() ? nullptr : keepLastRunText);
  runPasses(game, uncapped);
  // Closed during a run (or by a signal): the run still counts.
  keepEndedRun(game);
  return shutDown(game);
}

std::string replayEndLine(const Game& game) {
  const bool same = game.log.firstDifference() < 0 && game.log.endsAsRecorded(game.run);
  return "nombre: the replay has reached the end of the run (" + std::to_string(game.run.ticksRun) +
         " ticks): " + (same ? "it ends as the run did" : "it differs from the run");
}

int watchReplay(const std::string& path, bool uncapped) {
  RunFile run;
  if (!loadRun(path, run)) return 2;
  Game game;
  game.settings = loadSettings();
  const int started = startUp(game);
  if (started != 0) return started;
  glfwSetKeyCallback(game.window, viewerKey);
  beginReplay(game, run);
  bool told = false;
  runPasses(game, uncapped, [&] {
    if (told || !game.log.replayDone(game.run)) return;
    told = true;
    std::printf("%s\n", replayEndLine(game).c_str());
    std::fflush(stdout);
  });
  return shutDown(game);
}

int checkReplay(const std::string& path) {
  auto run = std::make_shared<RunFile>();
  if (!loadRun(path, *run)) return 2;
  const RunVerdict verdict = checkRun(std::move(run));
  std::printf("nombre: %s\n", verdict.says.c_str());
  std::fflush(stdout);
  return verdict.same ? 0 : 1;
}
