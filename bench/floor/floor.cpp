// The floor for the game's start-up: the least a program can do to show the
// same first frame. It opens the game's window with the same context, clears
// it to the grey the game's frame shows below the stage, presents once and
// waits to be ended.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/frame_loop.h"

int main() {
  if (!glfwInit()) return 1;
  GLFWwindow* window = glfwCreateWindow(kWindowWidth, kWindowHeight, kWindowTitle, nullptr, nullptr);
  if (window == nullptr) return 1;
  glfwMakeContextCurrent(window);
  glfwSwapInterval(1);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) return 1;
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glfwSwapBuffers(window);
  while (!glfwWindowShouldClose(window)) glfwWaitEvents();
  glfwTerminate();
  return 0;
}
