#include "app/play_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "render/shaders.h"
#include "rules/update_ticks.h"
#include "screens/hud.h"

bool drawBetweenTicks = false;

namespace {

// The hero's x up to which the stage scrolls with him.
constexpr float kScrollLimit = 6.0f;
// A display this close to the ticks' rate shows one tick a frame.
constexpr double kSameRate = 0.01;
// Quads whose width and height differ by less than this are the same size:
// shifting a quad a step at a time rounds its corners a little.
constexpr float kSameSize = 1e-4f;

// Where a fighter stood at a tick.
struct FighterPlace {
  long id = 0;
  float vertices[12] = {};
  float x = 0.0f;
  bool facingRight = true;
};

FighterPlace placeOf(const Character& fighter) {
  FighterPlace place;
  place.id = fighter.id;
  std::memcpy(place.vertices, fighter.vertices, sizeof(place.vertices));
  place.x = fighter.getPosition().getX();
  place.facingRight = fighter.getPosition().isFacingRight();
  return place;
}

// What a teleport changes. The hero's facing is part of it: the view is
// centred on him, so his turn moves everything else with him.
struct Scene {
  float level = 0.0f;
  int lives = 0;
  bool stageOver = false;
  bool heroFacingRight = true;
  bool operator==(const Scene& other) const {
    return level == other.level && lives == other.lives && stageOver == other.stageOver &&
           heroFacingRight == other.heroFacingRight;
  }
};

Scene sceneOf(const Game& game) {
  return {game.level, game.tovan->lives, game.stageOver, game.tovan->getPosition().isFacingRight()};
}

// The hero's picture on the tick his blow landed.
struct Landing {
  bool seen = false;
  long tick = 0;  // ticksRun after the landing tick
  Scene scene;
  SpriteFrame shown;
  float vertices[12] = {};
  float texCoords[8] = {};
};

struct TickNotes {
  long before = -1;  // the places below stood just before tick number `before` ran (ticksRun then `before`)
  Scene scene;
  FighterPlace hero;
  std::vector<FighterPlace> enemies;  // in order of id
  Landing landing;
};

// Kept apart from each run's state, by the run they belong to.
std::map<const Game*, TickNotes> notesOf;

float between(float a, float b, float f) { return f <= 0.0f ? a : f >= 1.0f ? b : a + (b - a) * f; }

bool sameSize(const float a[12], const float b[12]) {
  return std::fabs((a[0] - a[6]) - (b[0] - b[6])) < kSameSize && std::fabs((a[1] - a[4]) - (b[1] - b[4])) < kSameSize;
}

// Places the fighter's quad and x `f` of the way from where it stood before
// to where it stands, if it was there, faces the same way and is the same size.
void placeBetween(Character& fighter, const FighterPlace& before, float f) {
  if (before.facingRight != fighter.getPosition().isFacingRight() || !sameSize(before.vertices, fighter.vertices)) {
    return;
  }
  for (int i = 0; i < 12; ++i) fighter.vertices[i] = between(before.vertices[i], fighter.vertices[i], f);
  fighter.position.x = between(before.x, fighter.position.x, f);
}

// The corner of the hero's quad on his back foot: a blow's reach moves the
// other side, so this one says where he stands.
void backFoot(const float vertices[12], bool facingRight, float& x, float& y) {
  const int corner = facingRight ? 2 : 1;  // bottom left, bottom right
  x = vertices[corner * 3];
  y = vertices[corner * 3 + 1];
}

bool landedNow(const Game& game) {
  for (const Character& enemy : game.enemies) {
    if (enemy.struck && enemy.struckAt == game.tickClock) return true;
  }
  return false;
}

}  // namespace

bool drawsBetweenTicks(double period, bool capped, const TickPace& pace) {
  if (!capped) return true;
  const double tick = static_cast<double>(pace.num) / static_cast<double>(pace.den) / 1000.0;
  return std::fabs(period - tick) > tick * kSameRate;
}

float tickFraction(const Game& game, ClockTicks now) {
  const ClockTicks length = nextTickTime(game) - game.tickClock;
  if (length <= 0) return 1.0f;
  return std::clamp(static_cast<float>(now - game.tickClock) / static_cast<float>(length), 0.0f, 1.0f);
}

long landingShownTicks(const TickPace& pace) {
  const ClockTicks perTick = kLandingShownDen * pace.num;
  return static_cast<long>((kLandingShownNum * pace.den + perTick - 1) / perTick);
}

void noteBeforeTick(const Game& game) {
  TickNotes& notes = notesOf[&game];
  notes.before = game.ticksRun + 1;
  notes.scene = sceneOf(game);
  notes.hero = placeOf(*game.tovan);
  notes.enemies.clear();
  for (const Character& enemy : game.enemies) notes.enemies.push_back(placeOf(enemy));
  std::sort(notes.enemies.begin(), notes.enemies.end(),
            [](const FighterPlace& a, const FighterPlace& b) { return a.id < b.id; });
}

void noteAfterTick(const Game& game) {
  if (!landedNow(game)) return;
  Landing& landing = notesOf[&game].landing;
  const Player& hero = *game.tovan;
  landing.seen = true;
  landing.tick = game.ticksRun;
  landing.scene = sceneOf(game);
  landing.shown = hero.shown;
  std::memcpy(landing.vertices, hero.vertices, sizeof(landing.vertices));
  std::memcpy(landing.texCoords, hero.texCoords, sizeof(landing.texCoords));
}

void forgetTicks(const Game& game) { notesOf.erase(&game); }

PlayPicture playPicture(const Game& game, float fraction) {
  const Player& hero = *game.tovan;
  const Scene scene = sceneOf(game);
  const auto found = notesOf.find(&game);
  const TickNotes* notes = found != notesOf.end() ? &found->second : nullptr;
  const bool placesKnown = drawBetweenTicks && notes != nullptr && notes->before == game.ticksRun && notes->scene == scene;
  const float f = placesKnown ? fraction : 1.0f;

  PlayPicture picture{hero, game.enemies, hero.getPosition().getX(), game.clock.time};
  Character& heroSeen = picture.hero;
  if (f < 1.0f) {
    placeBetween(heroSeen, notes->hero, f);
    picture.heroX = between(notes->hero.x, picture.heroX, f);
    for (Character& enemy : picture.enemies) {
      const auto before = std::lower_bound(notes->enemies.begin(), notes->enemies.end(), enemy.id,
                                           [](const FighterPlace& place, long id) { return place.id < id; });
      if (before != notes->enemies.end() && before->id == enemy.id) placeBetween(enemy, *before, f);
    }
  }
  if (notes == nullptr || !notes->landing.seen || !(notes->landing.scene == scene)) return picture;

  // The picture of a blow that landed stays out for a moment, wherever the
  // hero has gone since.
  const Landing& landing = notes->landing;
  const bool facingRight = hero.getPosition().isFacingRight();
  if (game.ticksRun - landing.tick < landingShownTicks(game.pace)) {
    float nowX = 0.0f, nowY = 0.0f, thenX = 0.0f, thenY = 0.0f;
    backFoot(heroSeen.vertices, facingRight, nowX, nowY);
    backFoot(landing.vertices, facingRight, thenX, thenY);
    for (int corner = 0; corner < 4; ++corner) {
      heroSeen.vertices[corner * 3] = landing.vertices[corner * 3] + (nowX - thenX);
      heroSeen.vertices[corner * 3 + 1] = landing.vertices[corner * 3 + 1] + (nowY - thenY);
    }
    std::memcpy(heroSeen.texCoords, landing.texCoords, sizeof(heroSeen.texCoords));
    heroSeen.shown = landing.shown;
  }
  return picture;
}

void drawFighters(PlayPicture& picture) {
  if (!picture.enemies.empty()) drawAll(picture.enemies, picture.heroX, picture.now);
  drawFighter(picture.hero, picture.now);
}

void drawPlay(Game& game, float fraction) {
  PlayPicture picture = playPicture(game, fraction);
  const Player& hero = *game.tovan;
  if (picture.heroX >= 0.0f && picture.heroX <= kScrollLimit) scrollStage(game, picture.heroX);
  healthBarTexCoords(hero.getHealth(), game.texCoordsB);
  refillTexCoords(game.quads.barra, game.texCoordsB);

  useShaderProgram(game.shaderProgram);
  drawOpaqueStage(game.quads.fondo);
  drawQuad(game.quads.barra, hpBarTexture);
  if (!picture.enemies.empty()) drawAll(picture.enemies, picture.heroX, picture.now);
  for (Element& heart : game.hearts) drawSprite(heart);
  drawFighter(picture.hero, picture.now);
  drawScore(game, hero.runScore);
  drawLevel(game, game.level);
}
