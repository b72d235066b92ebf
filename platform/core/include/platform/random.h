#pragma once
// The game's own random generator, as a value: whoever holds one holds its whole sequence, so a
// copy goes on exactly as the original does.

#include <cstdint>

namespace platform {

// state = state * 214013 + 2531011, value (state >> 16) & 0x7FFF; the state starts at 1.
struct Random {
  std::uint32_t state = 1;

  // The next value, 0 to 32767.
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
  bool operator==(const Random&) const = default;
};

}  // namespace platform
