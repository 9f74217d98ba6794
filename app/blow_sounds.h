#pragma once
// The hero's blow sounds as the shell plays them. The run only counts the
// sounds its ticks start (Player::soundsStarted: a punch, a kick, a blow
// landing); after each pass's ticks the shell plays those it has not played
// yet, so they are heard in the pass their tick ran in.

#include "audio/sound.h"
#include "entities/player.h"

extern const char* const kPunchSoundPath;
extern const char* const kKickSoundPath;
extern const char* const kImpactSoundPath;

struct BlowSounds {
  audio::SoundSystem* system = nullptr;
  audio::Sound* sounds[kBlowSounds] = {};
  audio::Channel* channel = nullptr;
  int played[kBlowSounds] = {};  // of the counts the run has shown so far
};

// Opens a sound system of its own and reads the three sound files (relative
// to the working folder). A file that does not read plays as silence.
void openBlowSounds(BlowSounds& sounds);
// Plays one blow's sound (PunchSwing, KickSwing or the blow landing) now.
void playBlowSound(BlowSounds& sounds, int blow);
// Plays each sound the run has started since the last call. A count lower
// than what was played means a new run: it is taken as it stands.
void playNewBlowSounds(BlowSounds& sounds, const int started[kBlowSounds]);
