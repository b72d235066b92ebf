#pragma once
// The last stage of every effect: all of them equally loud, no peak above the ceiling, soft
// edges, 16-bit samples.

#include <cstdint>
#include <vector>

#include "synth.h"

namespace sound {

// Loudness: the RMS of the loudest 100 ms of a sound (an impact is judged by its blow, not by
// its silent tail). Every effect is brought to the same value.
constexpr double loudness_window_seconds = 0.1;
constexpr double target_loudness_db = -14.0;
// Peaks stay below -1 dBFS with room for rounding.
constexpr double ceiling_db = -1.3;
constexpr double fade_in_seconds = 0.003;
constexpr double fade_out_seconds = 0.02;

double loudest_window_rms(const Samples& signal);

// Brings SIGNAL to the common loudness plus TRIM_DB, limits and fades it, and rounds it to
// 16 bits.
std::vector<std::int16_t> finish(Samples signal, double trim_db);

}  // namespace sound
