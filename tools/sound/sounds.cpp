// Writes the game's sounds: two blows, the impact of one that lands and the looping fight music.
#include "assets.h"
#include "sound/synth.h"

bool makeSounds(const std::string& soundDir) {
  bool ok = synth::writeWav(soundDir + "/punch.wav", synth::makePunch());
  ok = synth::writeWav(soundDir + "/kick.wav", synth::makeKick()) && ok;
  ok = synth::writeWav(soundDir + "/impact.wav", synth::makeImpact()) && ok;
  ok = synth::writeWav(soundDir + "/music.wav", synth::makeMusic()) && ok;
  return ok;
}
