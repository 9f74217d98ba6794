#include "clip/sound_mix.h"

#include <algorithm>
#include <utility>

#include "audio/mix_levels.h"

namespace clip {
namespace {

constexpr int kTicksPerSecond = 60;

// One channel of a sound at a source frame: a mono sound gives the same on both sides.
float sampleOf(const audio::PcmSound& sound, long long frame, int channel) {
  const int from = sound.channels == 1 ? 0 : channel;
  return sound.samples[static_cast<std::size_t>(frame) * sound.channels + from] / 32768.0f;
}

long long framesOf(const audio::PcmSound& sound) {
  return sound.channels > 0 ? static_cast<long long>(sound.samples.size()) / sound.channels : 0;
}

}  // namespace

TrackSounds loadTrackSounds(const std::string& soundFolder, std::vector<std::string>* missing) {
  TrackSounds sounds;
  const std::pair<const char*, audio::PcmSound*> files[] = {
      {"music.wav", &sounds.music}, {"punch.wav", &sounds.punch}, {"kick.wav", &sounds.kick},
      {"impact.wav", &sounds.impact}};
  for (const auto& [name, sound] : files) {
    const std::string path = soundFolder + "/" + name;
    if (!audio::loadSoundFile(path.c_str(), sound) && missing != nullptr) missing->push_back(path);
  }
  return sounds;
}

long long trackFrameOfTick(long long tick, int rate) { return tick * rate / kTicksPerSecond; }

SoundTrack::SoundTrack(TrackSounds sounds, std::vector<SoundEvent> events, TrackLevels levels)
    : sounds_(std::move(sounds)), events_(std::move(events)), levels_(levels) {
  if (sounds_.music.sampleRate > 0) rate_ = sounds_.music.sampleRate;
  std::stable_sort(events_.begin(), events_.end(),
                   [](const SoundEvent& a, const SoundEvent& b) { return a.atFrame < b.atFrame; });
  for (const audio::PcmSound* effect : {&sounds_.punch, &sounds_.kick, &sounds_.impact}) {
    if (effect->sampleRate <= 0) continue;
    const long long frames = (framesOf(*effect) * rate_ + effect->sampleRate - 1) / effect->sampleRate;
    longestEffect_ = std::max(longestEffect_, frames);
  }
}

const audio::PcmSound& SoundTrack::soundOf(BlowSound sound) const {
  switch (sound) {
    case BlowSound::kick:
      return sounds_.kick;
    case BlowSound::impact:
      return sounds_.impact;
    default:
      return sounds_.punch;
  }
}

// Adds one blow's sound, started at startFrame of the track and cut at
// endFrame, to the block; a sound made at another rate is read between its
// samples, in a straight line.
void SoundTrack::addSound(const audio::PcmSound& sound, float level, long long startFrame, long long endFrame,
                          long long first, int count, float* out) const {
  const long long length = framesOf(sound);
  if (length == 0 || sound.sampleRate <= 0) return;
  const double step = static_cast<double>(sound.sampleRate) / rate_;
  for (int i = 0; i < count; ++i) {
    const long long since = first + i - startFrame;
    if (since < 0) continue;
    if (first + i >= endFrame) break;
    const double at = since * step;
    const long long before = static_cast<long long>(at);
    if (before >= length) break;
    const long long after = std::min(before + 1, length - 1);
    const float share = static_cast<float>(at - before);
    for (int c = 0; c < kTrackChannels; ++c) {
      const float a = sampleOf(sound, before, c);
      const float b = sampleOf(sound, after, c);
      out[i * kTrackChannels + c] += level * (a + (b - a) * share);
    }
  }
}

void SoundTrack::mix(long long first, int count, float* out) const {
  std::fill(out, out + static_cast<std::size_t>(count) * kTrackChannels, 0.0f);
  const long long musicFrames = framesOf(sounds_.music);
  const float musicGain = audio::musicGain(levels_.music);
  if (musicFrames > 0 && musicGain > 0.0f) {
    for (int i = 0; i < count; ++i) {
      const long long at = (first + i) % musicFrames;
      for (int c = 0; c < kTrackChannels; ++c) out[i * kTrackChannels + c] = musicGain * sampleOf(sounds_.music, at, c);
    }
  }
  const float effectsGain = audio::effectsGain(levels_.effects);
  if (effectsGain > 0.0f) {
    // Only blows begun before the block's end and not yet over at its start are heard in it.
    const auto sounding = std::lower_bound(
        events_.begin(), events_.end(), first - longestEffect_,
        [](const SoundEvent& event, long long frame) { return event.atFrame < frame; });
    for (auto event = sounding; event != events_.end() && event->atFrame < first + count; ++event) {
      // The blows take turns on their voice, as in the game: the next one's sound ends this one's.
      const auto next = event + 1;
      const long long end = next != events_.end() ? next->atFrame : first + count;
      addSound(soundOf(event->sound), effectsGain, event->atFrame, end, first, count, out);
    }
  }
  for (std::size_t i = 0; i < static_cast<std::size_t>(count) * kTrackChannels; ++i) {
    out[i] = std::clamp(out[i], -1.0f, 1.0f);
  }
}

}  // namespace clip
