// Broken input, misuse and a machine without sound: the game never checks a
// result, so each of these must end in silence, never a crash or a hang.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/game_sounds.h"
#include "audio/sound.h"
#include "player_files/settings.h"
#include "audio/sound_file.h"
#include "audio_test_support.h"

extern char** environ;

namespace {

using namespace audiotest;

constexpr int kQuiet = 64;

// Overwrites `width` little-endian bytes of a WAV at `offset`.
std::string patched(std::string bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
  return bytes;
}

// Offsets in the plain 44-byte header that wavBytes writes.
constexpr std::size_t kFmtSize = 16, kFormatTag = 20, kChannels = 22, kSampleRate = 24,
                      kBlockAlign = 32, kBits = 34, kDataSize = 40, kHeader = 44;

std::string randomBytes(std::size_t count) {
  std::uint32_t state = 0x9e3779b9u;
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    out.push_back(static_cast<char>(state & 0xff));
  }
  return out;
}

TEST(BrokenFiles, AreRefusedAndStaySilent) {
  Capture::get();
  audio::SoundSystem* system = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&system), audio::kSoundOk);
  ASSERT_EQ(system->init(32, 0, nullptr), audio::kSoundOk);

  const std::string good = wavBytes(sine(0.5, 440, 8000));
  // Eleven minutes at a low rate: a valid file, but longer than a sound may be.
  const std::string tooLong = wavBytes(Samples(11 * 60 * 1000, 100), 1, 1000);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"random bytes", randomBytes(4096)},
      {"RIFF WAVE header then noise", good.substr(0, 12) + randomBytes(4096)},
      {"header only", good.substr(0, kHeader)},
      {"truncated samples", good.substr(0, good.size() / 2)},
      {"cut inside the header", good.substr(0, 30)},
      {"data size far past the end", patched(good, kDataSize, 0x7ffffff0u, 4)},
      {"unknown format tag", patched(good, kFormatTag, 0x1234, 2)},
      {"zero channels", patched(good, kChannels, 0, 2)},
      {"three channels", patched(patched(good, kChannels, 3, 2), kBlockAlign, 6, 2)},
      {"zero sample rate", patched(good, kSampleRate, 0, 4)},
      {"absurd sample rate", patched(good, kSampleRate, 2000000000u, 4)},
      {"zero bits per sample", patched(good, kBits, 0, 2)},
      {"format chunk too short", patched(good, kFmtSize, 4, 4)},
      {"format chunk larger than the file", patched(good, kFmtSize, 0xfffffff0u, 4)},
      {"longer than ten minutes", tooLong},
  };

  const long start = Capture::get().mark();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = scratchPath("broken.wav");
    ASSERT_TRUE(writeFile(path, c.bytes));
    audio::Sound* sound = reinterpret_cast<audio::Sound*>(&system);  // must be overwritten
    EXPECT_EQ(system->createSound(path.c_str(), audio::kSoundLoop, nullptr, &sound), audio::kSoundError);
    ASSERT_EQ(sound, nullptr);
    audio::Channel* channel = reinterpret_cast<audio::Channel*>(&system);
    EXPECT_EQ(system->playSound(sound, nullptr, false, &channel), audio::kSoundError);
    EXPECT_EQ(channel, nullptr);
  }

  // Paths that are not regular files; a FIFO would block a naive open forever.
  const std::string fifo = scratchPath("fifo.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string others[] = {scratchPath("missing.wav"), scratchDir(), fifo};
  for (const std::string& path : others) {
    SCOPED_TRACE(path);
    audio::Sound* sound = nullptr;
    EXPECT_EQ(system->createSound(path.c_str(), audio::kSoundDefault, nullptr, &sound), audio::kSoundError);
    EXPECT_EQ(sound, nullptr);
  }
  audio::Sound* sound = nullptr;
  EXPECT_EQ(system->createSound(nullptr, audio::kSoundDefault, nullptr, &sound), audio::kSoundError);

  EXPECT_EQ(system->update(), audio::kSoundOk);
  sleepSeconds(0.25);
  EXPECT_LT(peak(Capture::get().since(start)), kQuiet);
}

// Swaps the file at `path` for a named pipe, and starts a writer that would
// meet whoever opens the pipe and give it nothing.
std::thread pipeWriter;
void swapForPipe(const char* path) {
  const std::string name = path;
  unlink(path);
  mkfifo(path, 0600);
  pipeWriter = std::thread([name] {
    const int fd = open(name.c_str(), O_WRONLY);
    if (fd >= 0) close(fd);
  });
}

TEST(BrokenFiles, ASoundSwappedForAPipeAfterItsCheckIsReadAsChecked) {
  const Samples samples = steady(0.1, 1000);
  const std::string path = writeWav("swapped.wav", samples);
  audio::soundFileChecked = swapForPipe;
  audio::PcmSound pcm;
  const bool loaded = audio::loadSoundFile(path.c_str(), &pcm);
  audio::soundFileChecked = nullptr;
  // A reader of our own lets the writer go if the loader never opened the pipe.
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  pipeWriter.join();
  if (reader >= 0) close(reader);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(pcm.samples, samples);
}

TEST(Misuse, UnreadySystemsAndBadArgumentsAreHarmless) {
  Capture::get();
  EXPECT_EQ(audio::createSoundSystem(nullptr), audio::kSoundError);
  const std::string path = writeWav("quiet.wav", steady(0.05, 10));

  // Never initialised: nothing loads or plays.
  audio::SoundSystem* idle = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&idle), audio::kSoundOk);
  audio::Sound* sound = nullptr;
  EXPECT_EQ(idle->createSound(path.c_str(), audio::kSoundDefault, nullptr, &sound), audio::kSoundError);
  EXPECT_EQ(sound, nullptr);
  EXPECT_EQ(idle->playSound(nullptr, nullptr, false, nullptr), audio::kSoundError);
  EXPECT_EQ(idle->update(), audio::kSoundError);

  // No voices asked for: a system that cannot play.
  audio::SoundSystem* mute = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&mute), audio::kSoundOk);
  EXPECT_EQ(mute->init(0, 0, nullptr), audio::kSoundError);

  audio::SoundSystem* system = nullptr;
  audio::SoundSystem* other = nullptr;
  ASSERT_EQ(audio::createSoundSystem(&system), audio::kSoundOk);
  ASSERT_EQ(audio::createSoundSystem(&other), audio::kSoundOk);
  ASSERT_EQ(system->init(32, 0, nullptr), audio::kSoundOk);
  ASSERT_EQ(other->init(32, 0, nullptr), audio::kSoundOk);
  EXPECT_EQ(system->init(32, 0, nullptr), audio::kSoundError) << "a second init is refused";

  EXPECT_EQ(system->createSound(path.c_str(), audio::kSoundDefault, nullptr, nullptr), audio::kSoundError);
  ASSERT_EQ(system->createSound(path.c_str(), audio::kSoundDefault, nullptr, &sound), audio::kSoundOk);
  EXPECT_EQ(mute->playSound(sound, nullptr, false, nullptr), audio::kSoundError);
  EXPECT_EQ(other->playSound(sound, nullptr, false, nullptr), audio::kSoundError)
      << "a sound plays only on the system that loaded it";
  int group = 0;
  EXPECT_EQ(system->playSound(sound, &group, false, nullptr), audio::kSoundError);
  EXPECT_EQ(system->playSound(sound, nullptr, true, nullptr), audio::kSoundError);
  EXPECT_EQ(system->playSound(sound, nullptr, false, nullptr), audio::kSoundOk) << "the channel is optional";
  EXPECT_EQ(sound->release(), audio::kSoundOk);
  EXPECT_EQ(system->update(), audio::kSoundOk);
}

// Without any audio device every call still returns, quietly. OpenAL picks its
// device once per process, so this runs in a child process of its own.
constexpr char kChildMarker[] = "NOMBRE_AUDIO_TEST_CHILD";

TEST(NoDevice, EverythingIsSilentAndSafe) {
  if (std::getenv(kChildMarker)) {
    // A driver list naming no real backend: OpenAL opens no device at all.
    audio::SoundSystem* system = nullptr;
    ASSERT_EQ(audio::createSoundSystem(&system), audio::kSoundOk);
    EXPECT_EQ(system->init(32, 0, nullptr), audio::kSoundError);
    const std::string path = writeWav("fine.wav", steady(0.1, 1000));
    audio::Sound* sound = nullptr;
    EXPECT_EQ(system->createSound(path.c_str(), audio::kSoundLoop, nullptr, &sound), audio::kSoundError);
    EXPECT_EQ(sound, nullptr);
    audio::Channel* channel = nullptr;
    EXPECT_EQ(system->playSound(sound, nullptr, false, &channel), audio::kSoundError);
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(system->update(), audio::kSoundError);
    audio::SoundSystem* another = nullptr;
    ASSERT_EQ(audio::createSoundSystem(&another), audio::kSoundOk);
    EXPECT_EQ(another->init(32, 0, nullptr), audio::kSoundError);
    EXPECT_EQ(another->release(), audio::kSoundOk);
    EXPECT_EQ(system->release(), audio::kSoundOk);
    // The game's own sounds, set up, played, serviced and let go of, silent.
    GameSounds sounds;
    startSounds(sounds, Settings());
    const int started[kBlowSounds] = {1, 2, 1};
    playNewBlowSounds(sounds.blows, started);
    serviceSounds(sounds);
    releaseSounds(sounds);
    EXPECT_EQ(sounds.musicSystem, nullptr);
    EXPECT_EQ(sounds.blows.system, nullptr);
    return;
  }

  const std::string log = scratchPath("no_device.log");
  std::vector<std::string> env;
  for (char** entry = environ; *entry; ++entry) {
    const std::string line = *entry;
    if (line.rfind("ALSOFT_", 0) != 0) env.push_back(line);
  }
  env.push_back(std::string(kChildMarker) + "=1");
  env.push_back("ALSOFT_DRIVERS=no-such-backend");
  std::vector<char*> envp;
  for (std::string& line : env) envp.push_back(line.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe";
  std::string filter = "--gtest_filter=NoDevice.EverythingIsSilentAndSafe";
  char* argv[] = {self.data(), filter.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0);

  // A hang is a failure too: give the child ten seconds.
  int status = 0;
  pid_t done = 0;
  for (int waited = 0; waited < 1000 && done == 0; ++waited) {
    done = waitpid(child, &status, WNOHANG);
    if (done == 0) sleepSeconds(0.01);
  }
  if (done == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the child hung";
  }
  std::ifstream in(log);
  const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(WIFEXITED(status)) << output;
  EXPECT_EQ(WEXITSTATUS(status), 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

}  // namespace
