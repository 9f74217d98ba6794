#pragma once
// Runs as files: every game is recorded (into a file the player names, or
// else as the player's last run), and a recorded run can be watched again or
// checked without drawing.

#include <memory>
#include <string>

#include "app/game.h"
#include "runs/run_log.h"

// Where the last run is kept when the player names no file.
std::string lastRunPath();

// Keeps `text` as the player's last run; false after a line saying why not.
bool keepLastRun(const std::string& text);

// The keys while a run plays back: they do not reach it; Escape pauses and
// resumes the playback, and the full-screen keys work as in play.
struct GLFWwindow;
void viewerKey(GLFWwindow* window, int key, int scancode, int action, int mods);

// Reads the run at `path`, a file or a link (app/run_link.h). On failure writes one line saying why and returns false.
bool loadRun(const std::string& path, RunFile& run, bool (*stopAsked)() = nullptr);

// Starts `game` (already started up) on the run's first tick, with its log
// playing it back.
void beginReplay(Game& game, const RunFile& run);
// The same with the file shared, not copied.
void beginReplay(Game& game, const std::shared_ptr<const RunFile>& run);

// What a watched run says once it has played to its end: whether it ended as recorded.
std::string replayEndLine(const Game& game);

// The whole game, recorded: into `recordPath` as play goes, or, with none,
// into the last-run file once the run is complete.
int playRecorded(const std::string& recordPath, bool uncapped);
// Plays the run at `path` back in the window at its own pace.
int watchReplay(const std::string& path, bool uncapped);
// Replays the run at `path` without drawing: 0 when it ends in the recorded
// state, 1 when not (saying where it first differs), 2 when it is not a run.
int checkReplay(const std::string& path);
