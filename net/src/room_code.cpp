// Room codes from the system's secure random source.

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include "net/protocol.h"

namespace net {

RoomCode new_room_code(std::string_view start) {
  // std::random_device reads the kernel's generator (getrandom) on Linux. A byte is used only
  // below the largest multiple of the alphabet's size, so every symbol is equally likely.
  static std::random_device source;
  constexpr unsigned symbols = room_code_alphabet.size();
  constexpr unsigned usable = 256 / symbols * symbols;
  RoomCode code{};
  std::size_t filled = std::min(start.size(), code.size() - 1);
  std::copy_n(start.begin(), filled, code.begin());
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

bool read_room_code(std::string& text, std::string& why) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (is_room_code(text)) return true;
  why = "'" + text + "' is not a room code: a code has " + std::to_string(room_code_length) + " of the letters and digits " +
        std::string(room_code_alphabet);
  return false;
}

std::string room_address(const std::string& address, std::string_view code) {
  return address + (address.find('?') == std::string::npos ? "?room=" : "&room=") + std::string(code);
}

}  // namespace net
