#pragma once
// The game's sounds as the shell plays them: the looping music and the hero's
// blow sounds. The run only counts the sounds its ticks start
// (Player::soundsStarted: a punch, a kick, a blow landing); after each pass's
// ticks the shell plays those it has not played yet, so they are heard in the
// pass their tick ran in.

#include "audio/sound.h"
#include "entities/player.h"

struct Settings;

// The sound files, relative to the working folder: the music, and each blow's
// sound in the order of BlowSound.
extern const char* const kMusicPath;
extern const char* const kBlowSoundPaths[kBlowSounds];

struct BlowSounds {
  audio::SoundSystem* system = nullptr;
  audio::Sound* sounds[kBlowSounds] = {};
  audio::Channel* channel = nullptr;
  int played[kBlowSounds] = {};  // of the counts the run has shown so far
};

struct GameSounds {
  audio::SoundSystem* musicSystem = nullptr;
  audio::Sound* music = nullptr;
  audio::Channel* musicChannel = nullptr;
  BlowSounds blows;
};

// Opens a sound system of its own and reads the three sound files (relative
// to the working folder). A file that does not read plays as silence.
void openBlowSounds(BlowSounds& sounds);
// Plays each sound the run has started since the last call. A count lower
// than what was played means a new run: it is taken as it stands.
void playNewBlowSounds(BlowSounds& sounds, const int started[kBlowSounds]);
// Opens the music's sound system and starts the music looping at the
// player's volume.
void startMusic(GameSounds& sounds, const Settings& settings);
// Stops the music and lets go of every sound, the reverse of their opening.
void releaseSounds(GameSounds& sounds);
