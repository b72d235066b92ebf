#pragma once
// The last stage of every effect: all of them equally loud, no peak above the ceiling, soft
// edges, 16-bit samples.

#include <cstdint>
#include <vector>

#include "synth.h"

namespace sound {

// Brings SIGNAL to the common loudness plus TRIM_DB, limits and fades it, and rounds it to
// 16 bits.
std::vector<std::int16_t> finish(Samples signal, double trim_db);

}  // namespace sound
