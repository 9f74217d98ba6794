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
// Where an enemy is drawn: its own place, or in a pile (enemies on one spot,
// or closer than a figure's head) fanned out behind the one nearest the hero.
struct SeenPlace {
  float shift = 0.0f;  // screen units added to its quad's x when drawn
  size_t pile = 0;     // roster index of the pile's front enemy
  float depth = 0.0f;  // how far out from the hero it is drawn
};
std::vector<SeenPlace> seenPlaces(const std::vector<Character>& list, float heroX);
// Draws the roster in order, later enemies covering earlier ones, each pile
// whole at its first enemy's turn and fanned out: every enemy is its own
// figure. Only the picture moves; the roster is left as it is.
void drawAll(std::vector<Character>& list, float heroX);
