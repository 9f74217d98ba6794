// Renders the real game's screens into PNG files for the README:
//   nombre_screenshots OUT_DIR   (run from build/run, under Xvfb)
// The game runs its own frame code; only the situations are set up directly
// (where the hero stands, what the clock says), so each picture is repeatable.
#include <stb_image_write.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "enemies/roster.h"
#include "enemies/update_pass.h"
#include "enemies/waves.h"
#include "player_files/player_files.h"
#include "render/draw.h"
#include "rules/control_rules.h"
#include "screens/hud.h"

namespace {

void save(const std::string& path) {
  std::vector<unsigned char> pixels(kWindowWidth * kWindowHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  stbi_flip_vertically_on_write(1);
  if (!stbi_write_png(path.c_str(), kWindowWidth, kWindowHeight, 3, pixels.data(), kWindowWidth * 3)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }
}

// The grey behind the stage, as every pass of the game clears to.
void clearFrame() { glClear(GL_COLOR_BUFFER_BIT); }

// Runs play frames with the clock stepping 4 ms a frame and the given control code.
void play(Game& game, ClockTicks& now, int frames, int code) {
  game.run.controlCode = code;
  for (int i = 0; i < frames; ++i) {
    now += 4;
    setGameClock(now);
    advanceGame(game, lookAtClock(game));
    drawGame(game);
  }
}

// A fighter struck a moment ago (no sooner than `after` ms), well inside its flash.
bool justStruck(const Character& fighter, double after = 20) {
  return fighter.struck && !(elapsedMs(wallClock(), fighter.struckAt) < after) &&
         !(elapsedMs(wallClock(), fighter.struckAt) > 40);
}

// Plays frames with a control code until `done` says so (at most 20 s of game).
template <typename Done>
void playUntil(Game& game, ClockTicks& now, int code, Done done) {
  for (int i = 0; i < 5000 && !done(); ++i) play(game, now, 1, code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nombre_screenshots OUT_DIR\n");
    return 2;
  }
  const std::string out = argv[1];
  Game game;
  if (startUpHidden(game) != 0) return 1;
  glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
  ClockTicks now = 10000;
  setGameClock(now);
  game.run.tickClock = game.run.spawnClock = now;
  Player& hero = *game.run.tovan;

  // Walk up to the first group, which comes to meet the hero.
  play(game, now, 110, kWalkRight);
  play(game, now, 41, kNoControl);
  save(out + "/play.png");

  // A kick into the group.
  play(game, now, 56, kKick);  // at full stretch, the blow the pile landed on him faded
  save(out + "/kick.png");

  // The frame the kick lands, the leg out: the enemy it struck flashes.
  playUntil(game, now, kKick, [&hero, &game] {
    bool enemyFlashes = false;
    for (const Character& enemy : game.run.enemies) enemyFlashes = enemyFlashes || justStruck(enemy, 0);
    return enemyFlashes && hitFlash(hero, wallClock()) == 0.0f;
  });
  save(out + "/hit.png");

  // Once the beaten enemy has gone, down into a crouch.
  play(game, now, 200, kNoControl);
  play(game, now, 30, kCrouch);
  save(out + "/crouch.png");
  play(game, now, 1, kStandUp);

  // On to the next group; standing among them he takes blow after blow and the bar drains.
  playUntil(game, now, kWalkRight, [&hero, &game] {
    for (const Character& enemy : game.run.enemies) {
      if (!enemy.dying && enemy.getPosition().getX() - hero.getPosition().getX() < 0.3f) return true;
    }
    return false;
  });
  playUntil(game, now, kNoControl, [&hero] { return hero.getHealth() <= 250 && justStruck(hero); });
  save(out + "/hurt.png");

  // The pause menu.
  game.run.menuOpen = true;
  clearFrame();
  menuFrame(game);
  save(out + "/menu.png");
  game.run.menuOpen = false;

  // The stage-clear pose at the gate.
  clearRoster(game.run.enemies);
  hero.reset();
  hero.position.x = hero.hitbox.position.x = kStageEndX;
  game.run.stageOver = true;
  game.run.tickClock = game.run.clearClock = now;
  for (int ms = 4; ms <= 900; ms += 4) {
    setGameClock(now + ms);
    advanceGame(game, lookAtClock(game));
    drawGame(game);
  }
  save(out + "/stage-clear.png");

  // Game over, after a run that beat the best.
  hero.lives = 0;
  game.run.stageOver = true;
  game.record = RunRecord{true, 3150, 3150, true};
  clearFrame();
  gameOverFrame(game);
  save(out + "/game-over.png");

  // A new game left alone from the start: the first group closes in on the
  // hero and piles up on one spot, drawn fanned out, one figure each; taken
  // as their blows land on him.
  startRun(game, 1.0f, now);
  play(game, now, 500, kNoControl);
  playUntil(game, now, kNoControl, [&hero] { return justStruck(hero); });
  save(out + "/pile.png");

  // He kicks into the pile: the frame the kick lands, the leg out and every
  // figure it strikes flashing within its reach.
  playUntil(game, now, kKick, [&game] {
    for (const Character& enemy : game.run.enemies) {
      if (enemy.struck && enemy.struckAt == game.run.tickClock) return true;
    }
    return false;
  });
  save(out + "/pile-kick.png");
  return 0;
}
