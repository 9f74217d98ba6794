#include "app/game_sounds.h"

#include "audio/mix_levels.h"
#include "player_files/settings.h"

const char* const kMusicPath = "./sound/music.wav";
const char* const kBlowSoundPaths[kBlowSounds] = {"./sound/punch.wav", "./sound/kick.wav", "./sound/impact.wav"};

namespace {
constexpr int kMusicVoices = 32;
}

void openBlowSounds(BlowSounds& sounds) {
  audio::createSoundSystem(&sounds.system);
  sounds.system->init(audio::kBlowVoices, 0, nullptr);
  sounds.system->setVolume(audio::effectsGain(1.0f));  // until the player's settings are applied
  for (int i = 0; i < kBlowSounds; ++i) {
    sounds.system->createSound(kBlowSoundPaths[i], audio::kSoundDefault, nullptr, &sounds.sounds[i]);
  }
}

void playNewBlowSounds(BlowSounds& sounds, const int started[kBlowSounds]) {
  for (int i = 0; i < kBlowSounds; ++i) {
    if (started[i] < sounds.played[i]) sounds.played[i] = started[i];
    for (; sounds.played[i] < started[i]; ++sounds.played[i]) {
      if (sounds.system != nullptr) sounds.system->playSound(sounds.sounds[i], nullptr, false, &sounds.channel);
    }
  }
}

void startMusic(GameSounds& sounds, const Settings& settings) {
  audio::createSoundSystem(&sounds.musicSystem);
  sounds.musicSystem->init(kMusicVoices, 0, nullptr);
  sounds.musicSystem->createSound(kMusicPath, audio::kSoundLoop, nullptr, &sounds.music);
  // At the player's volume from its first sample.
  sounds.musicSystem->setVolume(audio::musicGain(static_cast<float>(settings.musicVolume) / kMaxVolume));
  sounds.musicSystem->playSound(sounds.music, nullptr, false, &sounds.musicChannel);
}

void releaseSounds(GameSounds& sounds) {
  if (sounds.music != nullptr) sounds.music->release();
  sounds.music = nullptr;
  sounds.musicChannel = nullptr;
}
