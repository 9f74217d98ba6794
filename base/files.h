#pragma once
// Opening the game's data files (and writing all of a text to a file). Only
// regular files are opened: a named pipe or a device in place of a picture or
// a sound would block the game on open (or feed it without end), so it counts
// as a file that is not there.

#include <cstdio>
#include <string>

// Opens the file at path for reading and stores its size in *bytes. Returns
// null for anything but a regular file that can be read.
std::FILE* openRegularFile(const char* path, long long* bytes);

// Writes all of `bytes` to fd, at offset `at` (or, when negative, where the
// file stands), taking as many writes as it needs. Returns false with errno
// set when a write fails (ENOSPC for one that wrote nothing).
bool writeAllOf(int fd, const std::string& bytes, long long at = -1);

// The two paths name one file (the same device and inode, through links and
// whatever the names): false when either is not there.
bool sameFile(const char* a, const char* b);
