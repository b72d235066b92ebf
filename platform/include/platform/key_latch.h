#pragma once
// The keys of the game as a backend with a keyboard reports them: what the game reads stays the
// same between two pumps of the events, and a key pressed and released again between two pumps
// still counts as held until the next pump, so that a quick tap is never lost between frames.

#include <array>

#include "platform/keys.h"

namespace platform {

class KeyLatch {
 public:
  // Events as they come; keys the game does not read are ignored.
  void press(int vk);
  void release(int vk);
  // Every key goes up, as when the window loses the keyboard.
  void release_all();
  // Takes the keys the game reads until the next pump.
  void pump();
  bool held(int vk) const;

 private:
  static int slot(int vk);

  std::array<bool, script_key_count> down_{};
  std::array<bool, script_key_count> tapped_{};
  std::array<bool, script_key_count> held_{};
};

}  // namespace platform
