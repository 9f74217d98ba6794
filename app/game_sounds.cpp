#include "app/game_sounds.h"

#include "audio/mix_levels.h"
#include "player_files/settings.h"

const char* const kMusicPath = "./sound/music.wav";
const char* const kBlowSoundPaths[kBlowSounds] = {"./sound/punch.wav", "./sound/kick.wav", "./sound/impact.wav"};

namespace {

constexpr int kMusicVoices = 32;

// A new system with up to `voices` voices; null when none could be made. One
// without a device is kept: it plays nothing, and says so once.
audio::SoundSystem* openSystem(int voices) {
  audio::SoundSystem* system = nullptr;
  if (audio::createSoundSystem(&system) != audio::kSoundOk || system == nullptr) return nullptr;
  system->init(voices, 0, nullptr);
  return system;
}

float share(int volume) { return static_cast<float>(volume) / kMaxVolume; }

}  // namespace

void openBlowSounds(BlowSounds& sounds) {
  sounds.system = openSystem(audio::kBlowVoices);
  if (sounds.system == nullptr) return;
  sounds.system->setVolume(audio::effectsGain(1.0f));  // until the player's settings are applied
  for (int i = 0; i < kBlowSounds; ++i) {
    sounds.system->createSound(kBlowSoundPaths[i], audio::kSoundDefault, nullptr, &sounds.sounds[i]);
  }
}

void releaseBlowSounds(BlowSounds& sounds) {
  for (int i = kBlowSounds; i-- > 0;) {
    if (sounds.sounds[i] != nullptr) sounds.sounds[i]->release();
    sounds.sounds[i] = nullptr;
  }
  sounds.channel = nullptr;
  if (sounds.system != nullptr) sounds.system->release();
  sounds.system = nullptr;
}

void playNewBlowSounds(BlowSounds& sounds, const int started[kBlowSounds]) {
  for (int i = 0; i < kBlowSounds; ++i) {
    if (started[i] < sounds.played[i]) sounds.played[i] = started[i];
    for (; sounds.played[i] < started[i]; ++sounds.played[i]) {
      if (sounds.system != nullptr) sounds.system->playSound(sounds.sounds[i], nullptr, false, &sounds.channel);
    }
  }
}

void startSounds(GameSounds& sounds, const Settings& settings) {
  openBlowSounds(sounds.blows);
  sounds.musicSystem = openSystem(kMusicVoices);
  if (sounds.musicSystem != nullptr) {
    sounds.musicSystem->createSound(kMusicPath, audio::kSoundLoop, nullptr, &sounds.music);
  }
  // The music at the player's volume from its first sample.
  applySoundVolumes(sounds, settings);
  if (sounds.musicSystem != nullptr) sounds.musicSystem->playSound(sounds.music, nullptr, false, &sounds.musicChannel);
}

void applySoundVolumes(GameSounds& sounds, const Settings& settings) {
  if (sounds.musicSystem != nullptr) sounds.musicSystem->setVolume(audio::musicGain(share(settings.musicVolume)));
  if (sounds.blows.system != nullptr) sounds.blows.system->setVolume(audio::effectsGain(share(settings.effectsVolume)));
}

void serviceSounds(GameSounds& sounds) {
  if (sounds.musicSystem != nullptr) sounds.musicSystem->update();
  if (sounds.blows.system != nullptr) sounds.blows.system->update();
}

void releaseSounds(GameSounds& sounds) {
  if (sounds.music != nullptr) sounds.music->release();
  sounds.music = nullptr;
  sounds.musicChannel = nullptr;
  if (sounds.musicSystem != nullptr) sounds.musicSystem->release();
  sounds.musicSystem = nullptr;
  releaseBlowSounds(sounds.blows);
}
