#pragma once
// The fixed quads of the screen: the stage, the health bar and the menu.

#include <GL/glew.h>

struct Quad {
  GLuint vao = 0;
  GLuint positionVbo = 0;
  GLuint texCoordVbo = 0;
  GLuint ebo = 0;
};

struct FixedQuads {
  Quad fondo;  // the stage background, upper three quarters (whole screen for game over)
  Quad barra;  // the health bar
  Quad menu;   // the pause menu, whole screen
};

extern const float kFondoPoints[12];
extern const float kBarraPoints[12];
extern const float kMenuPoints[12];
// Upright, unmirrored texture coordinates.
extern const float kUprightTexCoords[8];

// Builds a quad from its corners (top right, bottom right, bottom left, top
// left); texCoords may be null when they are filled later.
Quad buildQuad(const float points[12], const float* texCoords);
FixedQuads buildFixedQuads();
void refillTexCoords(const Quad& quad, const float texCoords[8]);
void refillPositions(const Quad& quad, const float points[12]);
// Draws with the quad's vertex array and the given texture on unit 0.
void drawQuad(const Quad& quad, GLuint texture);
void deleteQuad(Quad& quad);
