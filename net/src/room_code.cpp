// Room codes from the system's secure random source.

#include <random>

#include "net/protocol.h"

namespace net {

RoomCode new_room_code() {
  // std::random_device reads the kernel's generator (getrandom) on Linux. A byte is used only
  // below the largest multiple of the alphabet's size, so every symbol is equally likely.
  static std::random_device source;
  constexpr unsigned symbols = room_code_alphabet.size();
  constexpr unsigned usable = 256 / symbols * symbols;
  RoomCode code{};
  std::size_t filled = 0;
  while (filled < code.size()) {
    unsigned word = source();
    for (int byte = 0; byte < 4 && filled < code.size(); ++byte, word >>= 8) {
      if ((word & 0xFF) < usable) code[filled++] = room_code_alphabet[(word & 0xFF) % symbols];
    }
  }
  return code;
}

bool is_room_code(std::string_view text) {
  if (text.size() != room_code_length) return false;
  for (const char c : text) {
    if (room_code_alphabet.find(c) == std::string_view::npos) return false;
  }
  return true;
}

}  // namespace net
