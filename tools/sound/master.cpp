#include "master.h"

#include <algorithm>
#include <cmath>

namespace sound {
namespace {

// Loudness: the RMS of the loudest 100 ms of a sound (an impact is judged by its blow, not by
// its silent tail). Every effect is brought to the same value.
constexpr double loudness_window_seconds = 0.1;
constexpr double target_loudness_db = -14.0;
// Peaks stay below -1 dBFS with room for rounding.
constexpr double ceiling_db = -1.3;
constexpr double fade_in_seconds = 0.003;
constexpr double fade_out_seconds = 0.02;

double from_db(double db) { return std::pow(10.0, db / 20.0); }

// A look-ahead limiter: the gain at each sample is the mean of the gains each neighbour needs
// within ±1.5 ms, each of those the least gain its own neighbourhood needs, so the mean never
// exceeds what the sample itself needs and the gain never jumps. It lets go over some 30 ms, so
// a blow's tail is not pulled up.
void limit(Samples& signal, double ceiling) {
  const int n = static_cast<int>(signal.size());
  const int reach = samples_for(0.0015);
  std::vector<double> needed(signal.size());
  for (int i = 0; i < n; ++i) needed[i] = std::min(1.0, ceiling / std::max(std::abs(signal[i]), 1e-9));
  std::vector<double> least(signal.size());
  for (int i = 0; i < n; ++i) {
    const auto from = needed.begin() + std::max(0, i - reach);
    const auto to = needed.begin() + std::min(n, i + reach + 1);
    least[i] = *std::min_element(from, to);
  }
  const double release = 1.0 - std::exp(-1.0 / (0.03 * sample_rate));
  double gain = 1.0;
  for (int i = 0; i < n; ++i) {
    double sum = 0;
    for (int k = std::max(0, i - reach); k < std::min(n, i + reach + 1); ++k) sum += least[k];
    const double smooth = sum / (std::min(n, i + reach + 1) - std::max(0, i - reach));
    gain = std::min(smooth, gain + (1.0 - gain) * release);
    signal[i] *= gain;
  }
}

// Silence at both ends: a straight ramp over the first 3 ms, a raised cosine over the last 20.
void fade_edges(Samples& signal) {
  const int n = static_cast<int>(signal.size());
  const int in = std::min(n, samples_for(fade_in_seconds));
  for (int i = 0; i < in; ++i) signal[i] *= static_cast<double>(i) / in;
  const int out = std::min(n, samples_for(fade_out_seconds));
  for (int j = 0; j < out; ++j) signal[n - 1 - j] *= 0.5 - 0.5 * std::cos(pi * j / out);
}

double loudest_window_rms(const Samples& signal) {
  const std::size_t window = std::min(signal.size(), static_cast<std::size_t>(samples_for(loudness_window_seconds)));
  if (window == 0) return 0;
  double sum = 0;
  for (std::size_t i = 0; i < window; ++i) sum += signal[i] * signal[i];
  double loudest = sum;
  for (std::size_t i = window; i < signal.size(); ++i) {
    sum += signal[i] * signal[i] - signal[i - window] * signal[i - window];
    loudest = std::max(loudest, sum);
  }
  return std::sqrt(std::max(loudest, 0.0) / window);
}

}  // namespace

// A sharp blow has far higher peaks than its loudness: it takes a few rounds of raising it and
// limiting its peaks to come close to the common loudness.
std::vector<std::int16_t> finish(Samples signal, double trim_db) {
  const double target = from_db(target_loudness_db + trim_db);
  for (int round = 0; round < 4; ++round) {
    const double rms = loudest_window_rms(signal);
    if (rms <= 0 || (round > 0 && rms > target * from_db(-0.5))) break;
    for (double& s : signal) s *= target / rms;
    limit(signal, from_db(ceiling_db));
  }
  fade_edges(signal);
  std::vector<std::int16_t> pcm(signal.size());
  std::transform(signal.begin(), signal.end(), pcm.begin(), [](double s) {
    return static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0, 1.0) * 32767.0));
  });
  return pcm;
}

}  // namespace sound
