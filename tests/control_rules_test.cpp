// The keyboard: event sequences and the control state they leave.
#include <gtest/gtest.h>

#include <vector>

#include "app/window_callbacks.h"
#include "rules/control_rules.h"
#include "app/frame_loop.h"
#include "tests/gl_fixture.h"  // GL and GLFW, in the order they need

namespace {

struct Event {
  int key;
  int action;
};

constexpr int P = GLFW_PRESS;
constexpr int R = GLFW_RELEASE;
constexpr int H = GLFW_REPEAT;
constexpr int RIGHT = GLFW_KEY_RIGHT, LEFT = GLFW_KEY_LEFT, UP = GLFW_KEY_UP, DOWN = GLFW_KEY_DOWN;
// Not keys: an update tick after which the hero stands, or is still crouched.
constexpr int TICK = -1;
constexpr int STOOD = 0, CROUCHED = 1;
constexpr int Z = GLFW_KEY_Z, X = GLFW_KEY_X, ESC = GLFW_KEY_ESCAPE, ENTER = GLFW_KEY_ENTER;

struct KeyCase {
  const char* name;
  std::vector<Event> events;
  int code;
  bool menu;
  bool exit;
};

TEST(Keyboard, EventSequencesGiveTheControlState) {
  const KeyCase cases[] = {
      {"right held", {{RIGHT, P}, {RIGHT, H}}, kWalkRight, false, false},
      {"left over right", {{RIGHT, P}, {LEFT, P}}, kWalkLeft, false, false},
      {"left let go while right held", {{RIGHT, P}, {LEFT, P}, {LEFT, R}}, kWalkRight, false, false},
      {"punch while walking", {{RIGHT, P}, {Z, P}}, kPunch, false, false},
      {"punch let go while walking", {{RIGHT, P}, {Z, P}, {Z, R}}, kWalkRight, false, false},
      {"punch let go standing", {{Z, P}, {Z, R}}, kNoControl, false, false},
      {"kick repeat", {{X, P}, {X, H}}, kKick, false, false},
      {"jump while walking", {{RIGHT, P}, {UP, P}}, kJump, false, false},
      {"jump let go while walking", {{RIGHT, P}, {UP, P}, {UP, R}}, kWalkRight, false, false},
      {"unused key let go", {{RIGHT, P}, {Z, P}, {GLFW_KEY_A, R}}, kWalkRight, false, false},
      {"enter let go in play", {{LEFT, P}, {ENTER, P}, {ENTER, R}}, kWalkLeft, false, false},
      {"down crouches", {{DOWN, P}}, kCrouch, false, false},
      {"down held keeps crouching", {{DOWN, P}, {DOWN, H}}, kCrouch, false, false},
      {"down let go stands up", {{DOWN, P}, {DOWN, R}}, kStandUp, false, false},
      {"escape keeps the code", {{RIGHT, P}, {ESC, P}}, kWalkRight, true, false},
      {"escape repeat does nothing in play", {{ESC, H}}, kNoControl, false, false},
      {"menu closed by escape forgets the arrows",
       {{RIGHT, P}, {ESC, P}, {ESC, R}, {ESC, P}, {ESC, R}}, kNoControl, false, false},
      {"up flips the choice", {{ESC, P}, {UP, P}}, kNoControl, true, true},
      {"down flips it back", {{ESC, P}, {UP, P}, {DOWN, P}}, kNoControl, true, false},
      {"held up flips once", {{ESC, P}, {UP, P}, {UP, H}, {UP, H}, {UP, R}}, kNoControl, true, true},
      {"enter on continue closes the menu", {{ESC, P}, {ENTER, P}}, kNoControl, false, false},
      {"arrows do not walk in the menu", {{ESC, P}, {RIGHT, P}, {Z, P}}, kNoControl, true, false},
      {"down let go while right held stands up first", {{RIGHT, P}, {DOWN, P}, {DOWN, R}}, kStandUp, false, false},
      {"then the held arrow walks on", {{RIGHT, P}, {DOWN, P}, {DOWN, R}, {TICK, STOOD}}, kWalkRight, false, false},
      {"not before he is up", {{LEFT, P}, {DOWN, P}, {DOWN, R}, {TICK, CROUCHED}}, kStandUp, false, false},
      {"another key let go does not cancel the stand-up", {{DOWN, P}, {Z, P}, {DOWN, R}, {Z, R}}, kStandUp, false,
       false},
      {"a stand-up already done is not asked again", {{DOWN, P}, {DOWN, R}, {TICK, STOOD}, {Z, P}, {Z, R}},
       kNoControl, false, false},
      {"crouching again cancels it", {{DOWN, P}, {DOWN, R}, {DOWN, P}, {TICK, STOOD}}, kCrouch, false, false},
      {"down let go in the menu stands up once it closes",
       {{DOWN, P}, {ESC, P}, {ESC, R}, {DOWN, R}, {ESC, P}, {ESC, R}}, kStandUp, false, false},
      {"and closed by enter too", {{DOWN, P}, {ESC, P}, {DOWN, R}, {ENTER, P}, {ENTER, R}}, kStandUp, false, false},
      // Rolling out of a crouch: an arrow pressed before the next tick waits
      // for the stand-up, and walks from the tick after it.
      {"down let go, right pressed before a tick", {{DOWN, P}, {DOWN, R}, {RIGHT, P}}, kStandUp, false, false},
      {"then right walks", {{DOWN, P}, {DOWN, R}, {RIGHT, P}, {TICK, STOOD}}, kWalkRight, false, false},
      {"down let go, left pressed before a tick", {{DOWN, P}, {DOWN, R}, {LEFT, P}}, kStandUp, false, false},
      {"then left walks", {{DOWN, P}, {DOWN, R}, {LEFT, P}, {TICK, STOOD}}, kWalkLeft, false, false},
      {"the arrow repeating still waits", {{DOWN, P}, {DOWN, R}, {RIGHT, P}, {RIGHT, H}, {TICK, CROUCHED}},
       kStandUp, false, false},
      {"after a menu, right pressed before a tick",
       {{DOWN, P}, {ESC, P}, {ESC, R}, {DOWN, R}, {ESC, P}, {ESC, R}, {RIGHT, P}}, kStandUp, false, false},
      {"then right walks after the menu too",
       {{DOWN, P}, {ESC, P}, {ESC, R}, {DOWN, R}, {ESC, P}, {ESC, R}, {RIGHT, P}, {TICK, STOOD}}, kWalkRight,
       false, false},
      {"a punch pressed before a tick comes after the stand-up", {{DOWN, P}, {DOWN, R}, {Z, P}, {TICK, STOOD}},
       kPunch, false, false},
  };
  for (const KeyCase& c : cases) {
    freshControls(sharedGame().run);
    for (const Event& e : c.events) {
      if (e.key == TICK) {
        heroTicked(sharedGame().run, e.action == CROUCHED);
      } else {
        sendKey(sharedGame(), e.key, e.action);
      }
    }
    EXPECT_EQ(sharedGame().run.controlCode, c.code) << c.name;
    EXPECT_EQ(sharedGame().run.menuOpen, c.menu) << c.name;
    EXPECT_EQ(sharedGame().run.exitSelected, c.exit) << c.name;
  }
  freshControls(sharedGame().run);
}

TEST(Keyboard, EnterOnExitClosesTheWindowAndTheChoiceIsKept) {
  GLFWwindow* window = sharedGame().window;
  freshControls(sharedGame().run);
  sendKey(sharedGame(), ESC, P);
  sendKey(sharedGame(), UP, P);
  sendKey(sharedGame(), ESC, P);  // closed, still on exit
  EXPECT_FALSE(sharedGame().run.menuOpen);
  sendKey(sharedGame(), ESC, P);
  EXPECT_TRUE(sharedGame().run.exitSelected);
  EXPECT_FALSE(glfwWindowShouldClose(window));
  sendKey(sharedGame(), ENTER, P);
  EXPECT_TRUE(glfwWindowShouldClose(window));
  glfwSetWindowShouldClose(window, 0);
  freshControls(sharedGame().run);
}

TEST(Keyboard, ThePlayerGoingAwayPausesPlayAsEscapeWould) {
  struct Case {
    const char* name;
    bool stageEnded;
    bool gameOver;
    bool menuBefore;
    bool opens;  // as Escape does: the arrows are forgotten, the code kept
  };
  const Case cases[] = {
      {"in play", false, false, false, true},
      {"menu already open stays open", false, false, true, false},
      {"stage-clear poses: the next level waits", true, false, false, true},
      {"game over: nothing to pause", true, true, false, false},
  };
  for (const Case& c : cases) {
    freshControls(sharedGame().run);
    sendKey(sharedGame(), RIGHT, P);
    sharedGame().run.menuOpen = c.menuBefore;
    sharedGame().run.stageOver = c.stageEnded;
    pauseWhileAway(sharedGame(), c.gameOver);
    EXPECT_EQ(sharedGame().run.menuOpen, c.menuBefore || c.opens) << c.name;
    EXPECT_EQ(sharedGame().run.controlCode, kWalkRight) << c.name;
    EXPECT_EQ(sharedGame().run.rightHeld, !c.opens) << c.name;
  }
  sharedGame().run.stageOver = false;
  freshControls(sharedGame().run);
}

}  // namespace
