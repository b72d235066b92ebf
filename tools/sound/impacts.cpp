// The blows: each is a noise burst for the contact, a falling low sine for the weight behind it
// and a few ringing modes for the thing that was hit. Every sound starts 4 ms in, so the fade
// at the file's start never blunts the blow.

#include <cmath>

#include "effects.h"

namespace sound {
namespace {

constexpr double onset = 0.004;

// Plexiglass shaking in its frame after a hit on the boards: band-passed noise that flutters.
void add_glass_rattle(Samples& into, Noise& noise, double start, double amplitude) {
  Filter band = Filter::band_pass(1700, 2.0);
  for (int i = samples_for(start); i < static_cast<int>(into.size()); ++i) {
    const double t = time_of(i) - start;
    const double flutter = 0.55 + 0.45 * std::sin(2 * pi * 37 * t);
    into[i] += amplitude * strike(t, 0.006, 0.05) * flutter * band.next(noise.next());
  }
}

}  // namespace

Samples shot() {
  Samples out(samples_for(0.28));
  Noise noise(0x5107u);
  add_noise_strike(out, noise, Filter::band_pass(2600, 0.8), onset, 0.0004, 0.012, 2.5);  // the slap
  add_noise_strike(out, noise, Filter::high_pass(4500), onset, 0.0002, 0.004, 1.0);       // the click
  add_thump(out, onset, 320, 220, 0.02, 0.028, 0.3);                                      // the blade's wood
  add_modes(out, onset, {{640, 0.18, 0.024}, {1150, 0.11, 0.016}});                        // the shaft flexing
  add_noise_strike(out, noise, Filter::band_pass(5200, 1.4), onset + 0.02, 0.02, 0.07, 0.06);  // the puck on ice
  return out;
}

Samples boards() {
  Samples out(samples_for(0.42));
  Noise noise(0xB0A2u);
  add_noise_strike(out, noise, Filter::band_pass(600, 0.7), onset, 0.001, 0.015, 2.5);
  add_thump(out, onset, 110, 70, 0.05, 0.06, 0.4);
  add_modes(out, onset, {{210, 0.6, 0.06}, {330, 0.5, 0.045}, {480, 0.35, 0.03}, {720, 0.2, 0.02}});  // the hollow box behind them
  add_glass_rattle(out, noise, onset + 0.004, 0.3);
  return out;
}

// A steel pipe: inharmonic modes, the higher ones fading faster; twin modes a few hertz apart
// beat like a real post.
Samples post() {
  Samples out(samples_for(0.75));
  Noise noise(0x9057u);
  add_noise_strike(out, noise, Filter::high_pass(2200), onset, 0.0002, 0.005, 0.6);
  add_thump(out, onset, 210, 170, 0.01, 0.025, 0.3);
  add_modes(out, onset,
            {{640, 1.0, 0.14}, {646, 0.6, 0.13}, {1508, 0.7, 0.1}, {1516, 0.35, 0.09}, {2390, 0.5, 0.07},
             {3540, 0.35, 0.045}, {4870, 0.2, 0.03}});
  return out;
}

// Foam and leather: a dull thump with little ring, then the puck dropping to the ice.
Samples save() {
  Samples out(samples_for(0.32));
  Noise noise(0x5AFEu);
  add_noise_strike(out, noise, Filter::low_pass(900, 0.9), onset, 0.002, 0.03, 2.0);
  add_thump(out, onset, 115, 80, 0.03, 0.045, 0.5);
  add_modes(out, onset, {{250, 0.3, 0.025}});
  add_noise_strike(out, noise, Filter::band_pass(1200, 1.0), onset, 0.0005, 0.008, 1.6);
  add_noise_strike(out, noise, Filter::band_pass(2800, 2.0), onset + 0.12, 0.0005, 0.006, 0.3);
  return out;
}

// A body into the boards: a heavy thump, the crunch of pads and sticks (noise chopped by a
// jagged, randomly wandering gate, then driven into soft saturation) and the glass rattling.
Samples check() {
  Samples out(samples_for(0.45));
  Noise noise(0xC4ECu);
  add_thump(out, onset, 78, 48, 0.05, 0.09, 1.0);
  add_noise_strike(out, noise, Filter::low_pass(700), onset, 0.002, 0.03, 0.8);
  Filter grit = Filter::band_pass(1400, 0.7);
  Filter gate = Filter::low_pass(140);
  for (int i = samples_for(onset); i < static_cast<int>(out.size()); ++i) {
    const double t = time_of(i) - onset;
    const double jag = gate.next(noise.next());
    const double crunch = 0.8 * strike(t, 0.003, 0.06) * 500 * jag * jag * grit.next(noise.next());
    out[i] += std::tanh(2.0 * crunch) / std::tanh(2.0);
  }
  add_glass_rattle(out, noise, onset + 0.006, 0.5);
  return out;
}

}  // namespace sound
