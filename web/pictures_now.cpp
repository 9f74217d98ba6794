// A page has no second thread to decode on (without cross-origin isolation):
// each picture is decoded when start-up takes it.
#include "render/pictures_ahead.h"

void preparePicturesAhead(std::vector<PictureRequest> /*requests*/) {}

GamePicture takeGamePicture(const PictureRequest& request) { return prepareGamePicture(request); }

void stopPreparingAhead() {}
