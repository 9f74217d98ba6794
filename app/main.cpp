// nombre: a side-scrolling martial-arts brawler.
#include "app/game.h"

int main() { return runGame(); }
