// The sound service on OpenAL: one device for the process, one context per
// SoundSystem, one AL source per voice and one AL buffer per Sound.
#include "audio/sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#ifndef __EMSCRIPTEN__
#include <AL/alext.h>  // the loopback device a clip's sound is rendered on
#endif
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include "audio/sound_file.h"

namespace audio {

// A handle to one voice; owned by its system and reused by later plays.
class Channel {
 public:
  int voice = -1;
};

struct SoundImpl {
  SoundSystemImpl* system = nullptr;
  ALuint buffer = 0;
  bool loop = false;
};

struct Voice {
  ALuint source = 0;
  SoundImpl* sound = nullptr;  // the sound attached to the source; null when free
  unsigned long long startedAt = 0;
  Channel channel;
};

struct SoundSystemImpl {
  ALCcontext* context = nullptr;  // null when the system is silent
  std::vector<Voice> voices;      // sized once by init, so Channel pointers stay valid
  std::vector<Sound*> sounds;     // loaded and not yet released
  unsigned long long plays = 0;
};

namespace {

#ifdef __EMSCRIPTEN__
// The browser's OpenAL plays only to the page: it has no device that renders
// into memory (clips are exported on the desktop).
using RenderSamples = void (*)(ALCdevice*, ALCvoid*, ALCsizei);
#else
using RenderSamples = LPALCRENDERSAMPLESSOFT;
#endif

// Everything shared by all systems. Allocated once and never destroyed, so
// the exit handler can still use it whatever order statics die in.
struct Service {
  std::mutex lock;  // OpenAL's current context is process-wide: one call at a time
  ALCdevice* device = nullptr;
  bool triedDevice = false;
  int renderRate = 0;  // frames a second when the device renders into memory, else 0
  RenderSamples renderSamples = nullptr;
  std::vector<SoundSystem*> systems;  // every system made, for the exit handler
  void* alsa = nullptr;               // alsa-lib, when this machine has it
  bool triedAlsa = false;
};

Service& service() {
  static Service* shared = new Service();
  return *shared;
}

void closeDeviceAtExit();

// ALSA's error handler, as alsa-lib declares it (its headers need not be here).
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Sets ALSA's error handler if alsa-lib is on this machine; null restores its
// default, which writes to standard error.
void setAlsaErrorHandler(AlsaErrorHandler handler) {
  Service& shared = service();
  if (!shared.triedAlsa) {
    shared.triedAlsa = true;
#ifdef __EMSCRIPTEN__
    shared.alsa = nullptr;  // a web page has no ALSA, and no library to open
#else
    shared.alsa = dlopen("libasound.so.2", RTLD_LAZY);
#endif
  }
  void* alsa = shared.alsa;
  if (!alsa) return;
  using SetHandler = int (*)(AlsaErrorHandler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(handler);
}

// Without a sound card, opening the default device makes alsa-lib and OpenAL
// each write their own errors: eight lines of ALSA configuration and one of
// OpenAL. The game says it once in its own words instead. ALSOFT_LOGLEVEL set
// by the player still wins; ALSA's later errors, while playing, are shown.
ALCdevice* openDeviceQuietly() {
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  setAlsaErrorHandler(ignoreAlsaError);
  ALCdevice* device = alcOpenDevice(nullptr);
  setAlsaErrorHandler(nullptr);
  if (!device) std::fprintf(stderr, "nombre: no sound device could be opened, playing without sound\n");
  return device;
}

// Opened on the first init and kept until the process exits: a second device
// would, with the wave-file backend, write into the same file. A device that
// failed to open is not retried, so a machine without sound stays quiet.
ALCdevice* sharedDevice() {
  Service& shared = service();
  if (!shared.triedDevice) {
    shared.triedDevice = true;
    shared.device = openDeviceQuietly();
    if (shared.device) std::atexit(closeDeviceAtExit);
  }
  return shared.device;
}

// A context on a rendering device must name the format it renders (and
// asks for plain stereo: no headphone filtering of the mix).
std::vector<ALCint> contextAttributes() {
  const Service& shared = service();
  if (shared.renderRate == 0) return {};
#ifdef __EMSCRIPTEN__
  return {};
#else
  return {ALC_FREQUENCY, shared.renderRate, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
          ALC_FLOAT_SOFT, ALC_HRTF_SOFT, ALC_FALSE, 0};
#endif
}

bool makeCurrent(ALCcontext* context) {
  return alcGetCurrentContext() == context || alcMakeContextCurrent(context) == ALC_TRUE;
}

bool isPlaying(const Voice& voice) {
  ALint state = AL_STOPPED;
  alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

void detach(Voice& voice) {
  alSourceStop(voice.source);
  alSourcei(voice.source, AL_BUFFER, 0);
  voice.sound = nullptr;
}

// A voice that is not playing, or else the one started longest ago.
Voice& pickVoice(SoundSystemImpl& system) {
  Voice* oldest = &system.voices.front();
  for (Voice& voice : system.voices) {
    if (!isPlaying(voice)) return voice;
    if (voice.startedAt < oldest->startedAt) oldest = &voice;
  }
  return *oldest;
}

bool isLive(const SoundSystemImpl* system) { return system && system->context; }

// Frees every voice, buffer and context and closes the device, so the output
// (a wave file, say) is finished properly. Systems and sounds the game still
// holds turn silent; releasing them afterwards only frees memory.
void closeDeviceAtExit() {
  Service& shared = service();
  std::lock_guard<std::mutex> guard(shared.lock);
  for (SoundSystem* owner : shared.systems) {
    SoundSystemImpl* system = owner->impl;
    if (!isLive(system) || !makeCurrent(system->context)) continue;
    for (Voice& voice : system->voices) {
      detach(voice);
      alDeleteSources(1, &voice.source);
    }
    system->voices.clear();
    for (Sound* sound : system->sounds) alDeleteBuffers(1, &sound->impl->buffer);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(system->context);
    system->context = nullptr;
  }
  if (shared.device) alcCloseDevice(shared.device);
  shared.device = nullptr;
}

}  // namespace

SoundResult createSoundSystem(SoundSystem** system) {
  if (!system) return kSoundError;
  *system = nullptr;
  auto* created = new (std::nothrow) SoundSystem();
  if (!created) return kSoundError;
  std::lock_guard<std::mutex> guard(service().lock);
  service().systems.push_back(created);
  *system = created;
  return kSoundOk;
}

SoundResult renderSoundInMemory(int rate) {
#ifdef __EMSCRIPTEN__
  (void)rate;
  return kSoundError;
#else
  std::lock_guard<std::mutex> guard(service().lock);
  Service& shared = service();
  if (shared.triedDevice || rate <= 0 || !alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return kSoundError;
  auto openLoopback =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto supported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
      alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
  auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!openLoopback || !supported || !render) return kSoundError;
  ALCdevice* device = openLoopback(nullptr);
  if (!device) return kSoundError;
  if (!supported(device, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
    alcCloseDevice(device);
    return kSoundError;
  }
  shared.triedDevice = true;
  shared.device = device;
  shared.renderRate = rate;
  shared.renderSamples = render;
  std::atexit(closeDeviceAtExit);
  return kSoundOk;
#endif
}

SoundResult renderSound(float* out, int frames) {
  if (!out || frames <= 0) return frames == 0 ? kSoundOk : kSoundError;
  std::lock_guard<std::mutex> guard(service().lock);
  Service& shared = service();
  if (!shared.device || shared.renderRate == 0) {
    std::fill(out, out + static_cast<std::size_t>(frames) * 2, 0.0f);
    return kSoundError;
  }
  shared.renderSamples(shared.device, out, frames);
  return kSoundOk;
}

SoundResult SoundSystem::init(int maxChannels, int, void*) {
  std::lock_guard<std::mutex> guard(service().lock);
  if (impl) return kSoundError;
  auto* system = new (std::nothrow) SoundSystemImpl();
  if (!system) return kSoundError;
  impl = system;  // from here on the system is initialised, if silent

  ALCdevice* device = sharedDevice();
  if (!device) return kSoundError;
  // No attributes for a sound card: with them OpenAL would reset a device
  // other systems are playing on. A rendering device needs them, the same each time.
  const std::vector<ALCint> attributes = contextAttributes();
  system->context = alcCreateContext(device, attributes.empty() ? nullptr : attributes.data());
  if (!system->context) return kSoundError;
  if (!makeCurrent(system->context)) {
    alcDestroyContext(system->context);
    system->context = nullptr;
    return kSoundError;
  }

  const int wanted = std::clamp(maxChannels, 0, kMaxVoices);
  system->voices.resize(static_cast<std::size_t>(wanted));
  int made = 0;
  for (; made < wanted; ++made) {
    Voice& voice = system->voices[made];
    alGetError();
    alGenSources(1, &voice.source);
    if (alGetError() != AL_NO_ERROR) break;
    // Every sound plays centred and at full volume: no 3D placement.
    alSourcei(voice.source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(voice.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(voice.source, AL_ROLLOFF_FACTOR, 0.0f);
    voice.channel.voice = made;
  }
  system->voices.resize(static_cast<std::size_t>(made));
  return made > 0 ? kSoundOk : kSoundError;
}

SoundResult SoundSystem::createSound(const char* path, int mode, void*, Sound** sound) {
  if (!sound) return kSoundError;
  *sound = nullptr;
  {
    std::lock_guard<std::mutex> guard(service().lock);
    if (!isLive(impl)) return kSoundError;
  }

  // Decoding can take a while; other systems keep going meanwhile.
  PcmSound pcm;
  if (!loadSoundFile(path, &pcm)) return kSoundError;

  std::lock_guard<std::mutex> guard(service().lock);
  SoundSystemImpl* system = impl;
  if (!isLive(system) || !makeCurrent(system->context)) return kSoundError;
  alGetError();
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  if (alGetError() != AL_NO_ERROR) return kSoundError;
  const ALenum format = pcm.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
  const auto bytes = static_cast<ALsizei>(pcm.samples.size() * sizeof(pcm.samples[0]));
  alBufferData(buffer, format, pcm.samples.data(), bytes, pcm.sampleRate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return kSoundError;
  }

  auto* data = new (std::nothrow) SoundImpl{system, buffer, (mode & kSoundLoop) != 0};
  auto* created = data ? new (std::nothrow) Sound() : nullptr;
  if (!created) {
    delete data;
    alDeleteBuffers(1, &buffer);
    return kSoundError;
  }
  created->impl = data;
  system->sounds.push_back(created);
  *sound = created;
  return kSoundOk;
}

SoundResult SoundSystem::playSound(Sound* sound, void* channelGroup, bool paused,
                                   Channel** channel) {
  if (channel) *channel = nullptr;
  if (!sound || channelGroup || paused) return kSoundError;
  std::lock_guard<std::mutex> guard(service().lock);
  SoundSystemImpl* system = impl;
  SoundImpl* data = sound->impl;
  // A sound belongs to the system that loaded it; release only looks there.
  if (!isLive(system) || system->voices.empty() || !data || data->system != system) {
    return kSoundError;
  }
  if (!makeCurrent(system->context)) return kSoundError;

  Voice& voice = pickVoice(*system);
  detach(voice);
  alGetError();
  alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(data->buffer));
  alSourcei(voice.source, AL_LOOPING, data->loop ? AL_TRUE : AL_FALSE);
  alSourcePlay(voice.source);
  if (alGetError() != AL_NO_ERROR) {
    detach(voice);
    return kSoundError;
  }
  voice.sound = data;
  voice.startedAt = ++system->plays;
  if (channel) *channel = &voice.channel;
  return kSoundOk;
}

SoundResult SoundSystem::update() {
  std::lock_guard<std::mutex> guard(service().lock);
  SoundSystemImpl* system = impl;
  if (!isLive(system) || !makeCurrent(system->context)) return kSoundError;
  // Letting go of finished sounds' buffers keeps release cheap.
  for (Voice& voice : system->voices) {
    if (voice.sound && !isPlaying(voice)) detach(voice);
  }
  return kSoundOk;
}

SoundResult SoundSystem::setVolume(float volume) {
  std::lock_guard<std::mutex> guard(service().lock);
  SoundSystemImpl* system = impl;
  if (!isLive(system) || !makeCurrent(system->context)) return kSoundError;
  // The listener belongs to this system's context alone: its gain scales
  // every voice of this system and no other.
  alGetError();
  alListenerf(AL_GAIN, std::clamp(volume, 0.0f, 1.0f));
  return alGetError() == AL_NO_ERROR ? kSoundOk : kSoundError;
}

SoundResult SoundSystem::release() {
  std::lock_guard<std::mutex> guard(service().lock);
  SoundSystemImpl* system = impl;
  if (system) {
    // A system closed with the device (at exit), or never given one, has no
    // AL objects left to free: only its memory.
    const bool live = isLive(system) && makeCurrent(system->context);
    if (live) {
      for (Voice& voice : system->voices) {
        detach(voice);
        alDeleteSources(1, &voice.source);
      }
    }
    for (Sound* sound : system->sounds) {
      if (live) alDeleteBuffers(1, &sound->impl->buffer);
      delete sound->impl;
      delete sound;
    }
    if (system->context) {
      if (alcGetCurrentContext() == system->context) alcMakeContextCurrent(nullptr);
      alcDestroyContext(system->context);
    }
    delete system;
  }
  std::vector<SoundSystem*>& systems = service().systems;
  systems.erase(std::remove(systems.begin(), systems.end(), this), systems.end());
  delete this;
  return kSoundOk;
}

SoundResult Sound::release() {
  std::lock_guard<std::mutex> guard(service().lock);
  SoundImpl* data = impl;
  bool freed = false;
  if (data && isLive(data->system) && makeCurrent(data->system->context)) {
    for (Voice& voice : data->system->voices) {
      if (voice.sound == data) detach(voice);
    }
    alGetError();
    alDeleteBuffers(1, &data->buffer);
    freed = alGetError() == AL_NO_ERROR;
  }
  if (data && data->system) {
    std::vector<Sound*>& sounds = data->system->sounds;
    sounds.erase(std::remove(sounds.begin(), sounds.end(), this), sounds.end());
  }
  delete data;
  delete this;
  return freed ? kSoundOk : kSoundError;
}

}  // namespace audio
