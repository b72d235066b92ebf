// The game's own random generator: one sequence for the whole program.

#include "objects.h"
#include "platform/system.h"

namespace platform {

std::uint32_t random_state = random_seed;

int random_next() {
  random_state = random_state * 214013u + 2531011u;
  return static_cast<int>((random_state >> 16) & 0x7FFF);
}

}  // namespace platform
