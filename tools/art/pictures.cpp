// Entry point of the pictures half of the asset tool.
#include "art/art.h"
#include "assets.h"

namespace {
const char* const kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

bool makePictures(const std::string& imgDir) {
  art::Font font;
  if (!font.load(kFontPath)) return false;
  bool ok = art::makeStagePicture(imgDir);
  ok = art::makeHudPictures(imgDir, font) && ok;
  ok = art::makeScreenPictures(imgDir, font) && ok;
  ok = art::makeFighterPictures(imgDir) && ok;
  return ok;
}

bool makeIcon(const std::string& iconDir) { return art::makeIcon(iconDir + "/nombre.png"); }
