#pragma once
// The fixed quads of the screen: the stage, the health bar and the menu.

#include <GL/glew.h>

#include <utility>

// A quad's GL objects, held once: a quad is moved, never copied, and one
// moved from holds none.
struct Quad {
  Quad() = default;
  Quad(const Quad&) = delete;
  Quad& operator=(const Quad&) = delete;
  Quad(Quad&& other) noexcept { *this = std::move(other); }
  Quad& operator=(Quad&& other) noexcept {
    vao = std::exchange(other.vao, 0);
    positionVbo = std::exchange(other.positionVbo, 0);
    texCoordVbo = std::exchange(other.texCoordVbo, 0);
    ebo = std::exchange(other.ebo, 0);
    return *this;
  }

  GLuint vao = 0;
  GLuint positionVbo = 0;
  GLuint texCoordVbo = 0;
  GLuint ebo = 0;
};

struct FixedQuads {
  Quad fondo;  // the stage background, the upper three quarters of the picture
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
