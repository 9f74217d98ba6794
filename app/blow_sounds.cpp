#include "app/blow_sounds.h"

#include "audio/mix_levels.h"

const char* const kPunchSoundPath = "./sound/punch.wav";
const char* const kKickSoundPath = "./sound/kick.wav";
const char* const kImpactSoundPath = "./sound/impact.wav";

void openBlowSounds(BlowSounds& sounds) {
  audio::createSoundSystem(&sounds.system);
  sounds.system->init(audio::kBlowVoices, 0, nullptr);
  sounds.system->setVolume(audio::effectsGain(1.0f));  // until the player's settings are applied
  const char* const paths[kBlowSounds] = {kPunchSoundPath, kKickSoundPath, kImpactSoundPath};
  for (int i = 0; i < kBlowSounds; ++i) {
    sounds.system->createSound(paths[i], audio::kSoundDefault, nullptr, &sounds.sounds[i]);
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
