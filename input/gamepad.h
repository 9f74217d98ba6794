#pragma once
// Gamepads, read through GLFW's gamepad layout (its mappings cover the common
// pads): what a pad holds, and the key each of its inputs stands for.

constexpr int kMaxPads = 16;  // as many as GLFW tracks
constexpr int kPadButtons = 15;
constexpr int kPadAxes = 6;

// One pad as it stands now, buttons and axes numbered as GLFW's gamepad layout.
struct PadState {
  bool buttons[kPadButtons] = {};
  float axes[kPadAxes] = {};
};

// Reads pad `pad` (0 to kMaxPads - 1): false when no gamepad is connected
// there. The controls read through one (tests put a reader of their own there).
using PadReader = bool (*)(int pad, PadState& state);
bool readGlfwPad(int pad, PadState& state);

// The inputs of a pad that stand for a key. The D-pad and the left stick are one.
enum PadInput { kPadLeft, kPadRight, kPadUp, kPadDown, kPadSouth, kPadWest, kPadNorth, kPadStart, kPadInputs };

// Which inputs are down; the stick counts past half way.
void padInputsDown(const PadState& state, bool down[kPadInputs]);
// The key an input presses, in play or in the pause menu; 0 for none.
int padKey(int input, bool inMenu);
