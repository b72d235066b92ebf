// The signals and the music: tones built from their harmonics, so nothing aliases, each shaped
// by a formant (a horn's bell, a voice's vowel, a trombone's mute).

#include <algorithm>
#include <array>
#include <cmath>

#include "effects.h"

namespace sound {
namespace {

constexpr double onset = 0.004;

// A tone that follows a pitch curve under an envelope, both functions of the time from START; the
// weight of each harmonic may change with time too.
template <typename Pitch, typename Envelope, typename Weight>
void add_tone(Samples& into, double start, Pitch pitch, Envelope envelope, Weight weight) {
  Phase phase;
  for (int i = std::max(0, samples_for(start)); i < static_cast<int>(into.size()); ++i) {
    const double t = time_of(i) - start;
    const double hz = pitch(t);
    into[i] += envelope(t) * harmonics(phase.advance(hz), hz, [&](int k, double f) { return weight(t, k, f); });
  }
}

double vibrato(double t, double rate, double depth) { return 1.0 + depth * std::sin(2 * pi * rate * t); }

// An air horn: the pitch rises into place as the air comes, the bell lifts the harmonics
// around 850 Hz and 2.2 kHz.
void add_horn(Samples& into, double hz, double hold_end, double amplitude) {
  add_tone(
      into, onset, [hz](double t) { return glide(t, 0.94 * hz, hz, 0.04) * vibrato(t, 5.5, 0.0025); },
      [=](double t) { return amplitude * held(t, 0.06, hold_end, 0.25); },
      [](double, int k, double f) {
        return std::pow(k, -0.7) * (0.35 + formant(f, 850, 500) + 0.5 * formant(f, 2200, 700)) * formant(f, 0, 4000);
      });
}

// A crowd: bands of noise that each swell and ebb at their own slow pace, with single voices
// rising out of it ("woo!") on vowels of their own, all heard from across the arena (no hiss
// above 3 kHz).
void add_crowd(Samples& into, Noise& noise, double start, double hold_end, double amplitude) {
  const double release = time_of(static_cast<int>(into.size())) - hold_end;
  constexpr std::array<double, 6> centres{300, 520, 850, 1300, 2100, 3200};
  constexpr std::array<double, 6> levels{0.5, 0.8, 1.0, 0.8, 0.5, 0.2};
  Samples crowd(into.size());
  for (std::size_t b = 0; b < centres.size(); ++b) {
    Filter band = Filter::band_pass(centres[b], 1.2);
    Filter ebb = Filter::low_pass(3.0);
    for (int i = samples_for(start); i < static_cast<int>(into.size()); ++i) {
      const double swell = std::max(0.2, 1.0 + 40.0 * ebb.next(noise.next()));
      const double envelope = held(time_of(i) - start, 0.35, hold_end - start, release);
      crowd[i] += amplitude * levels[b] * envelope * swell * band.next(noise.next());
    }
  }
  for (int v = 0; v < 14; ++v) {
    const double hz = noise.between(240, 520);
    const double first = noise.between(500, 800);
    const double second = noise.between(1000, 1300);
    const double begin = start + noise.between(0.05, 0.5);
    const double length = noise.between(0.6, 1.3);
    const double rate = noise.between(5, 7);
    add_tone(
        crowd, begin, [=](double t) { return glide(t, 0.85 * hz, hz, 0.08) * vibrato(t, rate, 0.015); },
        [=](double t) { return 0.3 * amplitude * held(t, 0.08, length, 0.25); },
        [=](double, int k, double f) { return (formant(f, first, 150) + 0.6 * formant(f, second, 200)) / k; });
  }
  Filter far = Filter::low_pass(3000);
  Filter farther = Filter::low_pass(3000);
  for (std::size_t i = 0; i < into.size(); ++i) into[i] += farther.next(far.next(crowd[i]));
}

// A theatre organ voice: drawbars at the 8', 4', 2 2/3', 2', 1 3/5' and 1' pitches, with a
// little vibrato.
double organ(double, int k, double) {
  switch (k) {
    case 1: return 1.0;
    case 2: return 0.7;
    case 3: return 0.45;
    case 4: return 0.35;
    case 5: return 0.12;
    case 6: return 0.2;
    case 8: return 0.15;
    default: return 0.0;
  }
}

void add_organ_note(Samples& into, double start, double hz, double hold, double release, double amplitude) {
  add_tone(
      into, start, [hz](double t) { return hz * vibrato(t, 6.5, 0.003); },
      [=](double t) { return amplitude * held(t, 0.008, hold, release); }, organ);
}

// One note of a muted trombone: the mute opens ("wah") as the note starts and closes again.
void add_wah(Samples& into, double start, double hz, double hold, double sag) {
  add_tone(
      into, start,
      [=](double t) {
        const double droop = 1.0 - sag * std::max(0.0, t - 0.25);
        return hz * droop * vibrato(t, 5.0, std::min(0.02, 0.04 * std::max(0.0, t - 0.12)));
      },
      [=](double t) { return held(t, 0.03, hold, 0.05); },
      [](double t, int k, double f) {
        const double open = 0.2 + 0.8 * strike(t, 0.06, 0.15);
        return (0.08 + formant(f, 450 + 900 * open, 350)) / k;
      });
}

}  // namespace

Samples goal() {
  Samples out(samples_for(2.4));
  Noise noise(0x6041u);
  add_horn(out, 147, 1.45, 1.0);
  add_horn(out, 185, 1.45, 0.8);
  add_crowd(out, noise, onset + 0.03, 1.75, 1.6);
  return out;
}

// A pea whistle: the pea rattling in the chamber shakes the pitch and the loudness some 34 times
// a second, over the breath's hiss.
Samples whistle() {
  Samples out(samples_for(0.6));
  Noise noise(0x7157u);
  constexpr double hz = 2950;
  Phase phase;
  Filter breath = Filter::band_pass(hz, 5.0);
  Filter hiss = Filter::high_pass(6000);
  for (int i = samples_for(onset); i < static_cast<int>(out.size()); ++i) {
    const double t = time_of(i) - onset;
    const double trill = std::sin(2 * pi * 34 * t + 0.8 * std::sin(2 * pi * 3.1 * t));
    const double f = glide(t, 0.9 * hz, hz, 0.015) * (1.0 + 0.03 * trill);
    const double p = phase.advance(f);
    const double tone = std::sin(2 * pi * p) + 0.1 * std::sin(4 * pi * p) + 0.03 * std::sin(6 * pi * p);
    const double air = 0.25 * breath.next(noise.next()) + 0.05 * hiss.next(noise.next());
    out[i] += held(t, 0.02, 0.5, 0.06) * ((1.0 - 0.3 * (0.5 + 0.5 * trill)) * tone + air);
  }
  return out;
}

// The arena organ's fanfare: G, C, E, G climbing, then the C major chord held.
Samples win() {
  Samples out(samples_for(1.12));
  constexpr std::array<double, 4> climb{392.0, 523.25, 659.26, 783.99};
  for (std::size_t n = 0; n < climb.size(); ++n) add_organ_note(out, onset + 0.11 * n, climb[n], 0.1, 0.03, 1.0);
  for (const double hz : {523.25, 659.26, 783.99, 1046.5}) add_organ_note(out, onset + 0.44, hz, 0.5, 0.15, 0.6);
  return out;
}

// Wah, wah, wah, waaah: three falling semitones and a long sagging note with a wide vibrato.
Samples lose() {
  Samples out(samples_for(1.36));
  constexpr std::array<double, 3> steps{196.0, 185.0, 174.61};
  for (std::size_t n = 0; n < steps.size(); ++n) add_wah(out, onset + 0.24 * n, steps[n], 0.19, 0.0);
  add_wah(out, onset + 0.72, 164.81, 0.55, 0.06);
  return out;
}

}  // namespace sound
