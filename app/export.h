#pragma once
// A recorded run written as a video file: replayed tick by tick and drawn
// frame by frame as the game draws it, 60 frames a second, in an OpenGL
// context of its own with no window and no display, with the run's sounds.

#include <string>

struct ExportRequest {
  std::string run;   // the run file
  std::string clip;  // the video to write; its extension chooses the kind
  int width = 800;
  int height = 600;
  bool mute = false;
  double from = 0;  // seconds of the run's game time
  double to = -1;   // below 0: to the run's end
  bool force = false;  // a run that does not check is written all the same
};

// Writes the clip. 0 when it is written; 2 when the run, the name or the
// size will not do; 1 when the run does not check (without force), the clip
// could not be made, or a quit signal stopped it (leaving no file). Every
// failure is one line on stderr. Runs in the game's data folder.
int exportRun(const ExportRequest& request);
