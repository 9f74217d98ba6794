#pragma once
// The one program that draws every textured quad.

#include <GL/glew.h>

extern const char* vertexShaderSource;
extern const char* fragmentShaderSource;

// Compiles both shaders and links the program; on a failed compile writes
// "fallo" and returns 0. Leaves the program current with sampTex1 on unit 0.
GLuint buildShaderProgram();

// Sets scaleX to 1 and makes the program current, before a frame's drawing.
void useShaderProgram(GLuint program);

// How far the sprites drawn next are lifted toward white (0: as they are), on
// the current program; the flash of a fighter just struck.
void setSpriteFlash(float whiteness);
