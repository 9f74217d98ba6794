#include "render/drawing.h"

#include "render/frames.h"

const std::vector<VisibleRows>* visibleRowsOf(const Drawing& drawing, GLuint texture) {
  const auto found = drawing.visibleRows.find(texture);
  return found == drawing.visibleRows.end() || found->second.empty() ? nullptr : &found->second;
}

void releaseDrawing(Drawing& drawing) {
  // Made in this order at start-up, let go of in the reverse; each name
  // back to none.
  if (drawing.shaderProgram != 0) glDeleteProgram(drawing.shaderProgram);
  drawing.shaderProgram = 0;
  drawing.flashLocation = -1;
  clearFrameLists(drawing);
  drawing.visibleRows.clear();
  GLuint* const screens[] = {&drawing.heartTexture,     &drawing.stageTexture,        &drawing.hpBarTexture,
                             &drawing.gameOverTexture,  &drawing.digitsTexture,       &drawing.recordLabelsTexture,
                             &drawing.levelWordTexture, &drawing.replayPauseTexture};
  for (GLuint* texture : screens) {
    glDeleteTextures(1, texture);
    *texture = 0;
  }
  deleteQuad(drawing.sprites);
  deleteQuad(drawing.scoreQuad);
  deleteQuad(drawing.quads.menu);
  deleteQuad(drawing.quads.barra);
  deleteQuad(drawing.quads.fondo);
  drawing.trimSprites = true;
}
