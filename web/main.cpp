// nombre in a web page: the browser calls each pass of the game, the
// player's files live in the browser's storage, and the page around the
// canvas (web/page.html) starts runs, offers a finished run for download and
// plays a run file back. Everything else is the desktop game's own code.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/play_picture.h"
#include "app/replay.h"
#include "base/clock.h"
#include "base/user_files.h"
#include "player_files/player_files.h"
#include "player_files/scores.h"
#include "player_files/settings.h"
#include "rules/update_ticks.h"
#include "runs/run_check.h"
#include "window/frame_pace.h"
#include "window/window_fit.h"

namespace {

// What the page shows around the run.
enum class Showing { Nothing, Play, Watch, Ended };

// The game and what the page keeps around it: one, as a page shows one game.
struct Page {
  Game game;
  Showing showing = Showing::Nothing;
  bool endTold = false;
  bool musicStarted = false;
  std::string runText;         // the run that ended, as its file holds it
  std::string said;            // a line handed to the page
  std::vector<double> passMs;  // the time of each pass of this run in the page, in milliseconds
  PassPeriod framePeriod;      // the browser's frames, measured over the first passes
  std::shared_ptr<const RunFile> watched;  // the run shown, for its verdict when it cannot reach its end
};
Page page;

// Play is drawn between ticks when the browser's frames come at another rate
// than the ticks (a 120 or 144 Hz screen): as measured, or 60 a second until
// it is; and for the pace of the run shown.
void paceDrawing() {
  const bool measured = page.framePeriod.period > 0.0;
  const double period = measured ? page.framePeriod.period : refreshPeriod(0);
  page.game.drawBetweenTicks =
      drawsBetweenTicks(period, true, page.game.run.pace, measured ? kMeasuredSameRate : kSameRate);
}

// The browser's storage is written after every change the game keeps, and
// asynchronously: a failure is one line on the page.
void keepInBrowser() {
  EM_ASM(Module.nombreKeep && Module.nombreKeep());
}

void tellPage(const char* what) {
  EM_ASM({ Module.nombreTell && Module.nombreTell(UTF8ToString($0)); }, what);
}

// The recording of a run, kept as the desktop keeps it, and for the page's download.
void keepRun(const std::string& text) {
  page.runText = text;
  keepLastRun(text);
}

void endRun() {
  keepEndedRun(page.game);
  keepInBrowser();
  page.showing = Showing::Ended;
  tellPage("ended");
}

// A watched run that cannot play on (its hero out of lives, or its menu
// left open, before its end line) is given nombre-check's verdict.
bool watchCannotGoOn() {
  const Run& run = page.game.run;
  return !page.endTold && !page.game.log.replayDone(run) && (gameIsOver(run) || run.menuOpen);
}

void tellWatchStopped() {
  page.endTold = true;
  page.said = "nombre: " + checkRun(page.watched).says;
  std::printf("%s\n", page.said.c_str());
  std::fflush(stdout);
  tellPage("watched");
}

void pass(void*) {
  const double started = emscripten_get_now();
  if (notePassStart(page.framePeriod, started / 1000.0)) paceDrawing();
  if (page.showing == Showing::Nothing) return;
  Game& game = page.game;
  if (page.showing == Showing::Ended && !gameIsOver(game.run)) return;  // the last picture stays
  // The pass every front end shares; the browser presents the canvas after it.
  gamePass(game, nullptr);
  if (page.showing == Showing::Play) {
    if (glfwWindowShouldClose(game.window) || gameIsOver(game.run)) {
      glfwSetWindowShouldClose(page.game.window, 0);
      endRun();
    }
  } else if (page.showing == Showing::Watch) {
    if (!page.endTold && game.log.replayDone(game.run)) {
      page.endTold = true;
      page.said = replayEndLine(page.game);
      std::printf("%s\n", page.said.c_str());
      std::fflush(stdout);
      tellPage("watched");
    }
    if (watchCannotGoOn()) tellWatchStopped();
    if (glfwWindowShouldClose(page.game.window)) {
      glfwSetWindowShouldClose(page.game.window, 0);
      page.showing = Showing::Ended;
      tellPage("ended");
    }
  }
  page.passMs.push_back(emscripten_get_now() - started);
}

// A run begins on a page that may have seen Exit chosen since the last ended.
void beginShowing(Showing what) {
  glfwSetWindowShouldClose(page.game.window, 0);
  page.showing = what;
  page.passMs.clear();
  paceDrawing();
}

void startSound() {
  if (page.musicStarted) return;
  page.musicStarted = true;
  Game& game = page.game;
  startSounds(game.sounds, game.settings);
  // Full screen, if the player left the game so: a browser allows it only
  // now, after a click or a key.
  applyWindowSettings(game.window, game.windowPlace, game.settings);
}

}  // namespace

extern "C" {

// After the browser's storage is read: the window, the pictures and the
// first picture of a run that waits for the player.
EMSCRIPTEN_KEEPALIVE int nombreOpen() {
  Game& game = page.game;
  checkPlayerFolders();
  game.settings = loadSettings();
  if (startUp(game) != 0) return -1;
  paceDrawing();
  advanceGame(game, lookAtClock(game));
  drawGame(game);
  emscripten_set_main_loop_arg(pass, nullptr, 0, 0);
  return 0;
}

// A new run, as the program started again; the sound starts with the first.
EMSCRIPTEN_KEEPALIVE void nombrePlay() {
  startSound();
  if (page.showing == Showing::Play) keepEndedRun(page.game);
  // A run of its own, with a log of its own: nothing of the last run or
  // replay listens to it.
  startRun(page.game, 1.0f, wallClock());
  page.game.log.beginRecording(page.game.run, nullptr, keepRun);
  glfwSetKeyCallback(page.game.window, keyboardKey);
  beginShowing(Showing::Play);
  page.runText.clear();
}

// Plays the run file at `path` back, as --replay does. "" when it plays,
// else why the file is not a run (and nothing changes).
EMSCRIPTEN_KEEPALIVE const char* nombreWatch(const char* path) {
  RunFile run;
  std::string why;
  if (!readRunFile(path, run, why)) {
    page.said = why;
    return page.said.c_str();
  }
  startSound();
  if (page.showing == Showing::Play) endRun();
  page.watched = std::make_shared<const RunFile>(std::move(run));
  beginReplay(page.game, page.watched);
  glfwSetKeyCallback(page.game.window, viewerKey);
  beginShowing(Showing::Watch);
  page.endTold = false;
  page.said.clear();
  return "";
}

// The verdict nombre-check gives the run file at `path` (a run that checks
// with its score and level), or why it is not a run.
EMSCRIPTEN_KEEPALIVE const char* nombreCheck(const char* path) {
  auto run = std::make_shared<RunFile>();
  if (!readRunFile(path, *run, page.said)) {
    page.said = "not a run to check: " + page.said;
    return page.said.c_str();
  }
  page.said = verdictLine(checkRun(std::move(run)));
  return page.said.c_str();
}

// The player left the page (another tab, another window): in play, the game
// pauses as the desktop's does when its window loses the focus.
EMSCRIPTEN_KEEPALIVE void nombreAway() {
  if (page.showing == Showing::Play) pauseWhileAway(page.game, gameIsOver(page.game.run));
}

// Why a file of `bytes` is refused before a byte of it is read, as the
// desktop refuses it ("" when it may be a run).
EMSCRIPTEN_KEEPALIVE const char* nombreRunSizeRefused(double bytes) {
  return bytes > static_cast<double>(kLargestRunFile) ? kRunFileTooLarge : "";
}

// The page is going away (reload, close, another address) during a run: the
// run ends and is kept, as the desktop keeps the run of a window closed.
EMSCRIPTEN_KEEPALIVE void nombreLeave() {
  if (page.showing == Showing::Play) endRun();
}

// Joins the score table at `other` (what the browser's storage holds, or
// what a page that went away left) and this page's table into the player's
// table: every run of this page's that the other lacks is added to it as the
// desktop adds a run, so another tab's runs and this one's are all kept, and
// a run in both stays one. `other` is taken.
EMSCRIPTEN_KEEPALIVE void nombreMergeScores(const char* other) {
  const std::string path = scoresPath();
  std::vector<ScoreEntry> mine;
  std::vector<ScoreEntry> theirs;
  std::string why;
  readScoreFile(path, &mine, &why);
  if (std::rename(other, path.c_str()) != 0) return;
  readScoreFile(path, &theirs, &why);
  for (const ScoreEntry& run : mine) {
    const bool kept = std::any_of(theirs.begin(), theirs.end(), [&](const ScoreEntry& entry) {
      return entry.total == run.total && entry.level == run.level && entry.date == run.date;
    });
    long long bestBefore = 0;
    if (!kept && !recordRun(path, run, &bestBefore, &why)) cannotKeepPlayerFiles(why);
  }
}

// The browser took the GL context away (its graphics process restarted):
// play pauses, as when the player leaves the page, and nothing is drawn.
EMSCRIPTEN_KEEPALIVE void nombreContextLost() {
  emscripten_pause_main_loop();
  if (page.showing == Showing::Play) pauseWhileAway(page.game, gameIsOver(page.game.run));
  if (page.showing == Showing::Watch) page.game.viewerPaused = true;
}

// The context is back, empty: everything the game draws with is made again,
// as start-up made it. 0, or -1 when it could not be.
EMSCRIPTEN_KEEPALIVE int nombreContextRestored() {
  Game& game = page.game;
  releaseDrawing(game.drawing);
  if (makeDrawing(game.drawing) != 0) return -1;
  int width = 0;
  int height = 0;
  glfwGetFramebufferSize(game.window, &width, &height);
  fitPictureToWindow(game.window, width, height);
  drawGame(game);
  emscripten_resume_main_loop();
  return 0;
}

// The run that ended, as a run file holds it ("" when none has).
EMSCRIPTEN_KEEPALIVE const char* nombreRunText() { return page.runText.c_str(); }

// The best runs, printed as --scores prints them.
EMSCRIPTEN_KEEPALIVE int nombreScores() { return printScores(); }

// The passes of the run shown since it began: how many, and the time of the
// pass at `share` (0.5 the median) of them in order, in milliseconds.
EMSCRIPTEN_KEEPALIVE int nombrePasses() { return static_cast<int>(page.passMs.size()); }
EMSCRIPTEN_KEEPALIVE double nombrePassMs(double share) {
  if (page.passMs.empty()) return 0.0;
  std::vector<double> sorted = page.passMs;
  std::sort(sorted.begin(), sorted.end());
  return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(share * static_cast<double>(sorted.size())))];
}

// How far apart the browser's frames come, as measured (0 until it is), and
// whether play is drawn between ticks (for the page's tests).
EMSCRIPTEN_KEEPALIVE double nombreFrameMs() { return page.framePeriod.period * 1000.0; }
EMSCRIPTEN_KEEPALIVE int nombreDrawsBetweenTicks() { return page.game.drawBetweenTicks ? 1 : 0; }

// Where the hero stands and what the run has come to (for the page's tests).
EMSCRIPTEN_KEEPALIVE double nombreHeroX() {
  const Run& run = page.game.run;
  return run.tovan ? run.tovan->getPosition().getX() : 0.0;
}
EMSCRIPTEN_KEEPALIVE long long nombreScore() { return page.game.run.tovan ? page.game.run.tovan->runScore : 0; }
EMSCRIPTEN_KEEPALIVE int nombreTicks() { return static_cast<int>(page.game.run.ticksRun); }
EMSCRIPTEN_KEEPALIVE int nombreMenuOpen() { return page.game.run.menuOpen ? 1 : 0; }

}  // extern "C"

int main() {
  // The player's files: in the browser's storage, read in by the page
  // (web/page.html) before the game starts, with what a page that went away
  // left; a browser that refuses it (a private window) leaves them in memory
  // for this visit, and the page says so.
  EM_ASM({
    FS.mkdirTree('/home/web_user');
    Module.nombreLoadFiles();
  });
  return 0;
}
