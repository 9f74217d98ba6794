#pragma once
// Drawing sprites with the current program, blending on.

#include <vector>

#include "entities/character.h"

// On (the default): each sprite is drawn only over the pixels its picture
// can colour, band by band down its outline; the frame is the same byte for
// byte, with less to shade. Off: over its whole quad, as measured
// against in the benchmarks.
extern bool trimSprites;

// Uploads the sprite's current quad and texture coordinates and draws it.
// A sprite without GL objects writes "fallo nulo" and is skipped.
void drawSprite(Element& element);
// How far toward white a fighter is drawn now: above 0 for a moment after a
// blow lands on it.
float hitFlash(const Character& fighter);
// Draws a fighter as drawSprite does, lifted toward white for a moment after a
// blow lands on it.
void drawFighter(Character& fighter);
// Draws the roster in order: later enemies cover earlier ones.
void drawAll(std::vector<Character>& list);
