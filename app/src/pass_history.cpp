#include "pass_history.h"

namespace {
// Room for the keys of an hour of play, had before the first pass.
constexpr std::size_t reserved_passes = 36000;
}  // namespace

PassHistory::PassHistory() {
  for (std::vector<std::uint16_t>& seat : keys_) seat.reserve(reserved_passes);
}

bool PassHistory::take(const net::RelayMessage& message) {
  if (message.seat == net::Seat::spectator) return false;
  std::vector<std::uint16_t>& seat = keys_[static_cast<std::size_t>(message.seat) - 1];
  if (message.frame != seat.size()) return false;
  seat.insert(seat.end(), message.bits.begin(), message.bits.begin() + static_cast<std::ptrdiff_t>(message.key_count));
  return true;
}
