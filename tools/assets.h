#pragma once
#include <string>

// Each writes its files into the given folder (which exists) and returns false
// after printing what failed. Output is the same bytes on every run.
bool makePictures(const std::string& imgDir);
bool makeSounds(const std::string& soundDir);
bool makeIcon(const std::string& iconDir);
