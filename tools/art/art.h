// The groups of pictures the asset tool draws; each writes its PNGs into dir.
#pragma once
#include <string>

#include "art/text.h"

namespace art {

bool makeFighterPictures(const std::string& dir);
bool makeStagePicture(const std::string& dir);
bool makeHudPictures(const std::string& dir, const Font& font);
bool makeScreenPictures(const std::string& dir, const Font& font);
// The game's icon for the desktop menu: one square PNG at `path`.
bool makeIcon(const std::string& path);

}  // namespace art
