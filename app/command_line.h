#pragma once
// The game's command line. With no options the game plays as it always has.

#include <string>

struct Options {
  std::string record;  // --record FILE: the run goes into FILE as it is played
  std::string replay;  // --replay FILE: a recorded run played back (a file, or a link to a run)
  std::string link;    // --link RUN: print the run's link and exit
  std::string base;    // --base URL: with --link, the page the link opens
  bool check = false;  // with --replay: replay without drawing and compare the end state
  bool uncapped = false;  // --uncapped: frames as fast as they draw (measuring the renderer)
  bool scores = false;  // --scores: print the best runs and exit
  bool config = false;  // --config: print the settings file's path and the settings in force, and exit
  // --export CLIP, with --replay: the run written as a video, drawn off screen.
  std::string exportClip;
  int exportWidth = 800;  // --size WxH
  int exportHeight = 600;
  bool mute = false;      // --mute: no sound track
  double from = 0;        // --from T: seconds of the run's game time
  double to = -1;         // --to T; below 0, to the run's end
  bool force = false;     // --force: export a run that does not check
};

// Reads argv into `options`. Returns -1 when the game should go on, else the
// exit code to end with: 0 after --help or --version, 2 after an option it
// does not know or a wrong use of one (the usage already written to stderr),
// or after an empty file name (one line saying so).
int parseCommandLine(int argc, char** argv, Options& options);

// What is wrong with --from and --to (`to` below 0: not given) for a clip
// whose last frame shows `runSeconds` into the run: a time that is not a
// number, or that lies past the run's end, said as a line without "nombre: "
// and its end; "" when they will do.
std::string clipPartProblem(double from, double to, double runSeconds);
