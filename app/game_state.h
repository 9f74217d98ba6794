#pragma once
// Flags shared by the frame loop, the screens and hit resolution.

// The stage has ended: the hero reached its end or lost his last life.
extern bool stageOver;
// Which stage-clear pose the hero shows.
extern int endFrameIndex;
