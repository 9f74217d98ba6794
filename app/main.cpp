// nombre: a side-scrolling martial-arts brawler.
#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/game.h"
#include "app/player_files.h"

int main(int argc, char** argv) {
  Options options;
  const int done = parseCommandLine(argc, argv, options);
  if (done >= 0) return done;
  if (options.scores) return printScores();
  if (options.config) return printConfig();
  if (!enterDataFolder()) return -1;
  return runGame();
}
