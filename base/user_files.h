#pragma once
// The player's own files: best scores and settings. They live in the player's
// folders (the XDG base directory rules), and every write replaces a file
// whole or not at all, so a crash or a full disk never leaves half a table.

#include <cstddef>
#include <string>

// The player's own folders, following the XDG base directory rules.
std::string userDataFolder();    // $XDG_DATA_HOME/nombre, else $HOME/.local/share/nombre; "" when neither is set
std::string userConfigFolder();  // $XDG_CONFIG_HOME/nombre, else $HOME/.config/nombre; "" when neither is set
std::string userStateFolder();   // $XDG_STATE_HOME/nombre, else $HOME/.local/state/nombre; "" when neither is set
// Why the folder under `xdgVariable` (e.g. "XDG_DATA_HOME") is "", in the
// player's words; "" when there is one. A relative path there does not count.
std::string whyNoUserFolder(const char* xdgVariable);

// Writes `contents` to `path` whole or not at all, through a TemporaryFile
// (base/temporary_file.h) beside the file: the target of a symlink at `path`,
// so the link stays, in its folder (created with its parents if missing);
// the old file's permissions are kept. On failure returns false, leaves any
// old file whole, removes its temporary, and sets *why to a short reason.
bool writeFileWhole(const std::string& path, const std::string& contents, std::string* why);

// The player has taken the write permission off the regular file at `path`:
// it is never written over. The mode is read, not tried, since root may
// write any file.
bool madeReadOnly(const std::string& path);

// Creates `folder` and any missing parents. Returns false and sets *why when
// it cannot.
bool makeFolders(const std::string& folder, std::string* why);

// Reads the whole regular file at `path` into *contents. Returns false when
// there is no such file or it cannot be read, or when it is larger than
// `largest` bytes (a negative `largest`: any size), which its size on disk
// tells before a byte is read; *tooLarge (if given) says which.
bool readFileWhole(const std::string& path, std::string* contents, long long largest = -1, bool* tooLarge = nullptr);

// What reading one of the player's files found.
enum class FileRead {
  Read,        // *contents holds the file
  Missing,     // nothing is there
  Unreadable,  // something is there that cannot be read: *why says what
  TooLarge,    // a file larger than the most the game reads: not read
};
// Reads the player's file at `path` (following a symlink) if it is a regular
// file of at most maxBytes.
FileRead readPlayerFile(const std::string& path, long long maxBytes, std::string* contents, std::string* why);

// Says once, on stderr, that scores and settings cannot be kept, and why.
void cannotKeepPlayerFiles(const std::string& why);
// The next failure is said again (tests).
void cannotKeepPlayerFilesAgain();

// Renames the file at `path` to `path.bad-YYYYMMDD-HHMMSS` (with a number
// added if that is taken), so that a file the game cannot read is kept for
// the player rather than overwritten. Returns the new path, "" on failure.
std::string moveAside(const std::string& path);
