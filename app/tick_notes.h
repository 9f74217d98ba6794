#pragma once
// What the picture of play remembers around each update tick: where every
// fighter stood just before it, and the hero's picture on the tick his blow
// landed. The rules never see it; the shell keeps it beside its run.

#include <cstdint>
#include <vector>

#include "entities/element.h"

// Where a fighter stood at a tick.
struct FighterPlace {
  std::int64_t id = 0;
  float vertices[12] = {};
  float x = 0.0f;
  bool facingRight = true;
};

// What a teleport changes. The hero's facing is part of it: the view is
// centred on him, so his turn moves everything else with him.
struct PictureScene {
  float level = 0.0f;
  int lives = 0;
  bool stageOver = false;
  bool heroFacingRight = true;
  bool operator==(const PictureScene& other) const {
    return level == other.level && lives == other.lives && stageOver == other.stageOver &&
           heroFacingRight == other.heroFacingRight;
  }
};

// The hero's picture on the tick his blow landed.
struct Landing {
  bool seen = false;
  std::int64_t tick = 0;  // ticksRun after the landing tick
  PictureScene scene;
  SpriteFrame shown;
  float vertices[12] = {};
  float texCoords[8] = {};
};

struct TickNotes {
  std::int64_t before = -1;  // the places below stood just before tick number `before` ran (ticksRun then `before`)
  PictureScene scene;
  FighterPlace hero;
  std::vector<FighterPlace> enemies;  // in order of id
  Landing landing;
};
