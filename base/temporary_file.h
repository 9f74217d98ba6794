#pragma once
// The hidden file a file is written in before it takes the file's place, so
// that the file is replaced whole or not at all: the player's scores and
// settings, and a clip (with a GIF's frames waiting for their palette).
//
// It lies beside the file it becomes (a rename only stays atomic within one
// file system) under the name ".<file>.tmp-<pid>-<n>": hidden, carrying the
// writer's process id, so that a leftover can be told from a write still
// under way in another copy of the game, and a serial number, so that one
// process's temporaries never share a name. What a writer that died left
// beside a file goes at the next write to that file.

#include <string>

// The file a write to `path` goes to: where a chain of symlinks at `path`
// ends (a write through a link keeps the link), or `path` itself.
std::string linkTarget(const std::string& path);

// The folder of `path` ("." when it names none, "/" for the root's files)
// and the name in it (empty for a path ending in '/').
void splitPath(const std::string& path, std::string* folder, std::string* name);

class TemporaryFile {
 public:
  // Names a temporary for the file `path` leads to and removes the
  // temporaries dead writers left beside that file. Nothing is made: the
  // caller creates and writes the file at path().
  explicit TemporaryFile(const std::string& path);
  // A temporary that has not taken its file's place is removed.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }      // the temporary's own
  const std::string& target() const { return target_; }  // the file it replaces
  const std::string& folder() const { return folder_; }  // the target's folder
  // The target has a name (the path did not end in '/').
  bool named() const { return named_; }

  // Puts the written temporary in the target's place: its bytes synced, the
  // old file's permissions kept, renamed over the target, and the folder
  // synced so that the rename itself lasts. On failure returns false with
  // errno set, and the temporary is gone; the target is as it was.
  bool replaceTarget();
  // Gives the temporary up: it is removed.
  void remove();

 private:
  std::string target_;
  std::string folder_;
  std::string path_;
  bool named_ = false;
  bool placed_ = false;
};
