#pragma once
// Small building blocks for the game's synthesised sounds. Everything is
// double precision at one sample rate, and all randomness comes from Noise
// with a fixed seed, so the asset tool writes the same bytes on every run.
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int kSampleRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Signal = std::vector<double>;

int samplesFor(double seconds);
double midiToHz(int note);

// A xorshift generator: deterministic white noise in [-1, 1).
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1u) {}
  double next();

 private:
  std::uint32_t state_;
};

// Band-pass biquad (constant 0 dB peak); the centre may move every sample.
class BandPass {
 public:
  double process(double in, double centreHz, double q);

 private:
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One-pole low-pass.
class LowPass {
 public:
  explicit LowPass(double cutoffHz);
  double process(double in);

 private:
  double coefficient_;
  double state_ = 0;
};

// Linear ramp from 0 to 1 over `seconds`, then 1: keeps onsets click-free.
double attack(double t, double seconds);

// Adds `voice` into `mix` from sample `at`, scaled; parts past the end are dropped.
void mixInto(Signal& mix, const Signal& voice, int at, double gain);
// Scales so the largest magnitude equals `peak`.
void normalisePeak(Signal& signal, double peak);
// Fades the last `seconds` of the signal down to zero.
void fadeOut(Signal& signal, double seconds);

// Writes 16-bit PCM mono WAV at kSampleRate; prints what failed and returns false.
bool writeWav(const std::string& path, const Signal& signal);

Signal makePunch();
Signal makeKick();
Signal makeImpact();
Signal makeMusic();

}  // namespace synth
