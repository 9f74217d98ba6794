#pragma once
// Drawing sprites with the current program, blending on.

#include <GL/glew.h>

#include <vector>

#include "entities/character.h"

// On (the default): each sprite is drawn only over the pixels its picture
// can colour, band by band down its outline; the frame is the same byte for
// byte, with less to shade. Off: over its whole quad, as measured
// against in the benchmarks.
extern bool trimSprites;

// The GL objects every sprite is drawn through: its quad and texture
// coordinates are uploaded into them at each draw.
struct SpriteBuffers {
  GLuint vao = 0;
  GLuint vbo = 0;
  GLuint texVbo = 0;
  GLuint ebo = 0;
};
// The drawing code's own, made by the first sprite drawn in a GL context.
extern SpriteBuffers sprites;
// Makes the vertex array, its two buffers of corners and the indices.
void setupBuffers(SpriteBuffers& buffers);

// Uploads the sprite's current quad and texture coordinates and draws it with
// the texture of the picture it shows. When no GL objects could be made to
// draw it, it writes "fallo nulo" and is skipped.
void drawSprite(Element& element);
// How far toward white a fighter is drawn at game time `now`: above 0 for a
// moment after a blow lands on it.
float hitFlash(const Character& fighter, ClockTicks now);
// Draws a fighter as drawSprite does, lifted toward white for a moment after a
// blow lands on it.
void drawFighter(Character& fighter, ClockTicks now);
// Draws the roster in order, later enemies covering earlier ones. A pile
// (enemies on one spot, or closer than a head's width, on one side of the
// hero at heroX) is drawn fanned out behind the one nearest him, each its own
// figure, whole at its first enemy's turn (flashing by game time `now`); the
// dying stand behind the fighters. A blow that lands leaves the fan as it is:
// each figure it strikes flashes where it stands. An enemy felled is drawn in
// its death picture from the blow on, never its living one. Only the picture
// changes: the roster's places, quads, boxes and pictures are left as they are.
void drawAll(std::vector<Character>& list, float heroX, ClockTicks now);
