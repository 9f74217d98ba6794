#pragma once
// The game's sound service: sound systems, sounds and the channels they play on.
//
// Every call returns a SoundResult. When no audio device can be opened, or a
// file is missing or broken, the calls fail quietly and the game simply runs
// without that sound. Calls are made on systems and sounds that exist: a
// caller holding none (a failed create) makes no call.
//
// One audio device is shared by the whole process; each SoundSystem is
// independent, with its own mixing context and its own voices. Calls are
// serialised internally, so systems may be used from more than one thread.

namespace audio {

enum SoundResult { kSoundOk = 0, kSoundError = 1 };

// Modes of createSound.
constexpr int kSoundDefault = 0;  // plays once
constexpr int kSoundLoop = 2;     // repeats until the sound is released

// Most voices one system will prepare, whatever init is asked for.
constexpr int kMaxVoices = 64;

class Sound;
class Channel;
struct SoundSystemImpl;
struct SoundImpl;

class SoundSystem {
 public:
  // Prepares up to maxChannels voices (at most kMaxVoices); flags and
  // driverData are accepted and ignored. Fails, leaving a silent system, when
  // there is no audio device; a second init on the same system fails too.
  SoundResult init(int maxChannels, int flags, void* driverData);
  // Loads a sound file (WAV; 16-bit mono or stereo is played as is, other
  // sample formats are converted). extraInfo is accepted and ignored.
  // *sound is null on failure: missing, unreadable or implausible files, or no
  // device. Sounds longer than ten minutes are refused.
  SoundResult createSound(const char* path, int mode, void* extraInfo, Sound** sound);
  // Starts the sound at once on a free voice; sounds already playing go on.
  // When every voice is busy the one started longest ago is taken over.
  // channelGroup must be null (the default group) and paused false.
  // *channel is owned by the system (never free it) and null on failure.
  SoundResult playSound(Sound* sound, void* channelGroup, bool paused, Channel** channel);
  // Services the system: frees voices whose sounds have finished.
  SoundResult update();
  // The loudness of everything this system plays, from 0 (silent) to 1 (as
  // recorded, the default); values outside are clamped.
  SoundResult setVolume(float volume);
  // Stops its voices and frees the system, with every sound it still holds
  // (their pointers are invalid afterwards, as is the system's). The device
  // stays open for the process's other systems.
  SoundResult release();

  SoundSystemImpl* impl = nullptr;
};

// Creates a new, uninitialised system; *system is null on failure. Whoever
// creates a system releases it.
SoundResult createSoundSystem(SoundSystem** system);

// Sound rendered into memory instead of played: what a clip of a run is
// written with. Asked for before any system's init, it makes the process's
// one device a rendering one (OpenAL Soft's loopback device), stereo at
// `rate` frames a second; every system then mixes into it as it would into a
// sound card, and nothing is heard. Fails once a device has been opened, or
// when OpenAL Soft cannot render at that rate.
SoundResult renderSoundInMemory(int rate);
// The next `frames` frames of everything the systems are playing,
// interleaved stereo floats, each voice moving on by as much: sounds started
// before the call begin at its first frame. Silence, and an error, when
// sound is not rendered into memory.
SoundResult renderSound(float* out, int frames);

class Sound {
 public:
  // Stops every voice playing this sound and frees it; the pointer is invalid afterwards.
  SoundResult release();

  SoundImpl* impl = nullptr;
};

}  // namespace audio
