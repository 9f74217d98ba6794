// nombre: a side-scrolling martial-arts brawler.
#include <filesystem>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/export.h"
#include "app/replay.h"
#include "player_files/player_files.h"

namespace {

// The game moves into its data folder: a file named on the command line is
// taken from where the player was.
std::string fromHere(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::absolute(path, error);
  return error ? path : whole.string();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int done = parseCommandLine(argc, argv, options);
  if (done >= 0) return done;
  const std::string record = fromHere(options.record);
  const std::string replay = fromHere(options.replay);
  const std::string clip = fromHere(options.exportClip);
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
