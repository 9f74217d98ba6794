#pragma once
// Opening the game's data files. Only regular files are opened: a named pipe
// or a device in place of a picture or a sound would block the game on open
// (or feed it without end), so it counts as a file that is not there.

#include <cstdio>

// Opens the file at path for reading and stores its size in *bytes. Returns
// null for anything but a regular file that can be read.
std::FILE* openRegularFile(const char* path, long long* bytes);
