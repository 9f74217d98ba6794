#include "input/gamepad.h"

#include <GLFW/glfw3.h>

namespace {

constexpr float kStickHalfWay = 0.5f;

struct PadKeys {
  int inPlay;
  int inMenu;
};
// Indexed by PadInput. In the menu the D-pad moves the choice and the south
// button takes it; the attack and jump buttons rest.
constexpr PadKeys kPadKeys[kPadInputs] = {
    {GLFW_KEY_LEFT, GLFW_KEY_LEFT},      // kPadLeft
    {GLFW_KEY_RIGHT, GLFW_KEY_RIGHT},    // kPadRight
    {GLFW_KEY_UP, GLFW_KEY_UP},          // kPadUp
    {GLFW_KEY_DOWN, GLFW_KEY_DOWN},      // kPadDown
    {GLFW_KEY_Z, GLFW_KEY_ENTER},        // kPadSouth: punch
    {GLFW_KEY_X, 0},                     // kPadWest: kick
    {GLFW_KEY_UP, 0},                    // kPadNorth: jump
    {GLFW_KEY_ESCAPE, GLFW_KEY_ESCAPE},  // kPadStart
};

}  // namespace

bool readGlfwPad(int pad, PadState& state) {
  GLFWgamepadstate glfwState;
  if (!glfwGetGamepadState(GLFW_JOYSTICK_1 + pad, &glfwState)) return false;
  for (int i = 0; i < kPadButtons; ++i) state.buttons[i] = glfwState.buttons[i] == GLFW_PRESS;
  for (int i = 0; i < kPadAxes; ++i) state.axes[i] = glfwState.axes[i];
  return true;
}

void padInputsDown(const PadState& state, bool down[kPadInputs]) {
  const float x = state.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
  const float y = state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y];  // up is negative
  down[kPadLeft] = state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_LEFT] || x < -kStickHalfWay;
  down[kPadRight] = state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_RIGHT] || x > kStickHalfWay;
  down[kPadUp] = state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_UP] || y < -kStickHalfWay;
  down[kPadDown] = state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_DOWN] || y > kStickHalfWay;
  down[kPadSouth] = state.buttons[GLFW_GAMEPAD_BUTTON_A];
  down[kPadWest] = state.buttons[GLFW_GAMEPAD_BUTTON_X];
  down[kPadNorth] = state.buttons[GLFW_GAMEPAD_BUTTON_Y];
  down[kPadStart] = state.buttons[GLFW_GAMEPAD_BUTTON_START];
}

int padKey(int input, bool inMenu) { return inMenu ? kPadKeys[input].inMenu : kPadKeys[input].inPlay; }
