#pragma once
// The keys of the game as a backend with a keyboard reports them: what the game reads stays the
// same between two pumps of the events, and a key pressed and released again between two pumps
// still counts as held until the next pump, so that a quick tap is never lost between frames.

#include "platform/keys.h"

namespace platform {

class KeyLatch {
 public:
  // A key went down: it counts as held at the next pump, even when let go before it. Keys the
  // game does not read are ignored.
  void tap(int vk) { tapped_.insert(vk); }
  // A key went down and stays down until it comes up, for a backend that follows the keys
  // through their events alone.
  void press(int vk) {
    down_.insert(vk);
    tapped_.insert(vk);
  }
  void release(int vk) { down_.erase(vk); }
  // Every key goes up, as when the window loses the keyboard.
  void release_all() { down_ = {}; }
  // Forgets the keys pressed since the last pump (a message box took them).
  void forget_presses() { tapped_ = {}; }
  // The key answered a message box: the game does not see it until a pump finds it let go
  // (from every source the backend reads), so it is neither a tap nor held for the game.
  void mask_until_released(int vk) {
    masked_.insert(vk);
    held_.erase(vk);
  }
  // Takes the keys the game reads until the next pump: those down now or that `also_held(vk)`
  // finds held (a backend's own view of its keyboard and controllers), and those pressed since
  // the last pump.
  template <class AlsoHeld>
  void pump(AlsoHeld also_held) {
    held_ = {};
    for (const int vk : game_keys) {
      const bool down = down_.count(vk) != 0 || also_held(vk);
      if (!down) masked_.erase(vk);
      if (masked_.count(vk) == 0 && (down || tapped_.count(vk) != 0)) held_.insert(vk);
    }
    tapped_ = {};
  }
  void pump() {
    pump([](int) { return false; });
  }
  bool held(int vk) const { return held_.count(vk) != 0; }

 private:
  KeySet down_;
  KeySet tapped_;
  KeySet held_;
  KeySet masked_;
};

}  // namespace platform
