// Gamepads beside the keyboard: sequences of pad states and key events, and
// the control state they leave.
#include <gtest/gtest.h>

#include <vector>

#include "app/window_callbacks.h"
#include "input/gamepad.h"
#include "rules/control_rules.h"
#include "tests/gl_fixture.h"  // GL and GLFW, in the order they need

namespace {

// The pads the game sees: the test sets what each one holds.
PadState fakePads[kMaxPads];
bool plugged[kMaxPads];

bool readFakePad(int pad, PadState& state) {
  state = fakePads[pad];
  return plugged[pad];
}

constexpr int DL = GLFW_GAMEPAD_BUTTON_DPAD_LEFT, DR = GLFW_GAMEPAD_BUTTON_DPAD_RIGHT;
constexpr int DU = GLFW_GAMEPAD_BUTTON_DPAD_UP, DD = GLFW_GAMEPAD_BUTTON_DPAD_DOWN;
constexpr int SOUTH = GLFW_GAMEPAD_BUTTON_A, WEST = GLFW_GAMEPAD_BUTTON_X, NORTH = GLFW_GAMEPAD_BUTTON_Y;
constexpr int START = GLFW_GAMEPAD_BUTTON_START;
constexpr int P = GLFW_PRESS, R = GLFW_RELEASE;

// One step: a pass in which a pad holds exactly these buttons and stick, a
// pad unplugged for a pass, or one keyboard event.
struct Step {
  enum Kind { kPad, kUnplug, kKey } kind;
  int pad = 0;
  std::vector<int> buttons;
  float stickX = 0.0f, stickY = 0.0f;
  int key = 0, action = 0;
};
Step pad(int which, std::vector<int> buttons, float stickX = 0.0f, float stickY = 0.0f) {
  return {Step::kPad, which, std::move(buttons), stickX, stickY};
}
Step unplug(int which) { return {Step::kUnplug, which, {}}; }
Step key(int key, int action) { return {Step::kKey, 0, {}, 0.0f, 0.0f, key, action}; }

class Gamepads : public ::testing::Test {
 protected:
  void SetUp() override {
    window = sharedGame().window;
    sharedGame().controls.readPad = readFakePad;
    forget();
  }
  void TearDown() override {
    forget();
    sharedGame().controls.readPad = readGlfwPad;
  }
  void forget() {
    for (int i = 0; i < kMaxPads; ++i) {
      fakePads[i] = PadState();
      plugged[i] = false;
    }
    Controls& controls = sharedGame().controls;
    const PadReader reader = controls.readPad;
    controls = Controls();  // nothing held
    controls.readPad = reader;
    freshControls(sharedGame().run);
  }
  void run(const Step& step) {
    if (step.kind == Step::kKey) {
      keyboardKey(window, step.key, 0, step.action, 0);
      return;
    }
    PadState& state = fakePads[step.pad];
    state = PadState();
    for (int button : step.buttons) state.buttons[button] = true;
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = step.stickX;
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = step.stickY;
    plugged[step.pad] = step.kind == Step::kPad;
    pollGamepads(sharedGame());
  }
  GLFWwindow* window = nullptr;
};

struct PadCase {
  const char* name;
  std::vector<Step> steps;
  int code;
  bool menu;
  bool exit;
};

TEST_F(Gamepads, PadAndKeyboardSequencesGiveTheControlState) {
  const PadCase cases[] = {
      // One pad in play.
      {"d-pad right walks", {pad(0, {DR})}, kWalkRight, false, false},
      {"stick past half way walks left", {pad(0, {}, -0.8f)}, kWalkLeft, false, false},
      {"stick under half way does nothing", {pad(0, {}, 0.4f, -0.4f)}, kNoControl, false, false},
      {"stick up jumps", {pad(0, {}, 0.0f, -0.9f)}, kJump, false, false},
      {"left over right", {pad(0, {DR}), pad(0, {DR, DL})}, kWalkLeft, false, false},
      {"left let go while right held", {pad(0, {DR}), pad(0, {DR, DL}), pad(0, {DR})}, kWalkRight, false, false},
      {"south punches", {pad(0, {DR}), pad(0, {DR, SOUTH})}, kPunch, false, false},
      {"south let go walks on", {pad(0, {DR}), pad(0, {DR, SOUTH}), pad(0, {DR})}, kWalkRight, false, false},
      {"west kicks", {pad(0, {WEST})}, kKick, false, false},
      {"north jumps", {pad(0, {DR}), pad(0, {DR, NORTH})}, kJump, false, false},
      {"north let go walks on", {pad(0, {DR}), pad(0, {DR, NORTH}), pad(0, {DR})}, kWalkRight, false, false},
      {"down crouches", {pad(0, {DD})}, kCrouch, false, false},
      {"down let go stands up", {pad(0, {DD}), pad(0, {})}, kStandUp, false, false},
      {"d-pad let go while the stick still holds", {pad(0, {DR}, 0.9f), pad(0, {}, 0.9f)}, kWalkRight, false,
       false},
      // Start and the menu.
      {"start opens the menu and keeps the code", {pad(0, {DR}), pad(0, {DR, START})}, kWalkRight, true, false},
      {"start held opens it once", {pad(0, {START}), pad(0, {START}), pad(0, {START})}, kNoControl, true, false},
      {"start again closes it", {pad(0, {START}), pad(0, {}), pad(0, {START})}, kNoControl, false, false},
      // A direction held through a pause walks on when it ends, as the
      // keyboard's repeat does.
      {"a direction held through the menu walks when start closes it",
       {pad(0, {DR}), pad(0, {DR, START}), pad(0, {DR}), pad(0, {DR, START})}, kWalkRight, false, false},
      {"and goes on walking once start is let go",
       {pad(0, {DR}), pad(0, {DR, START}), pad(0, {DR}), pad(0, {DR, START}), pad(0, {DR})}, kWalkRight, false,
       false},
      {"the stick held while the keyboard closes the menu",
       {pad(0, {}, -0.9f), key(GLFW_KEY_ESCAPE, P), key(GLFW_KEY_ESCAPE, R), pad(0, {}, -0.9f),
        key(GLFW_KEY_ESCAPE, P), pad(0, {}, -0.9f), key(GLFW_KEY_ESCAPE, R)},
       kWalkLeft, false, false},
      {"let go in the menu: nothing to walk", {pad(0, {DR}), pad(0, {DR, START}), pad(0, {}), pad(0, {START}), pad(0, {})},
       kNoControl, false, false},
      {"d-pad moves the choice", {pad(0, {START}), pad(0, {}), pad(0, {DD})}, kNoControl, true, true},
      {"d-pad held moves it once", {pad(0, {START}), pad(0, {}), pad(0, {DU}), pad(0, {DU})}, kNoControl, true,
       true},
      {"south takes continue and does not punch", {pad(0, {START}), pad(0, {}), pad(0, {SOUTH}), pad(0, {})},
       kNoControl, false, false},
      {"attack and jump buttons rest in the menu", {pad(0, {START}), pad(0, {}), pad(0, {WEST, NORTH})},
       kNoControl, true, false},
      {"south held into the menu takes nothing", {pad(0, {SOUTH}), pad(0, {SOUTH, START}), pad(0, {})}, kPunch,
       true, false},
      // Pads come and go.
      {"unplugged while walking lets go", {pad(0, {DR}), unplug(0)}, kNoControl, false, false},
      {"plugged in again walks again", {pad(0, {DR}), unplug(0), pad(0, {DR})}, kWalkRight, false, false},
      {"two pads: one lets go, the other walks on", {pad(0, {DR}), pad(1, {DR}), pad(0, {})}, kWalkRight, false,
       false},
      {"second pad's start opens the menu", {pad(0, {DR}), pad(3, {START})}, kWalkRight, true, false},
      // A pad and the keyboard together.
      {"keyboard walks, pad punches, walks on", {key(GLFW_KEY_RIGHT, P), pad(0, {SOUTH}), pad(0, {})}, kWalkRight,
       false, false},
      {"pad walks, keyboard kicks, walks on", {pad(0, {DL}), key(GLFW_KEY_X, P), key(GLFW_KEY_X, R)}, kWalkLeft,
       false, false},
      {"keyboard let go while the pad holds", {key(GLFW_KEY_RIGHT, P), pad(0, {DR}), key(GLFW_KEY_RIGHT, R)},
       kWalkRight, false, false},
      {"pad let go while the keyboard holds", {key(GLFW_KEY_RIGHT, P), pad(0, {DR}), pad(0, {})}, kWalkRight,
       false, false},
      {"both let go", {key(GLFW_KEY_RIGHT, P), pad(0, {DR}), pad(0, {}), key(GLFW_KEY_RIGHT, R)}, kNoControl,
       false, false},
      {"keyboard opens the menu, pad moves the choice, keyboard moves it back",
       {key(GLFW_KEY_ESCAPE, P), pad(0, {DD}), pad(0, {}), key(GLFW_KEY_UP, P)}, kNoControl, true, false},
  };
  for (const PadCase& c : cases) {
    forget();
    for (const Step& step : c.steps) run(step);
    EXPECT_EQ(sharedGame().run.controlCode, c.code) << c.name;
    EXPECT_EQ(sharedGame().run.menuOpen, c.menu) << c.name;
    EXPECT_EQ(sharedGame().run.exitSelected, c.exit) << c.name;
  }
}

TEST_F(Gamepads, SouthOnTheExitChoiceClosesTheWindow) {
  for (const Step& step : {pad(0, {START}), pad(0, {}), pad(0, {DD}), pad(0, {})}) run(step);
  EXPECT_FALSE(glfwWindowShouldClose(window));
  run(pad(0, {SOUTH}));
  EXPECT_TRUE(glfwWindowShouldClose(window));
  glfwSetWindowShouldClose(window, 0);
}

TEST_F(Gamepads, WithNoPadConnectedThePassChangesNothing) {
  sharedGame().controls.readPad = readGlfwPad;  // the real pads: none on this machine
  keyboardKey(window, GLFW_KEY_RIGHT, 0, P, 0);
  pollGamepads(sharedGame());
  EXPECT_EQ(sharedGame().run.controlCode, kWalkRight);
  EXPECT_TRUE(sharedGame().run.rightHeld);
}

}  // namespace
