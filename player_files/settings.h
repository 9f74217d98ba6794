#pragma once
// The player's settings: full screen, the loudness of music and effects, and
// the key for each action. They live in settings.toml in the player's config
// folder; a missing file means the defaults, and a bad entry falls back to its
// default while the good ones are kept.

#include <string>
#include <vector>

// The actions a key can be chosen for, in the order of the file.
enum KeyAction { kLeftKey, kRightKey, kUpKey, kDownKey, kPunchKey, kKickKey, kPauseKey, kChooseKey, kKeyActions };

constexpr int kMaxVolume = 100;

struct Settings {
  bool fullScreen = false;
  int musicVolume = kMaxVolume;    // 0-100
  int effectsVolume = kMaxVolume;  // 0-100
  int keys[kKeyActions];           // GLFW key codes
  Settings();
};


// The file's name for each action ("left", "kick", ...).
extern const char* const kKeyActionNames[kKeyActions];
// The key the game's own rules know each action by: the defaults.
extern const int kDefaultKeys[kKeyActions];

// The window system's name of a GLFW key ("Left", "z", "Return"), or "" for none.
std::string keyName(int key);
// The GLFW key of a window system's key name; -1 for a name it does not know.
int keyFromName(const std::string& name);

// Reads settings from the text of a settings file. Each entry the game cannot
// use adds a line to *problems naming the file, the line and the problem (in
// the order of the file's lines), and keeps its default. *unreadable is set when the text is not TOML at all.
Settings readSettings(const std::string& text, const std::string& fileName, std::vector<std::string>* problems,
                      bool* unreadable);
// The settings as the text of a settings file, every entry written.
std::string settingsText(const Settings& settings);

// $XDG_CONFIG_HOME/nombre/settings.toml; "" with no home folder.
std::string settingsPath();
// $XDG_STATE_HOME/nombre/state.toml, what the game remembers by itself
// (full screen); "" with no home folder.
std::string statePath();
// Reads the player's settings file, each problem a line on
// stderr (the first ten, then how many more), then full screen as the game
// last left it where that is newer than the file. The game never writes the
// settings file: it is the player's, comments and all.
Settings loadSettings();
// Remembers full screen on or off for the next start, in the state file.
bool keepFullScreen(Settings& settings, bool fullScreen);

// The key the game's rules know a pressed key by: the action's default key
// for a chosen key, none (-1) for a default key now given to no action, and
// any other key as it is.
int gameKey(const Settings& settings, int windowKey);
