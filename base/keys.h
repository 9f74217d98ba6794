#pragma once
// The keys and key actions a run knows, by the numbers the window system
// gives them (the same as GLFW's, so recorded runs name keys as the keyboard
// does; the shell checks that they agree).

constexpr int kKeyUnknown = -1;
constexpr int kKeyZ = 90;
constexpr int kKeyX = 88;
constexpr int kKeyEscape = 256;
constexpr int kKeyEnter = 257;
constexpr int kKeyRight = 262;
constexpr int kKeyLeft = 263;
constexpr int kKeyDown = 264;
constexpr int kKeyUp = 265;
constexpr int kKeyLast = 348;

constexpr int kKeyRelease = 0;
constexpr int kKeyPress = 1;
constexpr int kKeyRepeat = 2;
