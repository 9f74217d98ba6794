#include "player_files/settings.h"

#include <GLFW/glfw3.h>
#include <toml++/toml.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <utility>

#include "base/console.h"
#include "base/user_files.h"
#include "player_files/player_toml.h"


const char* const kKeyActionNames[kKeyActions] = {"left", "right", "up", "down", "punch", "kick", "pause", "choose"};
const int kDefaultKeys[kKeyActions] = {GLFW_KEY_LEFT, GLFW_KEY_RIGHT, GLFW_KEY_UP,     GLFW_KEY_DOWN,
                                       GLFW_KEY_Z,    GLFW_KEY_X,     GLFW_KEY_ESCAPE, GLFW_KEY_ENTER};

Settings::Settings() {
  for (int action = 0; action < kKeyActions; ++action) keys[action] = kDefaultKeys[action];
}

namespace {

const char* const kSettingsFile = "settings.toml";
// What the game remembers by itself, apart from the player's settings.
const char* const kStateFile = "state.toml";
// A file with a fault on every line says the first ones, then how many more.
constexpr size_t kMostProblemLines = 10;
// Full screen stays on the keys that always toggle it.
const int kFullScreenKey = GLFW_KEY_F11;

struct NamedKey {
  const char* name;
  int key;
};

// X's names of the keys a player may choose (letters and digits are added
// by rule); where X has two names for a key, the first is written.
const NamedKey kNamedKeys[] = {
    {"Left", GLFW_KEY_LEFT},          {"Right", GLFW_KEY_RIGHT},
    {"Up", GLFW_KEY_UP},              {"Down", GLFW_KEY_DOWN},
    {"Return", GLFW_KEY_ENTER},       {"Escape", GLFW_KEY_ESCAPE},
    {"space", GLFW_KEY_SPACE},        {"Tab", GLFW_KEY_TAB},
    {"BackSpace", GLFW_KEY_BACKSPACE}, {"Insert", GLFW_KEY_INSERT},
    {"Delete", GLFW_KEY_DELETE},      {"Home", GLFW_KEY_HOME},
    {"End", GLFW_KEY_END},            {"Prior", GLFW_KEY_PAGE_UP},
    {"Page_Up", GLFW_KEY_PAGE_UP},    {"Next", GLFW_KEY_PAGE_DOWN},
    {"Page_Down", GLFW_KEY_PAGE_DOWN}, {"Shift_L", GLFW_KEY_LEFT_SHIFT},
    {"Shift_R", GLFW_KEY_RIGHT_SHIFT}, {"Control_L", GLFW_KEY_LEFT_CONTROL},
    {"Control_R", GLFW_KEY_RIGHT_CONTROL}, {"Alt_L", GLFW_KEY_LEFT_ALT},
    {"Alt_R", GLFW_KEY_RIGHT_ALT},    {"Super_L", GLFW_KEY_LEFT_SUPER},
    {"Super_R", GLFW_KEY_RIGHT_SUPER}, {"Caps_Lock", GLFW_KEY_CAPS_LOCK},
    {"Menu", GLFW_KEY_MENU},          {"comma", GLFW_KEY_COMMA},
    {"period", GLFW_KEY_PERIOD},      {"slash", GLFW_KEY_SLASH},
    {"semicolon", GLFW_KEY_SEMICOLON}, {"apostrophe", GLFW_KEY_APOSTROPHE},
    {"minus", GLFW_KEY_MINUS},        {"equal", GLFW_KEY_EQUAL},
    {"bracketleft", GLFW_KEY_LEFT_BRACKET}, {"bracketright", GLFW_KEY_RIGHT_BRACKET},
    {"backslash", GLFW_KEY_BACKSLASH}, {"grave", GLFW_KEY_GRAVE_ACCENT},
    {"KP_Enter", GLFW_KEY_KP_ENTER},  {"KP_Add", GLFW_KEY_KP_ADD},
    {"KP_Subtract", GLFW_KEY_KP_SUBTRACT}, {"KP_Multiply", GLFW_KEY_KP_MULTIPLY},
    {"KP_Divide", GLFW_KEY_KP_DIVIDE}, {"KP_Decimal", GLFW_KEY_KP_DECIMAL},
    {"F1", GLFW_KEY_F1},   {"F2", GLFW_KEY_F2},   {"F3", GLFW_KEY_F3},   {"F4", GLFW_KEY_F4},
    {"F5", GLFW_KEY_F5},   {"F6", GLFW_KEY_F6},   {"F7", GLFW_KEY_F7},   {"F8", GLFW_KEY_F8},
    {"F9", GLFW_KEY_F9},   {"F10", GLFW_KEY_F10}, {"F11", GLFW_KEY_F11}, {"F12", GLFW_KEY_F12},
};

// Letters, digits and keypad digits, named as X names them.
std::string ruledName(int key) {
  if (key >= GLFW_KEY_A && key <= GLFW_KEY_Z) return std::string(1, char('a' + (key - GLFW_KEY_A)));
  if (key >= GLFW_KEY_0 && key <= GLFW_KEY_9) return std::string(1, char('0' + (key - GLFW_KEY_0)));
  if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return "KP_" + std::string(1, char('0' + (key - GLFW_KEY_KP_0)));
  return "";
}

// What is wrong in a settings file, each at its place in it: said in the
// order of the file's lines, whatever order the keys are read in.
class Problems {
 public:
  explicit Problems(const std::string& name) : fileName(name) {}
  void add(const toml::source_region& source, const std::string& what) {
    found.push_back({source.begin.line, source.begin.column,
                     fileName + ":" + std::to_string(source.begin.line) + ": " + what});
  }
  void sayInto(std::vector<std::string>* problems) {
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
      return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    for (Found& problem : found) problems->push_back(std::move(problem.text));
  }

 private:
  struct Found {
    toml::source_index line;
    toml::source_index column;
    std::string text;
  };
  std::string fileName;
  std::vector<Found> found;
};

void readVolume(const toml::table& file, const char* entry, int* volume, Problems& problems) {
  const toml::node* node = file.get(entry);
  if (node == nullptr) return;
  const std::optional<int64_t> value = node->value_exact<int64_t>();
  if (value && *value >= 0 && *value <= kMaxVolume) {
    *volume = static_cast<int>(*value);
    return;
  }
  problems.add(node->source(), std::string(entry) + " must be a whole number from 0 to 100; using " + std::to_string(*volume));
}

void readKeys(const toml::node* keysNode, Settings* read, Problems& problems) {
  if (keysNode == nullptr) return;
  const toml::table* keys = keysNode->as_table();
  if (keys == nullptr) {
    problems.add(keysNode->source(), "keys must be a table of actions; using the default keys");
    return;
  }
  const toml::source_region* sources[kKeyActions] = {};
  for (const auto& [action, node] : *keys) {
    int index = 0;
    while (index < kKeyActions && action.str() != kKeyActionNames[index]) ++index;
    if (index == kKeyActions) {
      problems.add(node.source(), "no action is called " + shortQuote(std::string(action.str())) +
                                      " (left, right, up, down, punch, kick, pause, choose)");
      continue;
    }
    const std::optional<std::string> name = node.value_exact<std::string>();
    const int key = name ? keyFromName(*name) : -1;
    if (key < 0 || key == kFullScreenKey) {
      problems.add(node.source(), std::string(kKeyActionNames[index]) + ": " +
                          (!name ? std::string("a key name must be in quotes")
                                 : key < 0 ? "no key is called \"" + shortQuote(*name) + "\""
                                           : std::string("F11 is kept for full screen")) +
                          "; using " + keyName(kDefaultKeys[index]));
      continue;
    }
    read->keys[index] = key;
    sources[index] = &node.source();
  }
  // Two actions on one key: the later one takes its default key; where that
  // key is the earlier one's, the earlier one takes its own default instead.
  for (bool clash = true; clash;) {
    clash = false;
    for (int later = 0; later < kKeyActions && !clash; ++later) {
      for (int earlier = 0; earlier < later && !clash; ++earlier) {
        if (read->keys[earlier] != read->keys[later]) continue;
        clash = true;
        const int reset = read->keys[later] != kDefaultKeys[later] ? later : earlier;
        const int other = reset == later ? earlier : later;
        problems.add(*sources[reset], std::string(kKeyActionNames[reset]) + " and " +
                            kKeyActionNames[other] + " are both on " + keyName(read->keys[reset]) + "; " +
                            kKeyActionNames[reset] + " is on " + keyName(kDefaultKeys[reset]));
        read->keys[reset] = kDefaultKeys[reset];
      }
    }
  }
}

}  // namespace

std::string keyName(int key) {
  for (const NamedKey& named : kNamedKeys) {
    if (named.key == key) return named.name;
  }
  if (key < 0 || key > GLFW_KEY_LAST) return "";
  return ruledName(key);
}

int keyFromName(const std::string& name) {
  for (const NamedKey& named : kNamedKeys) {
    if (name == named.name) return named.key;
  }
  // X tells "z" from "Z" by Shift; the key is the same.
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return GLFW_KEY_A + (name[0] - 'A');
  for (int key = 0; key <= GLFW_KEY_LAST; ++key) {
    if (!name.empty() && ruledName(key) == name) return key;
  }
  return -1;
}

Settings readSettings(const std::string& text, const std::string& fileName, std::vector<std::string>* problems,
                      bool* unreadable) {
  Settings read;
  *unreadable = false;
  // Every line names the file as every other line naming a file does.
  const std::string shownName = quotedPath(fileName);
  toml::table file;
  if (const int deep = lineNestedTooDeep(text)) {
    problems->push_back(shownName + ":" + std::to_string(deep) + ": " + nestedTooDeep() + "; using the default settings");
    *unreadable = true;
    return read;
  }
  try {
    file = toml::parse(text, fileName);
  } catch (const toml::parse_error& error) {
    problems->push_back(shownName + ":" + std::to_string(error.source().begin.line) + ": " +
                        shortQuote(std::string(error.description()), kParserWordsBytes) + "; using the default settings");
    *unreadable = true;
    return read;
  }
  Problems found(shownName);
  for (const auto& [entry, node] : file) {
    const std::string_view name = entry.str();
    if (name == "full_screen" || name == "music_volume" || name == "effects_volume" || name == "keys") continue;
    found.add(node.source(), "no setting is called " + shortQuote(std::string(name)));
  }
  if (const toml::node* node = file.get("full_screen")) {
    if (const std::optional<bool> value = node->value_exact<bool>()) {
      read.fullScreen = *value;
    } else {
      found.add(node->source(), "full_screen must be true or false; using false");
    }
  }
  readVolume(file, "music_volume", &read.musicVolume, found);
  readVolume(file, "effects_volume", &read.effectsVolume, found);
  readKeys(file.get("keys"), &read, found);
  found.sayInto(problems);
  return read;
}

std::string settingsText(const Settings& chosen) {
  std::ostringstream text;
  text << "# nombre's settings. Keys are named as the window system names them\n"
          "# (Left, Return, space, z, F1, KP_0, ...).\n"
       << "full_screen = " << (chosen.fullScreen ? "true" : "false") << "\n"
       << "music_volume = " << chosen.musicVolume << "    # 0-100\n"
       << "effects_volume = " << chosen.effectsVolume << "  # 0-100\n"
       << "\n[keys]\n";
  for (int action = 0; action < kKeyActions; ++action) {
    const std::string name = keyName(chosen.keys[action]);
    text << kKeyActionNames[action] << " = \"" << (!name.empty() ? name : keyName(kDefaultKeys[action])) << "\"\n";
  }
  return text.str();
}

std::string settingsPath() {
  const std::string folder = userConfigFolder();
  return folder.empty() ? "" : folder + "/" + kSettingsFile;
}

std::string statePath() {
  const std::string folder = userStateFolder();
  return folder.empty() ? "" : folder + "/" + kStateFile;
}

namespace {

long long modifiedAt(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? static_cast<long long>(status.st_mtime) : -1;
}

// Full screen as the game last left it, where that choice is newer than the
// settings file: the player editing settings.toml after pressing F11 gets
// what they wrote, and F11 after the edit is remembered over it. The state
// is the game's own: one it cannot read is simply not used.
void takeRememberedFullScreen(const std::string& settingsFile, Settings& settings) {
  const std::string path = statePath();
  std::string text, why;
  if (path.empty() || readPlayerFile(path, kMostPlayerFileBytes, &text, &why) != FileRead::Read) return;
  if (lineNestedTooDeep(text) != 0 || modifiedAt(path) < modifiedAt(settingsFile)) return;
  try {
    const toml::table state = toml::parse(text, path);
    if (const std::optional<bool> fullScreen = state["full_screen"].value_exact<bool>()) settings.fullScreen = *fullScreen;
  } catch (const toml::parse_error&) {
  }
}

void sayProblems(const std::string& path, const std::vector<std::string>& problems) {
  for (size_t i = 0; i < problems.size() && i < kMostProblemLines; ++i) {
    std::fprintf(stderr, "nombre: %s\n", problems[i].c_str());
  }
  if (problems.size() > kMostProblemLines) {
    std::fprintf(stderr, "nombre: %s: %zu more problems not shown\n", quotedPath(path).c_str(), problems.size() - kMostProblemLines);
  }
}

}  // namespace

Settings loadSettings() {
  Settings settings;
  const std::string path = settingsPath();
  if (path.empty()) return settings;
  std::string text, why;
  switch (readPlayerFile(path, kMostPlayerFileBytes, &text, &why)) {
    case FileRead::Missing:
      break;  // no file: the defaults
    case FileRead::Unreadable:
      std::fprintf(stderr, "nombre: %s cannot be read (%s); using the default settings\n", quotedPath(path).c_str(), why.c_str());
      break;
    case FileRead::TooLarge:
      std::fprintf(stderr, "nombre: %s is larger than a settings file can be (%lld KB); using the default settings\n",
                   quotedPath(path).c_str(), kMostPlayerFileBytes / 1024);
      break;
    case FileRead::Read: {
      std::vector<std::string> problems;
      bool notToml = false;
      settings = readSettings(text, path, &problems, &notToml);
      sayProblems(path, problems);
      break;
    }
  }
  takeRememberedFullScreen(path, settings);
  return settings;
}

bool keepFullScreen(Settings& settings, bool fullScreen) {
  settings.fullScreen = fullScreen;
  const std::string path = statePath();
  std::string why = "no home folder";
  const std::string text = std::string("# What nombre remembers by itself. Your settings are in settings.toml.\n") +
                           "full_screen = " + (fullScreen ? "true" : "false") + "\n";
  if (!path.empty() && writeFileWhole(path, text, &why)) return true;
  cannotKeepPlayerFiles(why);
  return false;
}

int gameKey(const Settings& settings, int windowKey) {
  for (int action = 0; action < kKeyActions; ++action) {
    if (settings.keys[action] == windowKey) return kDefaultKeys[action];
  }
  for (int action = 0; action < kKeyActions; ++action) {
    if (kDefaultKeys[action] == windowKey) return GLFW_KEY_UNKNOWN;
  }
  return windowKey;
}
