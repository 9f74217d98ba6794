#pragma once
// The picture of play between update ticks. The rules move everything a
// fixed step a tick; a display faster than the ticks would show each step
// two or three times, so the picture places each fighter and the stage
// between the last two ticks, as far as game time has gone from one to the
// next. It also holds the hero's picture of a blow that lands for a moment,
// however soon the rules take it back. All of it is the picture's own: the
// rules never see it, and a run is the same drawn or not.

#include <cstdint>
#include <vector>

#include "app/game.h"
#include "render/draw.h"

// A display this close to the ticks' rate shows one tick a frame: as its
// monitor tells it, or as measured from the passes themselves (a browser's
// frames), which is only as exact as their timing.
constexpr double kSameRate = 0.01;
constexpr double kMeasuredSameRate = 0.05;
// Whether a display refreshing every `period` seconds (or uncapped, as fast
// as it can) is drawn between ticks at `pace`: any but the ticks' own rate,
// within `sameRate` of it.
bool drawsBetweenTicks(double period, bool capped, const TickPace& pace, double sameRate = kSameRate);

// How far game time `now` has gone from the run's last tick to its next, 0 to 1.
float tickFraction(const Run& run, ClockTicks now);

// The shell's notes around each tick it runs: where everything stood just
// before it, and the hero's picture if his blow landed in it. A run
// (re)started starts with empty notes: nothing is drawn between its first
// tick and what came before.
void noteBeforeTick(TickNotes& notes, const Run& run);
void noteAfterTick(TickNotes& notes, const Run& run);

// The fighters as a play frame draws them, and where the view stands.
struct PlayPicture {
  Character hero;
  std::vector<Character> enemies;
  float heroX = 0.0f;  // the stage scrolls to it and the piles fan out from it
  ClockTicks now = 0;  // the game time it shows: fighters struck flash by it
};
// Where everything is drawn at `fraction` of the way from the tick before
// the last to the last (1, or drawing between ticks off: the last as it
// is). Nothing is placed between two ticks across a teleport (a new stage or
// life, the hero's turn, the stage-clear poses) or for an enemy that was not
// there, turned, or changed its quad's size; those are drawn as the last tick
// left them. The hero shows the picture of his last blow that landed for
// landingShownTicks from its tick.
PlayPicture playPicture(const Game& game, float fraction);
// Draws play at `fraction` (see playPicture): the stage, the health bar, the enemies, the hearts, the hero,
// the score and the level.
void drawPlay(const Game& game, float fraction);

// The hero's picture of a blow that lands is shown for this long (four
// frames at 60 Hz) from the tick it lands, as this many ticks at `pace`.
constexpr ClockTicks kLandingShownNum = 200;
constexpr ClockTicks kLandingShownDen = 3;
std::int64_t landingShownTicks(const TickPace& pace);
