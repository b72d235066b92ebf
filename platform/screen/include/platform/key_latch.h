#pragma once
// The keys of the game as a backend with a keyboard reports them: what the game reads stays the
// same between two pumps of the events, and a key pressed and released again between two pumps
// still counts as held until the next pump, so that a quick tap is never lost between frames.

#include <array>

#include "platform/keys.h"

namespace platform {

class KeyLatch {
 public:
  // A key went down: it counts as held at the next pump, even when let go before it. Keys the
  // game does not read are ignored.
  void tap(int vk);
  // A key went down and stays down until it comes up, for a backend that follows the keys
  // through their events alone.
  void press(int vk);
  void release(int vk);
  // Every key goes up, as when the window loses the keyboard.
  void release_all();
  // Forgets the keys pressed since the last pump (a message box took them).
  void forget_presses() { tapped_.fill(false); }
  // The key answered a message box: the game does not see it until a pump finds it let go
  // (from every source the backend reads), so it is neither a tap nor held for the game.
  void mask_until_released(int vk);
  // Takes the keys the game reads until the next pump: those down now or that `also_held(vk)`
  // finds held (a backend's own view of its keyboard and controllers), and those pressed since
  // the last pump.
  template <class AlsoHeld>
  void pump(AlsoHeld also_held) {
    for (int i = 0; i < game_key_count; ++i) {
      const bool down = down_[i] || also_held(game_keys[i]);
      masked_[i] = masked_[i] && down;
      held_[i] = !masked_[i] && (down || tapped_[i]);
    }
    tapped_.fill(false);
  }
  void pump() {
    pump([](int) { return false; });
  }
  bool held(int vk) const;

 private:
  std::array<bool, game_key_count> down_{};
  std::array<bool, game_key_count> tapped_{};
  std::array<bool, game_key_count> held_{};
  std::array<bool, game_key_count> masked_{};
};

}  // namespace platform
