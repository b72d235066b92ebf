#include "synth.h"

#include <algorithm>

namespace sound {

int samples_for(double seconds) { return static_cast<int>(std::lround(seconds * sample_rate)); }

double time_of(int sample) { return static_cast<double>(sample) / sample_rate; }

double Noise::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

Filter::Filter(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

namespace {

struct Angle {
  double cos;
  double alpha;
};

Angle angle_of(double hz, double q) {
  const double w = 2 * pi * std::min(hz, 0.45 * sample_rate) / sample_rate;
  return {std::cos(w), std::sin(w) / (2 * q)};
}

}  // namespace

Filter Filter::low_pass(double cutoff_hz, double q) {
  const Angle a = angle_of(cutoff_hz, q);
  return Filter((1 - a.cos) / 2, 1 - a.cos, (1 - a.cos) / 2, 1 + a.alpha, -2 * a.cos, 1 - a.alpha);
}

Filter Filter::high_pass(double cutoff_hz, double q) {
  const Angle a = angle_of(cutoff_hz, q);
  return Filter((1 + a.cos) / 2, -(1 + a.cos), (1 + a.cos) / 2, 1 + a.alpha, -2 * a.cos, 1 - a.alpha);
}

// Unity gain at the centre.
Filter Filter::band_pass(double centre_hz, double q) {
  const Angle a = angle_of(centre_hz, q);
  return Filter(a.alpha, 0, -a.alpha, 1 + a.alpha, -2 * a.cos, 1 - a.alpha);
}

double Filter::next(double x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

double Phase::advance(double hz) {
  const double now = cycles_;
  cycles_ += hz / sample_rate;
  cycles_ -= std::floor(cycles_);
  return now;
}

double strike(double t, double attack, double decay) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

double held(double t, double attack, double hold_end, double release) {
  if (t < 0 || t > hold_end + release) return 0;
  if (t < attack) return 0.5 - 0.5 * std::cos(pi * t / attack);
  if (t <= hold_end) return 1;
  return 0.5 + 0.5 * std::cos(pi * (t - hold_end) / release);
}

double glide(double t, double from, double to, double tau) { return to + (from - to) * std::exp(-t / tau); }

double top_taper(double hz) {
  if (hz <= 7000) return 1;
  if (hz >= 10000) return 0;
  const double c = std::cos(0.5 * pi * (hz - 7000) / 3000);
  return c * c;
}

double formant(double hz, double centre, double width) {
  const double x = (hz - centre) / width;
  return std::exp(-x * x);
}

namespace {

// Sample indices from START seconds to where a strike of DECAY has died away (below -80 dB)
// or the buffer ends.
struct Span {
  int first;
  int end;
};

Span strike_span(const Samples& into, double start, double attack, double decay) {
  const int first = std::max(0, samples_for(start));
  const int end = std::min(static_cast<int>(into.size()), samples_for(start + attack + 9.3 * decay));
  return {first, end};
}

}  // namespace

void add_modes(Samples& into, double start, std::initializer_list<Mode> modes) {
  for (const Mode& mode : modes) {
    const Span span = strike_span(into, start, 0.0005, mode.decay);
    Phase phase;
    for (int i = span.first; i < span.end; ++i) {
      into[i] += mode.amplitude * strike(time_of(i) - start, 0.0005, mode.decay) * phase.sine(mode.hz);
    }
  }
}

void add_noise_strike(Samples& into, Noise& noise, Filter filter, double start, double attack, double decay,
                      double amplitude) {
  const Span span = strike_span(into, start, attack, decay);
  for (int i = span.first; i < span.end; ++i) {
    into[i] += amplitude * strike(time_of(i) - start, attack, decay) * filter.next(noise.next());
  }
}

void add_thump(Samples& into, double start, double from, double to, double tau, double decay, double amplitude) {
  const Span span = strike_span(into, start, 0.001, decay);
  Phase phase;
  for (int i = span.first; i < span.end; ++i) {
    const double t = time_of(i) - start;
    into[i] += amplitude * strike(t, 0.001, decay) * phase.sine(glide(t, from, to, tau));
  }
}

}  // namespace sound
