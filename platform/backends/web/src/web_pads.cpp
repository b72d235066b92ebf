#include "platform/web_pads.h"

#include <emscripten/html5.h>

#include <algorithm>

#include "platform/input_map.h"

namespace platform {

KeySet WebPads::look(int players) {
  const bool sampled = emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS;
  const int slots = sampled ? std::min(emscripten_get_num_gamepads(), max_pads) : 0;
  std::array<EmscriptenGamepadEvent, max_pads> pads;
  std::array<bool, max_pads> there{};
  connected_ = 0;
  for (int index = 0; index < slots; ++index) {
    there[index] = emscripten_get_gamepad_status(index, &pads[index]) == EMSCRIPTEN_RESULT_SUCCESS &&
                   pads[index].connected;
    connected_ += there[index] ? 1 : 0;
  }
  // Which player each controller plays is the input mapping's decision, by its place among those
  // plugged in, as on the desktop.
  KeySet pressed;
  for (int index = 0, number = 0; index < max_pads; ++index) {
    KeySet now;
    if (there[index]) {
      const EmscriptenGamepadEvent& pad = pads[index];
      const double across = pad.numAxes > 0 ? pad.axis[0] : 0.0, down = pad.numAxes > 1 ? pad.axis[1] : 0.0;
      // The buttons are EM_BOOLs: ints in older Emscripten, bools in newer ones.
      std::array<int, 64> buttons{};
      const int button_count = std::clamp(pad.numButtons, 0, 64);
      std::copy_n(pad.digitalButton, button_count, buttons.begin());
      now = standard_pad_keys(buttons.data(), button_count, across, down, pad_player(number++, connected_, players));
    }
    for (const int vk : game_keys) {
      if (now.count(vk) != 0 && held_[index].count(vk) == 0) pressed.insert(vk);
    }
    held_[index] = now;
  }
  return pressed;
}

bool WebPads::holds(int vk) const {
  return std::any_of(held_.begin(), held_.end(), [vk](const KeySet& keys) { return keys.count(vk) != 0; });
}

}  // namespace platform
