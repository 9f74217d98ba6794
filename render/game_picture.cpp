// One picture of the game decoded and given its mip chain, on whichever
// thread asks (see render/pictures_ahead.h).
#include <utility>

#include "render/image.h"
#include "render/pictures_ahead.h"

GamePicture prepareGamePicture(const PictureRequest& request) {
  GamePicture prepared;
  Picture base;
  if (!decodePicture(request.path, 0, kImageNtscSafe, request.maxPixels, base, &prepared.fileChannels, &prepared.why)) {
    return prepared;
  }
  prepared.loaded = true;
  if (request.mipmapped) {
    prepared.levels = mipChain(std::move(base));
  } else {
    prepared.levels.push_back(std::move(base));
  }
  if (request.mipmapped) prepared.visible = visibleRows(prepared.levels);
  return prepared;
}
