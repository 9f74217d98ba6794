#pragma once
// The page's GLFW is emscripten's, of the 3.2 interface: it has no gamepad
// layout. The game reads pads through GLFW's layout; here the layout's names
// are given and glfwGetGamepadState reads the browser's pads of the
// "standard" mapping into it (web/gamepads.cpp). Put in front of every
// source of the page by the build.
#include <GL/glew.h>  // before GLFW, as everywhere in the game
#include <GLFW/glfw3.h>

#ifndef GLFW_GAMEPAD_BUTTON_A
#define GLFW_GAMEPAD_BUTTON_A 0
#define GLFW_GAMEPAD_BUTTON_B 1
#define GLFW_GAMEPAD_BUTTON_X 2
#define GLFW_GAMEPAD_BUTTON_Y 3
#define GLFW_GAMEPAD_BUTTON_LEFT_BUMPER 4
#define GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER 5
#define GLFW_GAMEPAD_BUTTON_BACK 6
#define GLFW_GAMEPAD_BUTTON_START 7
#define GLFW_GAMEPAD_BUTTON_GUIDE 8
#define GLFW_GAMEPAD_BUTTON_LEFT_THUMB 9
#define GLFW_GAMEPAD_BUTTON_RIGHT_THUMB 10
#define GLFW_GAMEPAD_BUTTON_DPAD_UP 11
#define GLFW_GAMEPAD_BUTTON_DPAD_RIGHT 12
#define GLFW_GAMEPAD_BUTTON_DPAD_DOWN 13
#define GLFW_GAMEPAD_BUTTON_DPAD_LEFT 14
#define GLFW_GAMEPAD_AXIS_LEFT_X 0
#define GLFW_GAMEPAD_AXIS_LEFT_Y 1
#define GLFW_GAMEPAD_AXIS_RIGHT_X 2
#define GLFW_GAMEPAD_AXIS_RIGHT_Y 3
#define GLFW_GAMEPAD_AXIS_LEFT_TRIGGER 4
#define GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER 5

typedef struct GLFWgamepadstate {
  unsigned char buttons[15];
  float axes[6];
} GLFWgamepadstate;

#ifdef __cplusplus
extern "C" {
#endif
int glfwGetGamepadState(int jid, GLFWgamepadstate* state);
#ifdef __cplusplus
}
#endif
#endif
