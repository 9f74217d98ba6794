// The hit sounds: short, dry and loud enough to cut through the music.
#include <cmath>

#include "sound/synth.h"

namespace synth {
namespace {

constexpr double kBlowPeak = 0.89;  // about -1 dBFS

// A sine whose pitch glides exponentially from `fromHz` to `toHz`, decaying.
void addThump(Signal& out, int at, double fromHz, double toHz, double glide, double decay,
              double gain) {
  double phase = 0;
  for (std::size_t i = static_cast<std::size_t>(at); i < out.size(); ++i) {
    const double t = static_cast<double>(i - static_cast<std::size_t>(at)) / kSampleRate;
    const double hz = toHz + (fromHz - toHz) * std::exp(-t / glide);
    phase += kTwoPi * hz / kSampleRate;
    out[i] += gain * attack(t, 0.0003) * std::exp(-t / decay) * std::sin(phase);
  }
}

// Band-passed noise burst: the slap of contact.
void addSlap(Signal& out, int at, double centreHz, double decay, double gain, Noise& noise) {
  BandPass filter;
  for (std::size_t i = static_cast<std::size_t>(at); i < out.size(); ++i) {
    const double t = static_cast<double>(i - static_cast<std::size_t>(at)) / kSampleRate;
    out[i] += gain * std::exp(-t / decay) * filter.process(noise.next(), centreHz, 1.2);
  }
}

void saturate(Signal& signal, double drive) {
  for (double& sample : signal) sample = std::tanh(drive * sample) / std::tanh(drive);
}

}  // namespace

Signal makePunch() {
  constexpr double kLength = 0.16;
  Noise noise(0x5eed0001u);
  Signal out(static_cast<std::size_t>(samplesFor(kLength)), 0.0);
  addThump(out, 0, 190.0, 85.0, 0.025, 0.045, 0.9);
  addSlap(out, 0, 1800.0, 0.012, 2.2, noise);
  addSlap(out, 0, 4200.0, 0.006, 1.0, noise);
  saturate(out, 1.8);
  fadeOut(out, 0.03);
  normalisePeak(out, kBlowPeak);
  return out;
}

Signal makeKick() {
  constexpr double kLength = 0.30;
  constexpr double kSwishEnd = 0.11;
  constexpr double kImpactAt = 0.10;
  Noise noise(0x5eed0002u);
  Signal out(static_cast<std::size_t>(samplesFor(kLength)), 0.0);

  // The swish: noise through a band that sweeps upward as the leg comes round,
  // already audible at the first sample and swelling into the impact.
  BandPass sweep;
  const int swishSamples = samplesFor(kSwishEnd);
  for (int i = 0; i < swishSamples; ++i) {
    const double progress = static_cast<double>(i) / swishSamples;
    const double centre = 500.0 * std::pow(7.0, progress);  // 500 Hz to 3.5 kHz
    const double swell = 0.45 + 0.55 * std::sin(0.5 * kPi * std::min(progress / 0.85, 1.0));
    const double close = progress > 0.85 ? 0.5 + 0.5 * std::cos(kPi * (progress - 0.85) / 0.15) : 1.0;
    out[static_cast<std::size_t>(i)] += 0.9 * swell * close * sweep.process(noise.next(), centre, 1.5);
  }

  const int impact = samplesFor(kImpactAt);
  addThump(out, impact, 140.0, 48.0, 0.03, 0.07, 1.0);
  addThump(out, impact, 280.0, 110.0, 0.01, 0.02, 0.3);
  addSlap(out, impact, 1300.0, 0.010, 2.0, noise);
  saturate(out, 1.6);
  fadeOut(out, 0.04);
  normalisePeak(out, kBlowPeak);
  return out;
}

// A blow that lands: a hard, bright crack over a short body thud, over sooner
// than either swing so it reads as the contact, not another swing.
Signal makeImpact() {
  constexpr double kLength = 0.12;
  Noise noise(0x5eed0003u);
  Signal out(static_cast<std::size_t>(samplesFor(kLength)), 0.0);
  addSlap(out, 0, 3000.0, 0.008, 2.6, noise);
  addSlap(out, 0, 700.0, 0.018, 1.6, noise);
  addThump(out, 0, 330.0, 170.0, 0.01, 0.025, 0.6);
  saturate(out, 2.5);
  fadeOut(out, 0.025);
  normalisePeak(out, kBlowPeak);
  return out;
}

}  // namespace synth
