#pragma once
// Drawing sprites with the current program, blending on.

#include <GL/glew.h>

#include <vector>

#include "entities/character.h"
#include "render/drawing.h"

// Uploads the sprite's current quad and texture coordinates and draws it with
// the texture of the picture it shows. When the drawing has no GL objects to
// draw it through, it writes "fallo nulo" and is skipped.
void drawSprite(const Drawing& drawing, const Element& element);
// How far toward white a fighter is drawn at game time `now`: above 0 for a
// moment after a blow lands on it.
float hitFlash(const Character& fighter, ClockTicks now);
// Draws a fighter as drawSprite does, lifted toward white for a moment after a
// blow lands on it.
void drawFighter(const Drawing& drawing, const Character& fighter, ClockTicks now);
// Draws the roster in order, later enemies covering earlier ones. A pile
// (enemies on one spot, or closer than a head's width, on one side of the
// hero at heroX) is drawn fanned out behind the one nearest him, each its own
// figure, whole at its first enemy's turn (flashing by game time `now`); the
// dying stand behind the fighters. A blow that lands leaves the fan as it is:
// each figure it strikes flashes where it stands. An enemy felled is drawn in
// its death picture from the blow on, never its living one. Only the picture
// changes: the roster's places, quads, boxes and pictures are left as they are.
void drawAll(const Drawing& drawing, const std::vector<Character>& list, float heroX, ClockTicks now);
