#pragma once
// Writes the game's sound files: RIFF/WAVE, 16-bit PCM, one channel, 22,050 samples a second.

#include <cstdint>
#include <vector>

namespace sound {

// False when the file cannot be written.
bool write_wav(const char* path, const std::vector<std::int16_t>& samples);

}  // namespace sound
