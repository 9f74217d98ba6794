// nombre: a side-scrolling martial-arts brawler.
#include "app/data_folder.h"
#include "app/game.h"

int main() {
  if (!enterDataFolder()) return -1;
  return runGame();
}
