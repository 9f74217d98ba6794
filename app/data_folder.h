#pragma once
// The game reads its pictures and sounds by relative paths ("./img/...",
// "./sound/..."), so before start-up it moves into the folder that holds them,
// wherever it was started from.

#include <string>
#include <vector>

// The folders that may hold img/ and sound/, in the order they are tried, for
// the executable in `exeDir`: its own folder, its run/ subfolder (the build
// tree), the installed data folder relative to it (an unpacked package), and
// last the installed data folder this build was configured for.
std::vector<std::string> dataFolderCandidates(const std::string& exeDir);

// The first candidate whose start-up picture (img/prueba.png) can be read and
// that holds sound/; empty when none does.
std::string findDataFolder(const std::vector<std::string>& candidates);

// Changes the working directory to the data folder. When there is none, writes
// one line saying where it looked and returns false.
bool enterDataFolder();
