#include "app/play_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/shaders.h"
#include "rules/update_ticks.h"
#include "screens/hud.h"

namespace {

// The hero's x up to which the stage scrolls with him: its end.
constexpr float kScrollLimit = kStageEnd;
// Quads whose width and height differ by less than this are the same size:
// shifting a quad a step at a time rounds its corners a little.
constexpr float kSameSize = 1e-4f;

FighterPlace placeOf(const Character& fighter) {
  FighterPlace place;
  place.id = fighter.id;
  std::memcpy(place.vertices, fighter.vertices, sizeof(place.vertices));
  place.x = fighter.getPosition().getX();
  place.facingRight = fighter.getPosition().isFacingRight();
  return place;
}

PictureScene sceneOf(const Run& run) {
  return {run.level, run.tovan->lives, run.stageOver, run.tovan->getPosition().isFacingRight()};
}

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

bool landedNow(const Run& run) {
  for (const Character& enemy : run.enemies) {
    if (enemy.struck && enemy.struckAt == run.tickClock) return true;
  }
  return false;
}

}  // namespace

bool drawsBetweenTicks(double period, bool capped, const TickPace& pace, double sameRate) {
  if (!capped) return true;
  const double tick = static_cast<double>(pace.num) / static_cast<double>(pace.den) / 1000.0;
  return std::fabs(period - tick) > tick * sameRate;
}

float tickFraction(const Run& run, ClockTicks now) {
  const ClockTicks length = nextTickTime(run) - run.tickClock;
  if (length <= 0) return 1.0f;
  return std::clamp(static_cast<float>(now - run.tickClock) / static_cast<float>(length), 0.0f, 1.0f);
}

std::int64_t landingShownTicks(const TickPace& pace) {
  const ClockTicks perTick = kLandingShownDen * pace.num;
  return static_cast<std::int64_t>((kLandingShownNum * pace.den + perTick - 1) / perTick);
}

void noteBeforeTick(TickNotes& notes, const Run& run) {
  notes.before = run.ticksRun + 1;
  notes.scene = sceneOf(run);
  notes.hero = placeOf(*run.tovan);
  notes.enemies.clear();
  for (const Character& enemy : run.enemies) notes.enemies.push_back(placeOf(enemy));
  std::sort(notes.enemies.begin(), notes.enemies.end(),
            [](const FighterPlace& a, const FighterPlace& b) { return a.id < b.id; });
}

void noteAfterTick(TickNotes& notes, const Run& run) {
  if (!landedNow(run)) return;
  Landing& landing = notes.landing;
  const Player& hero = *run.tovan;
  landing.seen = true;
  landing.tick = run.ticksRun;
  landing.scene = sceneOf(run);
  landing.shown = hero.shown;
  std::memcpy(landing.vertices, hero.vertices, sizeof(landing.vertices));
  std::memcpy(landing.texCoords, hero.texCoords, sizeof(landing.texCoords));
}

PlayPicture playPicture(const Game& game, float fraction) {
  const Run& run = game.run;
  const Player& hero = *run.tovan;
  const PictureScene scene = sceneOf(run);
  const TickNotes* notes = &game.notes;
  const bool placesKnown = game.drawBetweenTicks && notes->before == run.ticksRun && notes->scene == scene;
  const float f = placesKnown ? fraction : 1.0f;

  PlayPicture picture{hero, run.enemies, hero.getPosition().getX(), run.clock.time};
  Character& heroSeen = picture.hero;
  if (f < 1.0f) {
    placeBetween(heroSeen, notes->hero, f);
    picture.heroX = between(notes->hero.x, picture.heroX, f);
    for (Character& enemy : picture.enemies) {
      const auto before = std::lower_bound(notes->enemies.begin(), notes->enemies.end(), enemy.id,
                                           [](const FighterPlace& place, std::int64_t id) { return place.id < id; });
      if (before != notes->enemies.end() && before->id == enemy.id) placeBetween(enemy, *before, f);
    }
  }
  if (!notes->landing.seen || !(notes->landing.scene == scene)) return picture;

  // The picture of a blow that landed stays out for a moment, wherever the
  // hero has gone since.
  const Landing& landing = notes->landing;
  const bool facingRight = hero.getPosition().isFacingRight();
  if (run.ticksRun - landing.tick < landingShownTicks(run.pace)) {
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

void drawPlay(const Game& game, float fraction) {
  const Drawing& drawing = game.drawing;
  const PlayPicture picture = playPicture(game, fraction);
  const Player& hero = *game.run.tovan;
  // Past the stage's end the picture stays where the stage ends.
  scrollStage(drawing, std::clamp(picture.heroX, 0.0f, kScrollLimit));
  float texCoordsB[8];
  healthBarTexCoords(hero.getHealth(), texCoordsB);
  refillTexCoords(drawing.quads.barra, texCoordsB);

  useShaderProgram(drawing);
  drawOpaqueStage(drawing);
  drawQuad(drawing.quads.barra, drawing.hpBarTexture);
  if (!picture.enemies.empty()) drawAll(drawing, picture.enemies, picture.heroX, picture.now);
  for (const Element& heart : game.run.hearts) drawSprite(drawing, heart);
  drawFighter(drawing, picture.hero, picture.now);
  drawScore(drawing, hero.runScore);
  drawLevel(drawing, game.run.level);
}
