// nombre: a side-scrolling martial-arts brawler.
#include <cstdio>
#include <filesystem>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/export.h"
#include "app/replay.h"
#include "app/run_link.h"
#include "base/console.h"
#include "base/user_files.h"
#include "player_files/player_files.h"

namespace {

// The game moves into its data folder: a file named on the command line is
// taken from where the player was (a link to a run stays as it is).
std::string fromHere(const std::string& path) {
  if (path.empty() || isRunLink(path)) return path;
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::absolute(path, error);
  return error ? path : whole.string();
}

// Prints the link to the run at `path` (a file, or a link given again on
// another `base`): 0, or 2 with one line when it holds no run.
int printRunLink(const std::string& path, const std::string& base) {
  RunFile run;
  std::string text;
  std::string why;
  bool read = false;
  if (isRunLink(path)) {
    read = runTextFromLink(path, text, why) && parseRunFile(text, run, why);
  } else if (readRunFile(path, run, why)) {
    // A file is linked as its bytes are, once they are known to be a run.
    read = readFileWhole(path, &text, kLargestRunFile);
    if (!read) why = kRunFileUnreadable;
  }
  if (!read) {
    std::fprintf(stderr, "nombre: %s is not a run to link: %s\n", quotedPath(path).c_str(), why.c_str());
    return 2;
  }
  std::printf("%s\n", runLink(text, base).c_str());
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int done = parseCommandLine(argc, argv, options);
  if (done >= 0) return done;
  const std::string record = fromHere(options.record);
  const std::string replay = fromHere(options.replay);
  const std::string clip = fromHere(options.exportClip);
  if (!options.link.empty()) return printRunLink(options.link, options.base);
  if (options.scores || options.config) {
    // Both asked for: both printed, the scores first.
    const int scores = options.scores ? printScores() : 0;
    const int config = options.config ? printConfig() : 0;
    return scores != 0 ? scores : config;
  }
  // A check needs nothing of the game's data, nor a display.
  if (!replay.empty() && options.check) return checkReplay(replay);
  if (!enterDataFolder()) return -1;
  if (!clip.empty()) {
    return exportRun({replay, clip, options.exportWidth, options.exportHeight, options.mute,
                      options.from, options.to, options.force});
  }
  if (!replay.empty()) return watchReplay(replay, options.uncapped);
  return playRecorded(record, options.uncapped);
}
