#pragma once
// The sound track of a clip, mixed as the game plays it: the music looping
// from the run's start, and each blow's sound from the moment it was played
// until the next blow's (the blows take turns on one voice), at the player's
// volumes and the game's levels (audio/mix_levels.h). The mix is a function
// of the sounds, the events and the position alone, so a track can be made
// in blocks of any size, in any order, and always comes out the same.
#include <string>
#include <vector>

#include "audio/sound_file.h"

namespace clip {

enum class BlowSound { punch, kick, impact };

// A blow's sound starting at a frame of the track (one frame: one sample a channel).
struct SoundEvent {
  BlowSound sound = BlowSound::punch;
  long long atFrame = 0;
};

struct TrackSounds {
  audio::PcmSound music;
  audio::PcmSound punch;
  audio::PcmSound kick;
  audio::PcmSound impact;
};

// The game's sounds from its sound folder (music.wav, punch.wav, kick.wav,
// impact.wav). A sound that cannot be read stays empty and is silent, as it is
// in the game; *missing, when given, gets the names of those files.
TrackSounds loadTrackSounds(const std::string& soundFolder, std::vector<std::string>* missing);

// Loudness of the music and of the blows, 0 to 1 (the settings' 0-100 over 100).
struct TrackLevels {
  float music = 1.0f;
  float effects = 1.0f;
};

// Track frames a second when the music gives none.
constexpr int kDefaultTrackRate = 22050;
// Every track is stereo: a mono sound plays the same on both sides.
constexpr int kTrackChannels = 2;

// The first frame of the track at which a tick's sounds play: tick n is n/60 s
// into the run.
long long trackFrameOfTick(long long tick, int rate);

class SoundTrack {
 public:
  SoundTrack(TrackSounds sounds, std::vector<SoundEvent> events, TrackLevels levels);
  // The track's rate: the music's.
  int rate() const { return rate_; }
  // Writes frames [first, first + count) of the track into out, count x 2
  // floats interleaved, each within -1 to 1.
  void mix(long long first, int count, float* out) const;

 private:
  const audio::PcmSound& soundOf(BlowSound sound) const;
  void addSound(const audio::PcmSound& sound, float level, long long startFrame, long long endFrame,
                long long first, int count, float* out) const;

  TrackSounds sounds_;
  std::vector<SoundEvent> events_;  // in order of their frames
  TrackLevels levels_;
  int rate_ = kDefaultTrackRate;
  long long longestEffect_ = 0;  // in track frames
};

}  // namespace clip
