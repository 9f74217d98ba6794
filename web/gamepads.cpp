// The browser's pads in GLFW's gamepad layout. Only pads the browser maps
// as "standard" are read: their buttons and axes have known places.
#include <emscripten/html5.h>

#include <cstring>

#include "web/glfw_gamepad.h"

namespace {

// GLFW's button, in its layout's order, from the standard mapping's.
constexpr int kFromStandard[15] = {
    0,   // A: the bottom face button
    1,   // B
    2,   // X
    3,   // Y
    4,   // left bumper
    5,   // right bumper
    8,   // back
    9,   // start
    16,  // guide
    10,  // left stick pressed
    11,  // right stick pressed
    12,  // D-pad up
    15,  // D-pad right
    13,  // D-pad down
    14,  // D-pad left
};

}  // namespace

extern "C" int glfwGetGamepadState(int jid, GLFWgamepadstate* state) {
  // The browser takes a new look at its pads once a pass, before the first.
  static double lookedAt = -1.0;
  const double now = emscripten_get_now();
  if (now != lookedAt) {
    lookedAt = now;
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return GLFW_FALSE;
  }
  if (jid < 0 || jid >= emscripten_get_num_gamepads()) return GLFW_FALSE;
  EmscriptenGamepadEvent pad;
  if (emscripten_get_gamepad_status(jid, &pad) != EMSCRIPTEN_RESULT_SUCCESS) return GLFW_FALSE;
  if (!pad.connected || std::strcmp(pad.mapping, "standard") != 0) return GLFW_FALSE;
  std::memset(state, 0, sizeof *state);
  for (int i = 0; i < 15; ++i) {
    const int from = kFromStandard[i];
    state->buttons[i] = from < pad.numButtons && pad.digitalButton[from] ? GLFW_PRESS : GLFW_RELEASE;
  }
  for (int i = 0; i < 4 && i < pad.numAxes; ++i) state->axes[i] = static_cast<float>(pad.axis[i]);
  // The triggers are buttons 6 and 7 there, from 0 to 1; in GLFW's layout, axes from -1.
  state->axes[4] = pad.numButtons > 6 ? static_cast<float>(pad.analogButton[6]) * 2.0f - 1.0f : -1.0f;
  state->axes[5] = pad.numButtons > 7 ? static_cast<float>(pad.analogButton[7]) * 2.0f - 1.0f : -1.0f;
  return GLFW_TRUE;
}
