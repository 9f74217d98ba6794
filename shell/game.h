#pragma once
// What the shell keeps around the run it shows: the window, its size, the
// fixed quads, the shader program and the textures of its own, and the run
// itself (a Run, rules/run.h). A second run may share the window and the GL
// objects of the first, each its own state.

#include <GL/glew.h>  // before GLFW, which would bring gl.h first
#include <GLFW/glfw3.h>

#include "render/quads.h"
#include "rules/run.h"

struct Game : Run {
  GLFWwindow* window = nullptr;
  int ancho = 0;
  int alto = 0;
  FixedQuads quads;
  Quad scoreQuad;
  GLuint gameOverTexture = 0;
  GLuint shaderProgram = 0;
  // The viewer of a replay holds it: its game time stands still.
  bool viewerPaused = false;
  float points[12] = {};      // the background's corners
  float texCoords2[8] = {};   // the background's window onto the stage
  float texCoordsB[8] = {};   // the health bar's window onto its strip
};
