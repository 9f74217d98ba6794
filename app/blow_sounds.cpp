#include "app/blow_sounds.h"

const char* const kPunchSoundPath = "./sound/punch.wav";
const char* const kKickSoundPath = "./sound/kick.wav";
const char* const kImpactSoundPath = "./sound/impact.wav";

namespace {
constexpr int kSoundVoices = 32;
}

void openBlowSounds(BlowSounds& sounds) {
  audio::createSoundSystem(&sounds.system);
  sounds.system->init(kSoundVoices, 0, nullptr);
  const char* const paths[kBlowSounds] = {kPunchSoundPath, kKickSoundPath, kImpactSoundPath};
  for (int i = 0; i < kBlowSounds; ++i) {
    sounds.system->createSound(paths[i], audio::kSoundDefault, nullptr, &sounds.sounds[i]);
  }
}

void playBlowSound(BlowSounds& sounds, int blow) {
  if (sounds.system != nullptr) sounds.system->playSound(sounds.sounds[blow], nullptr, false, &sounds.channel);
}

void playNewBlowSounds(BlowSounds& sounds, const int started[kBlowSounds]) {
  for (int i = 0; i < kBlowSounds; ++i) {
    if (started[i] < sounds.played[i]) sounds.played[i] = started[i];
    for (; sounds.played[i] < started[i]; ++sounds.played[i]) playBlowSound(sounds, i);
  }
}
