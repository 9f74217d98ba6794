#pragma once
// The game's pictures, decoded and given their mip chains on a second thread
// while the window and its context are being made. The GL work stays on the
// thread that draws: it takes each picture in the order start-up loads them,
// so what start-up writes and when is the same as decoding on the spot.

#include <string>
#include <vector>

#include "render/mipmaps.h"

// A picture of the game ready to upload: TV-safe colours, every mip level
// (or level 0 only), and the part of it that can show.
struct GamePicture {
  bool loaded = false;
  std::string why;  // when it did not load: what is wrong with the file
  int fileChannels = 0;
  std::vector<Picture> levels;
  std::vector<VisibleRows> visible;  // of every level, when mipmapped
};

struct PictureRequest {
  const char* path;
  long maxPixels;
  bool mipmapped;
};

// Decodes one picture now, on this thread; loaded is false when it could not.
GamePicture prepareGamePicture(const PictureRequest& request);

// Starts preparing the pictures on a thread of its own, in this order.
void preparePicturesAhead(std::vector<PictureRequest> requests);
// The picture asked for: the next prepared one if it matches (waited for
// when it is not ready yet), else prepared now.
GamePicture takeGamePicture(const PictureRequest& request);
// Stops the thread and drops whatever was not taken. Safe to call at any time.
void stopPreparingAhead();
