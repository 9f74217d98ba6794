#pragma once
// The one list of a run's fields: every member of Run and of the fighters
// it holds, each once, in the order they are declared, with what the run
// does with it. The digest folds in those that shape what happens next; a
// test checks that the lists leave out no member, so a field added to the
// run but not here fails it, and one listed as state is in the digest.

#include "rules/run.h"

enum class Kept {
  State,       // shapes what happens next: in every digest
  StateSince3, // in the digest of runs of format version 3 on (runs at 3 ms ticks had none)
  Apart,       // not state of the run: a scratch value, what drawing or the shell reads
};

// Calls visit(field, Kept) for each member of a sprite, a fighter, the hero.
template <class E, class Visit>
void forEachElementField(E& e, Visit&& visit) {
  visit(e.speed, Kept::State);
  visit(e.position, Kept::State);
  visit(e.hitbox, Kept::State);
  visit(e.frames, Kept::Apart);  // which pictures it shows: drawing's
  visit(e.shown, Kept::Apart);
  visit(e.vertices, Kept::State);
  visit(e.texCoords, Kept::State);
}

template <class C, class Visit>
void forEachFighterField(C& c, Visit&& visit) {
  forEachElementField(c, visit);
  visit(c.clockStart, Kept::State);
  visit(c.clockNow, Kept::State);
  visit(c.seed, Kept::State);
  visit(c.frameIndex, Kept::State);
  visit(c.attackStarted, Kept::State);
  visit(c.blowBuilt, Kept::State);
  visit(c.dying, Kept::State);
  visit(c.deathAnimRunning, Kept::State);
  visit(c.health, Kept::State);
  visit(c.power, Kept::State);
  visit(c.score, Kept::State);
  visit(c.state, Kept::State);
  visit(c.dead, Kept::State);
  visit(c.attackBox, Kept::State);
  visit(c.attackActive, Kept::State);
  visit(c.hitByBlow, Kept::State);
  visit(c.blowLanded, Kept::State);
  visit(c.struckAt, Kept::State);
  visit(c.struck, Kept::State);
  visit(c.id, Kept::Apart);  // the picture follows a fighter by it
}

template <class P, class Visit>
void forEachHeroField(P& p, Visit&& visit) {
  forEachFighterField(p, visit);
  visit(p.jumpHeight, Kept::State);
  visit(p.scoreMultiplier, Kept::State);
  visit(p.runScore, Kept::State);
  visit(p.jumpPhase, Kept::State);
  visit(p.jumpForward, Kept::State);
  visit(p.playerFrame, Kept::State);
  visit(p.enlarged, Kept::State);
  visit(p.playerClockStart, Kept::State);
  visit(p.playerClockNow, Kept::State);
  visit(p.crouchKickStart, Kept::State);
  visit(p.crouchKicked, Kept::State);
  visit(p.classicBlows, Kept::Apart);  // follows from the run's pace
  visit(p.soundsStarted, Kept::Apart);  // for the shell to play
  visit(p.lives, Kept::State);
  visit(p.kills, Kept::Apart);  // for the shell to tell
  visit(p.tickTime, Kept::Apart);  // the time of the tick under way
}

template <class R, class Visit>
void forEachRunField(R& r, Visit&& visit) {
  visit(r.tovan, Kept::State);
  visit(r.enemies, Kept::State);
  visit(r.hearts, Kept::State);
  visit(r.level, Kept::State);
  visit(r.tickClock, Kept::State);
  visit(r.spawnClock, Kept::State);
  visit(r.clearClock, Kept::State);
  visit(r.ticksRun, Kept::State);
  visit(r.stageOver, Kept::State);
  visit(r.endFrameIndex, Kept::State);
  visit(r.controlCode, Kept::State);
  visit(r.rightHeld, Kept::State);
  visit(r.leftHeld, Kept::State);
  visit(r.menuOpen, Kept::State);
  visit(r.exitSelected, Kept::State);
  visit(r.exitChosen, Kept::Apart);  // for the shell, which closes the window
  visit(r.downHeld, Kept::State);
  visit(r.standUpDue, Kept::State);
  visit(r.codeAfterStandUp, Kept::State);
  visit(r.chance, Kept::State);
  visit(r.pace, Kept::StateSince3);
  visit(r.tickCarry, Kept::StateSince3);
  visit(r.clock, Kept::Apart);  // game time against the wall clock: when ticks come, not what they do
}
