#pragma once
// The one program that draws every textured quad.

#include <GL/glew.h>

#include "render/drawing.h"

extern const char* const vertexShaderSource;
extern const char* const fragmentShaderSource;

// Compiles both shaders and links the program into the drawing; on a failed
// compile writes "fallo" and leaves it 0. Leaves the program current with
// sampTex1 on unit 0.
void buildShaderProgram(Drawing& drawing);

// Makes the program current, before a frame's drawing.
void useShaderProgram(const Drawing& drawing);

// How far the sprites drawn next are lifted toward white (0: as they are), on
// the current program; the flash of a fighter just struck.
void setSpriteFlash(const Drawing& drawing, float whiteness);
