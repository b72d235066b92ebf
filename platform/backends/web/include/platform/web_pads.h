#pragma once
// The game controllers the page's Gamepad API reports, read through the desktop's input mapping
// (input_map.h) in the standard layout, which browsers number alike for every controller they
// know.

#include <array>

#include "platform/keys.h"

namespace platform {

class WebPads {
 public:
  // Looks at every controller now, in a game of `players`; the game keys that went down since the
  // last look. A controller that went away holds nothing.
  KeySet look(int players);
  bool holds(int vk) const;
  // Whether the last look found a controller.
  bool any() const { return connected_ > 0; }

 private:
  static constexpr int max_pads = 4;

  std::array<KeySet, max_pads> held_{};
  int connected_ = 0;
};

}  // namespace platform
