#pragma once
// Both players' keys of an online match, pass by pass, as the relay passes them on: to a
// spectator, and to a player who comes back and steps the match again up to where it left.

#include <array>
#include <cstdint>
#include <vector>

#include "net/protocol.h"
#include "sim/match.h"

class PassHistory {
 public:
  PassHistory();
  // Keeps the keys of a `keys` message; false when they are not the next passes of a player's seat.
  bool take(const net::RelayMessage& message);
  // The passes of SEAT (1 or 2) kept.
  std::uint32_t passes(int seat) const { return static_cast<std::uint32_t>(keys_[seat - 1].size()); }
  // The passes with both players' keys.
  std::uint32_t both() const { return std::min(passes(1), passes(2)); }
  platform::KeySet keys(int seat, std::uint32_t frame) const {
    return platform::KeySet::from_bits(keys_[seat - 1][frame]);
  }
  PassKeys keys_of(std::uint32_t frame) const { return {keys(1, frame), keys(2, frame)}; }

 private:
  std::array<std::vector<std::uint16_t>, 2> keys_;
};
