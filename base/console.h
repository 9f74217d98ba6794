#pragma once
// The game's diagnostic lines: one line on standard output, flushed at once
// so that a player or a test reading the console sees it as it happens.

void consoleLine(const char* line);
