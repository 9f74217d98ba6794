// The fight music: sixteen bars in A minor pentatonic for plucked koto, a
// breathy flute, low bass and taiko drums, made to loop without a seam.
//
// Every voice starts from silence through a short ramp, so the waveform has
// no jumps. The piece is rendered with a few seconds of extra tail (ringing
// strings, drum decays, echoes) and that tail is added back onto the start:
// when the loop wraps, the start already holds what the end leaves ringing.
#include <algorithm>
#include <cmath>

#include "sound/synth.h"

namespace synth {
namespace {

constexpr int kStepSamples = 3300;  // a sixteenth note, about 100 beats a minute
constexpr int kStepsPerBar = 16;
constexpr int kBars = 16;
constexpr int kLoopSamples = kStepSamples * kStepsPerBar * kBars;  // about 38 s
constexpr double kTailSeconds = 4.0;
constexpr double kMusicPeak = 0.316;  // about -10 dBFS, well under the blows

constexpr int kRest = 0;
constexpr int kHold = -1;

// Koto line, one entry per eighth note: a MIDI note, a rest or a hold.
constexpr int kMelody[kBars][8] = {
    {69, kHold, 72, 74, 76, kHold, 74, 72},  // Am
    {69, kHold, kHold, 67, 69, kHold, kHold, kRest},
    {67, kHold, 69, 72, 74, kHold, 72, 69},  // G
    {64, kHold, kHold, 67, 69, kHold, 67, 64},  // Em
    {69, kHold, 72, 74, 76, kHold, 79, 76},  // Am
    {74, kHold, 72, 69, 72, kHold, kHold, kRest},
    {69, kHold, 67, 69, 72, kHold, 74, 72},  // F
    {74, kHold, kHold, 72, 74, kHold, 76, kRest},  // G
    {81, kHold, 79, 76, 74, kHold, 76, kRest},  // Dm
    {74, kHold, 72, 74, 76, kHold, kHold, kRest},
    {76, kHold, 79, 81, 79, 76, 74, 72},  // Am
    {69, kHold, kHold, kRest, 72, kHold, 74, kRest},
    {72, kHold, 69, 72, 74, kHold, 72, 69},  // F
    {74, kHold, kHold, 72, 74, kHold, 67, kRest},  // G
    {76, kHold, 74, 76, 79, kHold, 76, 74},  // E
    {76, kHold, kHold, 74, 72, kHold, 69, 67},
};

// Flute, one entry per half bar, from bar 5 on.
constexpr int kFlute[kBars][2] = {
    {kRest, kRest}, {kRest, kRest}, {kRest, kRest}, {kRest, kRest},
    {76, kHold},    {74, 72},       {72, kHold},    {74, kHold},
    {74, kHold},    {69, 67},       {76, kHold},    {72, 74},
    {72, kHold},    {74, kHold},    {76, 79},       {76, kHold},
};

// Bass root of each bar.
constexpr int kBassRoot[kBars] = {45, 45, 43, 40, 45, 45, 41, 43, 38, 38, 45, 45, 41, 43, 40, 40};

// Drums, one character per sixteenth: 'D' big taiko, 'd' softer taiko,
// 'k' rim click, 's' small high drum, '.' nothing.
constexpr char kGroove[] = "D..sk.d...D.k.s.";
constexpr char kFill[] = "D..sk.d.D.dd.DDD";
static_assert(sizeof kGroove == kStepsPerBar + 1 && sizeof kFill == kStepsPerBar + 1);

struct Note {
  int step;
  int midi;
  int lengthSteps;
};

// Turns a table of note / hold / rest cells into notes with lengths.
template <std::size_t Cells>
std::vector<Note> collectNotes(const int (&table)[kBars][Cells]) {
  constexpr int kStepsPerCell = kStepsPerBar / static_cast<int>(Cells);
  std::vector<Note> notes;
  for (int bar = 0; bar < kBars; ++bar) {
    for (std::size_t cell = 0; cell < Cells; ++cell) {
      const int value = table[bar][cell];
      const int step = bar * kStepsPerBar + static_cast<int>(cell) * kStepsPerCell;
      if (value > 0) {
        notes.push_back({step, value, kStepsPerCell});
      } else if (value == kHold && !notes.empty()) {
        notes.back().lengthSteps += kStepsPerCell;
      }
    }
  }
  return notes;
}

double stepsToSeconds(int steps) { return static_cast<double>(steps) * kStepSamples / kSampleRate; }

// Karplus-Strong string: a burst of soft noise circulating in a tuned delay
// line, damped each pass. A one-pole all-pass supplies the fractional delay
// so high notes stay in tune.
Signal koto(int midi, double heldSeconds, Noise& noise) {
  const double hz = midiToHz(midi);
  const double ringSeconds = std::min(heldSeconds + 0.5, 2.5);
  const int length = samplesFor(ringSeconds);
  const double period = kSampleRate / hz - 0.5;  // the averaging filter adds half a sample
  const int delay = static_cast<int>(std::floor(period - 0.1));
  const double fraction = period - delay;
  const double allpass = (1.0 - fraction) / (1.0 + fraction);
  constexpr double kDamping = 0.998;

  std::vector<double> line(static_cast<std::size_t>(delay), 0.0);
  LowPass soften(3000.0);
  for (double& sample : line) sample = soften.process(noise.next());
  // Plucking a quarter of the way along removes some harmonics, as a real string does.
  const std::vector<double> excitation = line;
  const std::size_t pluckOffset = line.size() / 4;
  for (std::size_t i = pluckOffset; i < line.size(); ++i) line[i] -= 0.6 * excitation[i - pluckOffset];

  Signal out(static_cast<std::size_t>(length), 0.0);
  std::size_t read = 0;
  double previous = 0, allpassIn = 0, allpassOut = 0;
  for (int i = 0; i < length; ++i) {
    const double current = line[read];
    const double averaged = kDamping * 0.5 * (current + previous);
    previous = current;
    allpassOut = allpass * averaged + allpassIn - allpass * allpassOut;
    allpassIn = averaged;
    line[read] = allpassOut;
    read = (read + 1) % line.size();
    const double t = static_cast<double>(i) / kSampleRate;
    out[static_cast<std::size_t>(i)] = attack(t, 0.0015) * current;
  }
  fadeOut(out, 0.3);
  return out;
}

// A flute: a sine with a little second and third harmonic, slow attack,
// delayed vibrato and some breath noise.
Signal flute(int midi, double heldSeconds, Noise& noise) {
  const double hz = midiToHz(midi);
  constexpr double kRelease = 0.2;
  const int length = samplesFor(heldSeconds + kRelease);
  Signal out(static_cast<std::size_t>(length), 0.0);
  LowPass breathFilter(1800.0);
  double phase = 0;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double vibrato = 1.0 + 0.005 * attack(t - 0.25, 0.3) * std::sin(kTwoPi * 5.0 * t);
    phase += kTwoPi * hz * vibrato / kSampleRate;
    const double tone = std::sin(phase) + 0.22 * std::sin(2 * phase) + 0.06 * std::sin(3 * phase);
    const double breath = 0.12 * breathFilter.process(noise.next());
    const double release = t > heldSeconds ? std::exp(-(t - heldSeconds) / 0.05) : 1.0;
    out[static_cast<std::size_t>(i)] = attack(t, 0.08) * release * (tone + breath);
  }
  fadeOut(out, 0.05);
  return out;
}

// Bass: a warm sine, a touch of second harmonic, gently saturated.
Signal bass(int midi, double heldSeconds) {
  const double hz = midiToHz(midi);
  const int length = samplesFor(heldSeconds + 0.05);
  Signal out(static_cast<std::size_t>(length), 0.0);
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double phase = kTwoPi * hz * t;
    const double tone = std::tanh(1.5 * (std::sin(phase) + 0.3 * std::sin(2 * phase)));
    out[static_cast<std::size_t>(i)] = attack(t, 0.005) * std::exp(-t / 0.5) * tone;
  }
  fadeOut(out, 0.05);
  return out;
}

// Taiko: a deep skin whose pitch drops just after the strike, plus a thud of
// low noise. `pitchHz` sets the drum size.
Signal taiko(double pitchHz, double decay, Noise& noise) {
  const int length = samplesFor(decay * 5.0);
  Signal out(static_cast<std::size_t>(length), 0.0);
  LowPass thud(400.0);
  double phase = 0;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    phase += kTwoPi * pitchHz * (1.0 + 1.2 * std::exp(-t / 0.025)) / kSampleRate;
    const double skin = std::sin(phase) * std::exp(-t / decay);
    const double body = 2.5 * thud.process(noise.next()) * std::exp(-t / 0.04);
    out[static_cast<std::size_t>(i)] = attack(t, 0.002) * (skin + body);
  }
  fadeOut(out, 0.05);
  return out;
}

// The rim click ("ka"): a very short, bright knock.
Signal rimClick(Noise& noise) {
  const int length = samplesFor(0.08);
  Signal out(static_cast<std::size_t>(length), 0.0);
  BandPass band;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double knock = 0.5 * std::sin(kTwoPi * 1100.0 * t) + band.process(noise.next(), 2600.0, 2.0);
    out[static_cast<std::size_t>(i)] = attack(t, 0.0008) * std::exp(-t / 0.012) * knock;
  }
  fadeOut(out, 0.01);
  return out;
}

// Feedback echo with a darkening filter, like a hall answering the strings.
void addEcho(Signal& signal, double delaySeconds, double feedback) {
  const std::size_t delay = static_cast<std::size_t>(samplesFor(delaySeconds));
  LowPass darken(2500.0);
  for (std::size_t i = delay; i < signal.size(); ++i) {
    signal[i] += feedback * darken.process(signal[i - delay]);
  }
}

}  // namespace

Signal makeMusic() {
  const int tailSamples = samplesFor(kTailSeconds);
  const std::size_t rendered = static_cast<std::size_t>(kLoopSamples + tailSamples);
  Noise noise(0x5eed0003u);

  Signal strings(rendered, 0.0);
  for (const Note& note : collectNotes(kMelody)) {
    mixInto(strings, koto(note.midi, stepsToSeconds(note.lengthSteps), noise), note.step * kStepSamples, 1.4);
  }
  for (const Note& note : collectNotes(kFlute)) {
    mixInto(strings, flute(note.midi, stepsToSeconds(note.lengthSteps), noise), note.step * kStepSamples,
            0.3);
  }
  addEcho(strings, stepsToSeconds(3), 0.3);

  Signal mix(rendered, 0.0);
  mixInto(mix, strings, 0, 1.0);
  // Bass: root held, then a pick-up on the octave and back to the root.
  for (int bar = 0; bar < kBars; ++bar) {
    const int start = bar * kStepsPerBar;
    const int root = kBassRoot[bar];
    mixInto(mix, bass(root, stepsToSeconds(5)), start * kStepSamples, 0.4);
    mixInto(mix, bass(root + 12, stepsToSeconds(2)), (start + 6) * kStepSamples, 0.3);
    mixInto(mix, bass(root, stepsToSeconds(5)), (start + 10) * kStepSamples, 0.35);
  }
  // Drums: the groove, with a roll every fourth bar leading into the next phrase.
  const Signal bigDrum = taiko(58.0, 0.3, noise);
  const Signal softDrum = taiko(70.0, 0.2, noise);
  const Signal smallDrum = taiko(190.0, 0.06, noise);
  const Signal click = rimClick(noise);
  for (int bar = 0; bar < kBars; ++bar) {
    const char* pattern = bar % 4 == 3 ? kFill : kGroove;
    for (int step = 0; step < kStepsPerBar; ++step) {
      const int at = (bar * kStepsPerBar + step) * kStepSamples;
      switch (pattern[step]) {
        case 'D': mixInto(mix, bigDrum, at, step == 0 ? 1.0 : 0.85); break;
        case 'd': mixInto(mix, softDrum, at, 0.55); break;
        case 'k': mixInto(mix, click, at, 0.35); break;
        case 's': mixInto(mix, smallDrum, at, 0.2); break;
        default: break;
      }
    }
  }

  // Fold the tail onto the start so the wrap carries on what was ringing.
  for (int i = 0; i < tailSamples; ++i) mix[static_cast<std::size_t>(i)] += mix[static_cast<std::size_t>(kLoopSamples + i)];
  mix.resize(static_cast<std::size_t>(kLoopSamples));
  normalisePeak(mix, kMusicPeak);
  return mix;
}

}  // namespace synth
