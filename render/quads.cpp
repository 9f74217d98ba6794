#include "render/quads.h"

const float kFondoPoints[12] = {1.0f, 1.0f, 0.0f, 1.0f, -0.5f, 0.0f, -1.0f, -0.5f, 0.0f, -1.0f, 1.0f, 0.0f};
const float kBarraPoints[12] = {0.6f, -0.7f, 0.0f, 0.6f, -0.8f, 0.0f, 0.3f, -0.8f, 0.0f, 0.3f, -0.7f, 0.0f};
const float kMenuPoints[12] = {1.0f, 1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f};
const float kUprightTexCoords[8] = {1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f};

namespace {
const GLuint kQuadIndices[6] = {0, 1, 3, 1, 2, 3};

void describePositions() {
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
  glEnableVertexAttribArray(0);
}

void describeTexCoords() {
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
  glEnableVertexAttribArray(2);
}
}  // namespace

Quad buildQuad(const float points[12], const float* texCoords) {
  Quad quad;
  glGenBuffers(1, &quad.positionVbo);
  glGenBuffers(1, &quad.texCoordVbo);
  glGenBuffers(1, &quad.ebo);
  glGenVertexArrays(1, &quad.vao);
  glBindVertexArray(quad.vao);
  glBindBuffer(GL_ARRAY_BUFFER, quad.positionVbo);
  glBufferData(GL_ARRAY_BUFFER, 12 * sizeof(float), points, GL_STATIC_DRAW);
  describePositions();
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quad.ebo);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(kQuadIndices), kQuadIndices, GL_STATIC_DRAW);
  if (texCoords != nullptr) {
    glBindBuffer(GL_ARRAY_BUFFER, quad.texCoordVbo);
    glBufferData(GL_ARRAY_BUFFER, 8 * sizeof(float), texCoords, GL_STATIC_DRAW);
    describeTexCoords();
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  return quad;
}

FixedQuads buildFixedQuads() {
  FixedQuads quads;
  quads.fondo = buildQuad(kFondoPoints, nullptr);
  quads.barra = buildQuad(kBarraPoints, nullptr);
  quads.menu = buildQuad(kMenuPoints, kUprightTexCoords);
  return quads;
}

void refillTexCoords(const Quad& quad, const float texCoords[8]) {
  glBindVertexArray(quad.vao);
  glBindBuffer(GL_ARRAY_BUFFER, quad.texCoordVbo);
  glBufferData(GL_ARRAY_BUFFER, 8 * sizeof(float), texCoords, GL_STATIC_DRAW);
  describeTexCoords();
  glBindVertexArray(0);
}

void refillPositions(const Quad& quad, const float points[12]) {
  glBindVertexArray(quad.vao);
  glBindBuffer(GL_ARRAY_BUFFER, quad.positionVbo);
  glBufferData(GL_ARRAY_BUFFER, 12 * sizeof(float), points, GL_STATIC_DRAW);
  describePositions();
  glBindVertexArray(0);
}

void drawQuad(const Quad& quad, GLuint texture) {
  glBindVertexArray(quad.vao);
  glBindTexture(GL_TEXTURE_2D, texture);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}

void deleteQuad(Quad& quad) {
  glDeleteVertexArrays(1, &quad.vao);
  const GLuint buffers[3] = {quad.positionVbo, quad.texCoordVbo, quad.ebo};
  glDeleteBuffers(3, buffers);
  quad = Quad();
}
