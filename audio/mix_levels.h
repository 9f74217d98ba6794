#pragma once
// How loud the music and the blows are mixed, wherever they are mixed: the
// game's own sound systems and a run's exported sound track both take their
// levels from here.
//
// The two share one output. A blow's sound peaks at about -1 dBFS and the
// music at about -10 dBFS; at full volume two blows heard together over the
// music would pass full scale. So the blows take turns on one voice (a blow's
// sound ends as the next one's begins), and each part is played at a share of
// the player's volume: at their loudest, one blow over the music peaks at
// 0.89 x 0.75 + 0.32 x 0.6 = 0.86, under -1 dBFS, and the blows, which carry
// what a player hears, lose only 2.5 dB.

namespace audio {

constexpr float kMusicShare = 0.6f;
constexpr float kEffectsShare = 0.75f;
// Voices of the blows' sound system.
constexpr int kBlowVoices = 1;

// The gain of each part at the player's volume for it (0 to 1).
inline float musicGain(float volume) { return kMusicShare * volume; }
inline float effectsGain(float volume) { return kEffectsShare * volume; }

}  // namespace audio
