#pragma once
// What the game draws with in one GL context: the shader program, the fixed
// quads, the sprites' buffers, every texture and frame list, and where each
// sprite picture can show. The shell owns one, made at start-up in its
// context and released with it; drawing only reads it. It holds its GL names
// once: it is neither copied nor moved (a second view borrows it).

#include <GL/glew.h>

#include <map>
#include <vector>

#include "render/mipmaps.h"
#include "render/quads.h"

using FrameList = std::vector<GLuint>;

struct Drawing {
  Drawing() = default;
  Drawing(const Drawing&) = delete;
  Drawing& operator=(const Drawing&) = delete;

  GLuint shaderProgram = 0;
  GLint flashLocation = -1;   // the program's flash uniform; -1 sets nothing
  FixedQuads quads;
  Quad scoreQuad;  // the words and numbers over the screens, refilled for each
  // Every sprite is drawn through this quad, its corners and texture
  // coordinates uploaded at each draw.
  Quad sprites;

  // The sprite frame lists, in the order the animation code indexes them; a
  // picture that did not load keeps its place as 0.
  FrameList endFrames;
  FrameList playerFrames;
  FrameList menuFrames;
  FrameList enemy2Frames;
  FrameList enemyFrames;
  GLuint heartTexture = 0;

  // The full pictures of the stage and the screens.
  GLuint stageTexture = 0;
  GLuint hpBarTexture = 0;
  GLuint gameOverTexture = 0;
  GLuint digitsTexture = 0;
  GLuint recordLabelsTexture = 0;  // the screens' words for their numbers
  GLuint levelWordTexture = 0;     // the HUD's word before the level's number
  GLuint replayPauseTexture = 0;   // the sign over a replay paused by its viewer

  // By texture: where each mip level of a sprite picture is visible.
  std::map<GLuint, std::vector<VisibleRows>> visibleRows;

  // On (the default): each sprite is drawn only over the pixels its picture
  // can colour, band by band down its outline; the frame is the same byte for
  // byte, with less to shade. Off: over its whole quad, as measured against
  // in the benchmarks.
  bool trimSprites = true;
};

// Where the levels of a sprite texture are visible, or null when unknown.
const std::vector<VisibleRows>* visibleRowsOf(const Drawing& drawing, GLuint texture);
// Deletes every GL object and texture of the drawing and empties it, as a
// new one is.
void releaseDrawing(Drawing& drawing);
