#pragma once
// The synthesizer's parts. A sound is a buffer of samples around [-1, 1] at the game's rate,
// built from oscillators, our own noise, filters and envelopes; nothing is recorded.

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace sound {

constexpr int sample_rate = 22050;
constexpr double pi = 3.14159265358979323846;

using Samples = std::vector<double>;

int samples_for(double seconds);
double time_of(int sample);

// White noise in [-1, 1) from a xorshift generator: the same seed gives the same sound on every
// run and every machine.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {}
  double next();
  // Uniform in [low, high), for the random choices of a sound (a voice's pitch, its onset).
  double between(double low, double high) { return low + (high - low) * (0.5 * next() + 0.5); }

 private:
  std::uint32_t state_;
};

// A two-pole filter (the audio cookbook's biquads): low-pass, high-pass or band-pass.
class Filter {
 public:
  static Filter low_pass(double cutoff_hz, double q = 0.7071);
  static Filter high_pass(double cutoff_hz, double q = 0.7071);
  static Filter band_pass(double centre_hz, double q);
  double next(double x);

 private:
  Filter(double b0, double b1, double b2, double a0, double a1, double a2);
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A phase that follows a frequency changing from sample to sample, so glides and vibrato never
// jump. The phase is counted in cycles.
class Phase {
 public:
  double advance(double hz);  // the phase of this sample, then one sample on
  double sine(double hz) { return std::sin(2 * pi * advance(hz)); }

 private:
  double cycles_ = 0;
};

// Envelopes over the time T from a sound's start, 0 before it.
// A strike: rises over ATTACK seconds, then falls by e every DECAY seconds.
double strike(double t, double attack, double decay);
// A held note: rises over ATTACK, holds until HOLD_END, falls smoothly to 0 over RELEASE.
double held(double t, double attack, double hold_end, double release);
// An exponential glide from FROM to TO hertz with time constant TAU.
double glide(double t, double from, double to, double tau);

// A bump around CENTRE hertz WIDTH wide: a vowel's or a horn bell's formant.
double formant(double hz, double centre, double width);

// The sum of a tone's harmonics at PHASE (cycles of the fundamental), the k-th weighted by
// weight(k, k * HZ). They fade out between 7 and 10 kHz, so a harmonic that crosses the top
// during a vibrato comes and goes without a click.
double top_taper(double hz);
template <typename Weight>
double harmonics(double phase, double hz, Weight weight) {
  double sum = 0;
  for (int k = 1; k * hz < 10000.0; ++k) sum += top_taper(k * hz) * weight(k, k * hz) * std::sin(2 * pi * k * phase);
  return sum;
}

// The layers of a sound are added into its buffer and end with it.
// Sines that ring from START seconds on, each falling by e every DECAY seconds: the modes of
// something struck.
struct Mode {
  double hz;
  double amplitude;
  double decay;
};
void add_modes(Samples& into, double start, std::initializer_list<Mode> modes);
// Noise through FILTER under a strike envelope from START: the body of every knock and slap.
void add_noise_strike(Samples& into, Noise& noise, Filter filter, double start, double attack, double decay,
                      double amplitude);
// A sine gliding from FROM to TO hertz (time constant TAU) under a strike envelope: the low
// thump of a blow.
void add_thump(Samples& into, double start, double from, double to, double tau, double decay, double amplitude);

}  // namespace sound
