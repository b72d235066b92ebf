#include "platform/web_pads.h"

#include <emscripten/html5.h>

#include <algorithm>

#include "platform/input_map.h"

namespace platform {

namespace {

// Which player a controller plays, decided here alone: each of them plays player one.
KeySet keys_of(const EmscriptenGamepadEvent& pad) {
  const double across = pad.numAxes > 0 ? pad.axis[0] : 0.0, down = pad.numAxes > 1 ? pad.axis[1] : 0.0;
  return standard_pad_keys(pad.digitalButton, std::min(pad.numButtons, 64), across, down);
}

}  // namespace

KeySet WebPads::look() {
  const bool sampled = emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS;
  const int count = sampled ? emscripten_get_num_gamepads() : 0;
  KeySet pressed;
  connected_ = 0;
  for (int index = 0; index < max_pads; ++index) {
    EmscriptenGamepadEvent pad;
    const bool there = index < count && emscripten_get_gamepad_status(index, &pad) == EMSCRIPTEN_RESULT_SUCCESS &&
                       pad.connected;
    const KeySet now = there ? keys_of(pad) : KeySet{};
    for (const int vk : game_keys) {
      if (now.count(vk) != 0 && held_[index].count(vk) == 0) pressed.insert(vk);
    }
    held_[index] = now;
    connected_ += there ? 1 : 0;
  }
  return pressed;
}

bool WebPads::holds(int vk) const {
  return std::any_of(held_.begin(), held_.end(), [vk](const KeySet& keys) { return keys.count(vk) != 0; });
}

}  // namespace platform
