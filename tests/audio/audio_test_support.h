#pragma once
// Helpers for the sound tests: WAV fixtures written on the fly, and a view of
// what OpenAL actually mixed, captured through its wave-file backend.
#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

constexpr int kRate = 22050;  // fixtures and the capture device share this rate

using Samples = std::vector<std::int16_t>;

// A directory of this process's own, removed when the process ends.
const std::string& scratchDir();
std::string scratchPath(const std::string& name);

// A constant level: makes what the mixer sums easy to read back.
Samples steady(double seconds, std::int16_t level);
// A sine of a whole number of cycles, so a loop of it has no seam.
Samples sine(double seconds, double hz, double amplitude);

// 16-bit PCM WAV written byte by byte (interleaved when channels is 2).
std::string wavBytes(const Samples& samples, int channels = 1, int rate = kRate);
bool writeFile(const std::string& path, const std::string& bytes);
std::string writeWav(const std::string& name, const Samples& samples, int channels = 1);

void sleepSeconds(double seconds);

// The process's OpenAL output. The first call points OpenAL at a wave file in
// the scratch directory; it must come before any SoundSystem::init.
class Capture {
 public:
  static Capture& get();
  // Position (in samples) the output file has reached.
  long mark() const;
  // Everything written since a mark.
  Samples since(long mark) const;

 private:
  Capture();
  std::string path_;
};

// Mean level of consecutive blocks of `blockSamples`: a cheap envelope.
struct Block {
  double mean;  // signed: follows steady levels
  double rms;   // around the mean: follows tones
};
std::vector<Block> blocks(const Samples& samples, int blockSamples);
// Index of the first sample whose magnitude passes `threshold`, or -1.
long onset(const Samples& samples, int threshold, long from = 0);
int peak(const Samples& samples, long from = 0, long to = -1);

}  // namespace audiotest
