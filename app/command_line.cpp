#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <regex>
#include <utility>

#include "base/command_parse.h"
#include "app/run_link.h"
#include "base/console.h"

namespace {

// What a player asks --help for besides the options: the keys and where the
// game keeps his files (as the manual page says).
const char* const kKeysAndFiles = R"(Keys (the defaults; the settings file can give each action another key):
  Left, Right       walk
  Up                jump (while walking, a jump forward); in the menu, move the choice
  Down              crouch while held; in the menu, move the choice
  Z                 punch (hold to keep punching)
  X                 kick; in the air a flying kick, crouched a low kick
  Escape            pause menu, and close it (watching a replay: pause and resume)
  Return            take the menu's choice: CONTINUAR (continue) or SALIR (leave)
  F11, Alt+Return   full screen, and back to the window
  A gamepad works beside the keyboard: D-pad or left stick to walk, jump and
  crouch, south button punch (and take the menu's choice), west button kick,
  north button jump, Start the menu.

Files:
  $XDG_CONFIG_HOME/nombre/settings.toml   the settings, as you write them: the game never writes this file
                                          (by default ~/.config/nombre/settings.toml)
  $XDG_STATE_HOME/nombre/state.toml       what the game remembers by itself: full screen or not
                                          (by default ~/.local/state/nombre/state.toml)
  $XDG_DATA_HOME/nombre/scores            the ten best runs (by default ~/.local/share/nombre/scores)
  $XDG_DATA_HOME/nombre/last-run.nrep     the last complete run played without --record
                                          (by default ~/.local/share/nombre/last-run.nrep))";

// The largest side of a clip: as far as the off-screen framebuffer goes.
constexpr int kLargestClipSide = 4096;

// "WxH", each side from 2 to kLargestClipSide pixels.
bool readClipSize(const std::string& text, int* width, int* height) {
  std::smatch parts;
  static const std::regex pattern("([0-9]{1,5})x([0-9]{1,5})");
  if (!std::regex_match(text, parts, pattern)) return false;
  *width = std::stoi(parts[1]);
  *height = std::stoi(parts[2]);
  return *width >= 2 && *height >= 2 && *width <= kLargestClipSide && *height <= kLargestClipSide;
}

}  // namespace

int parseCommandLine(int argc, char** argv, Options& options) {
  CLI::App app{"nombre: a side-scrolling martial-arts brawler", "nombre"};
  app.footer(kKeysAndFiles);
  auto* record = app.add_option("--record", options.record, "Record the run into FILE as it is played")
                     ->type_name("FILE");
  auto* replay = app.add_option("--replay", options.replay,
                                "Play back the run recorded in FILE, or held by a link (Escape pauses)")
                     ->type_name("FILE");
  auto* check = app.add_flag("--check", options.check,
               "With --replay: replay as fast as it goes without drawing; exit 0 if the run ends in the "
               "recorded state, 1 if not")
      ->needs(replay);
  record->excludes(replay);
  auto* clip = app.add_option("--export", options.exportClip,
                              "With --replay: write the run as a video into CLIP (.webm, .mp4, .gif or .mkv), "
                              "drawn without a window")
                   ->type_name("CLIP")
                   ->needs(replay);
  std::string size;
  auto* sizeOption =
      app.add_option("--size", size, "With --export: the video's size in pixels (default 800x600)")->type_name("WxH")->needs(clip);
  app.add_flag("--mute", options.mute, "With --export: no sound track")->needs(clip);
  auto* from = app.add_option("--from", options.from, "With --export: start at T seconds of the run's game time")
                   ->type_name("T")
                   ->needs(clip);
  auto* to = app.add_option("--to", options.to, "With --export: end at T seconds of the run's game time")
                 ->type_name("T")
                 ->needs(clip);
  app.add_flag("--force", options.force, "With --export: export a run even when it does not check")->needs(clip);
  auto* link = app.add_option("--link", options.link,
                              "Print the run in RUN (a file, or a link) as a link to the game's web page, and exit")
                   ->type_name("RUN")
                   ->excludes(record)
                   ->excludes(replay);
  options.base = kDefaultLinkBase;
  app.add_option("--base", options.base,
                 std::string("With --link: the address of the game's page (default ") + kDefaultLinkBase + ")")
      ->type_name("URL")
      ->needs(link);
  app.add_flag("--uncapped", options.uncapped, "Present frames as fast as the renderer can, not at the display's rate");
  app.add_flag("--scores", options.scores, "Print the table of the best runs and exit");
  app.add_flag("--config", options.config, "Print the settings file's path and the settings in force, and exit");
  const int parsed = parseCommandLineWith(app, argc, argv, "nombre", NOMBRE_VERSION);
  if (parsed >= 0) return parsed;
  // An unset variable in a script gives an empty name: the game must not
  // take it as no option at all (a new game where a check was asked for).
  if (sizeOption->count() > 0 && !readClipSize(size, &options.exportWidth, &options.exportHeight)) {
    std::cerr << "nombre: --size: " << shortQuote(size) << " is not a size such as 800x600 (2 to " << kLargestClipSide
              << " pixels a side)\n";
    return 2;
  }
  // Said in one line, not with the whole usage, as the other refusals of an export are.
  if (check->count() > 0 && clip->count() > 0) {
    std::cerr << "nombre: --check replays a run without drawing it: it does not go with --export\n";
    return 2;
  }
  // NaN, an infinity or a time before the run would ask for no part of it.
  for (const auto& [option, seconds] : {std::pair{from, options.from}, std::pair{to, options.to}}) {
    if (option->count() > 0 && !(std::isfinite(seconds) && seconds >= 0)) {
      std::cerr << "nombre: " << option->get_name() << ": " << shortQuote(option->as<std::string>())
                << " is not a time in seconds, 0 or more\n";
      return 2;
    }
  }
  if (options.to >= 0 && options.to <= options.from) {
    std::cerr << "nombre: --to must come after --from\n";
    return 2;
  }
  for (const auto* option : {record, replay, clip, link}) {
    if (option->count() > 0 && option->as<std::string>().empty()) {
      std::cerr << "nombre: " << option->get_name() << ": the file name is empty\n";
      return 2;
    }
  }
  return -1;
}

std::string clipPartProblem(double from, double to, double runSeconds) {
  char length[64];
  std::snprintf(length, sizeof length, "the run is %.2f s long", runSeconds);
  char said[160];
  if (!(std::isfinite(from) && from >= 0 && from <= runSeconds)) {
    std::snprintf(said, sizeof said, "--from %g: %s", from, length);
  } else if (to >= 0 && !(std::isfinite(to) && to <= runSeconds)) {
    std::snprintf(said, sizeof said, "--to %g: %s", to, length);
  } else {
    return "";
  }
  return said;
}
