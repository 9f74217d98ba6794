#pragma once
// The real game for the benchmarks: started once per process under Xvfb from
// the run directory, with helpers that set out a stage and hold play still.

#include "app/frame_loop.h"

// Starts the game once (./img and ./sound must be in the working directory);
// exits with a line when it cannot. Later calls return the same game.
Game& benchGame(bool visible);

// A fresh stage: hero at the start, idle, full health; empty roster; no keys
// held; play mode; the clock pinned at `now` so no tick or blow happens
// until the caller moves it.
void freshBenchStage(Game& game, ClockTicks now);

// Puts the hero at stage x. His quad stays in the middle of the screen and
// the stage scrolls under him, so only his position and body box move.
void placeHero(Player& hero, float x);

// Adds `count` enemies evenly spread over stage x in [from, to], the two kinds
// taking turns, each quad placed relative to the hero as spawning does.
void spreadRoster(Run& run, int count, float from, float to, float level);
