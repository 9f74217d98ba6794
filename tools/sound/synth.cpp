#include "sound/synth.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace synth {

int samplesFor(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }

double midiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

double Noise::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_ >> 8) * (2.0 / 16777216.0) - 1.0;
}

double BandPass::process(double in, double centreHz, double q) {
  const double w0 = kTwoPi * centreHz / kSampleRate;
  const double alpha = std::sin(w0) / (2.0 * q);
  const double a0 = 1.0 + alpha;
  const double out = (alpha * in - alpha * x2_ + 2.0 * std::cos(w0) * y1_ - (1.0 - alpha) * y2_) / a0;
  x2_ = x1_;
  x1_ = in;
  y2_ = y1_;
  y1_ = out;
  return out;
}

LowPass::LowPass(double cutoffHz)
    : coefficient_(1.0 - std::exp(-kTwoPi * cutoffHz / kSampleRate)) {}

double LowPass::process(double in) {
  state_ += coefficient_ * (in - state_);
  return state_;
}

double attack(double t, double seconds) { return t >= seconds ? 1.0 : std::max(t, 0.0) / seconds; }

void mixInto(Signal& mix, const Signal& voice, int at, double gain) {
  for (std::size_t i = 0; i < voice.size(); ++i) {
    const std::size_t target = static_cast<std::size_t>(at) + i;
    if (target >= mix.size()) break;
    mix[target] += gain * voice[i];
  }
}

void normalisePeak(Signal& signal, double peak) {
  double largest = 0;
  for (double sample : signal) largest = std::max(largest, std::fabs(sample));
  if (largest <= 0) return;
  for (double& sample : signal) sample *= peak / largest;
}

void fadeOut(Signal& signal, double seconds) {
  const std::size_t length = std::min(signal.size(), static_cast<std::size_t>(samplesFor(seconds)));
  for (std::size_t i = 0; i < length; ++i) {
    // Cosine shape: no corner where the fade begins.
    const double progress = static_cast<double>(i + 1) / static_cast<double>(length);
    signal[signal.size() - length + i] *= 0.5 + 0.5 * std::cos(kPi * progress);
  }
}

namespace {

void putLe(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

bool writeWav(const std::string& path, const Signal& signal) {
  constexpr int kBytesPerSample = 2;
  constexpr std::uint32_t kFmtChunkSize = 16;
  constexpr std::uint32_t kPcmFormat = 1;
  constexpr std::uint32_t kHeaderRest = 36;  // RIFF size counts everything after its own field
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(signal.size() * kBytesPerSample);

  std::vector<unsigned char> bytes;
  bytes.reserve(44 + dataBytes);
  const auto tag = [&bytes](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
  tag("RIFF");
  putLe(bytes, kHeaderRest + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  putLe(bytes, kFmtChunkSize, 4);
  putLe(bytes, kPcmFormat, 2);
  putLe(bytes, 1, 2);  // mono
  putLe(bytes, kSampleRate, 4);
  putLe(bytes, kSampleRate * kBytesPerSample, 4);
  putLe(bytes, kBytesPerSample, 2);
  putLe(bytes, 8 * kBytesPerSample, 2);
  tag("data");
  putLe(bytes, dataBytes, 4);
  for (double sample : signal) {
    const double clamped = std::clamp(sample, -1.0, 1.0);
    const auto value = static_cast<std::int16_t>(std::lround(clamped * 32767.0));
    putLe(bytes, static_cast<std::uint16_t>(value), 2);
  }

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace synth
