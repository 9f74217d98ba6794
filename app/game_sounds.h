#pragma once
// The game's sounds as the shell plays them: the looping music and the hero's
// blow sounds. The run only counts the sounds its ticks start
// (Player::soundsStarted: a punch, a kick, a blow landing); after each pass's
// ticks the shell plays those it has not played yet, so they are heard in the
// pass their tick ran in. What opens a sound system or a sound releases it,
// so these hold their handles once and are never copied.

#include "audio/sound.h"
#include "entities/player.h"

struct Settings;

// The sound files, relative to the working folder: the music, and each blow's
// sound in the order of BlowSound.
extern const char* const kMusicPath;
extern const char* const kBlowSoundPaths[kBlowSounds];

struct BlowSounds {
  BlowSounds() = default;
  BlowSounds(const BlowSounds&) = delete;
  BlowSounds& operator=(const BlowSounds&) = delete;

  // Null until opened, or when no system could be made: nothing is played.
  audio::SoundSystem* system = nullptr;
  audio::Sound* sounds[kBlowSounds] = {};
  audio::Channel* channel = nullptr;
  int played[kBlowSounds] = {};  // of the counts the run has shown so far
};

struct GameSounds {
  GameSounds() = default;
  GameSounds(const GameSounds&) = delete;
  GameSounds& operator=(const GameSounds&) = delete;

  BlowSounds blows;
  // Null until the music starts, or when no system could be made.
  audio::SoundSystem* musicSystem = nullptr;
  audio::Sound* music = nullptr;
  audio::Channel* musicChannel = nullptr;
};

// Opens a sound system of its own and reads the three sound files (relative
// to the working folder), at the full effects volume. A file that does not
// read plays as silence.
void openBlowSounds(BlowSounds& sounds);
// Lets go of the blow sounds, then of their system, the reverse of their opening.
void releaseBlowSounds(BlowSounds& sounds);
// Plays each sound the run has started since the last call. A count lower
// than what was played means a new run: it is taken as it stands.
void playNewBlowSounds(BlowSounds& sounds, const int started[kBlowSounds]);

// Every sound of the game, set up in this one order wherever the game plays
// (a window, the page, a clip): the blows' system and sounds, then the
// music's, both at the player's volumes, and the music looping from its
// first sample at its volume. Without a sound device each system is silent
// and the game plays on.
void startSounds(GameSounds& sounds, const Settings& settings);
// The player's volumes on both systems (each left alone until it is open).
void applySoundVolumes(GameSounds& sounds, const Settings& settings);
// Once a pass: the voices whose sounds have finished are let go of.
void serviceSounds(GameSounds& sounds);
// Stops the music and lets go of every sound and of both systems, the
// reverse of their opening: the music, its system, the blows, theirs.
void releaseSounds(GameSounds& sounds);
