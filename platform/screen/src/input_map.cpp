#include "platform/input_map.h"

#include "platform/sound_output.h"
#include "platform/window_events.h"

namespace platform {

namespace {

char lower_case(char letter) { return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter; }

}  // namespace

std::span<const PlacedKey> placed_keys(int players) {
  if (players == 2) return two_player_keys;
  return one_player_keys;
}

int placed_key(int usb_usage, int players) {
  for (const PlacedKey& key : placed_keys(players)) {
    if (key.usb_usage == usb_usage) return key.vk;
  }
  return 0;
}

int lettered_key(char letter) {
  for (const LetteredKey& key : lettered_keys) {
    if (key.letter == lower_case(letter)) return key.vk;
  }
  return 0;
}

bool follow_control_key(char letter) {
  switch (lower_case(letter)) {
    case 'm':
      sound_output().set_muted(!sound_output().muted());
      return true;
    case 'p':
      report_pause_key();
      return true;
    default:
      return false;
  }
}

int pad_button_keys(PadButton button, int (&vks)[2]) {
  switch (button) {
    case PadButton::dpad_left: vks[0] = vk_left; return 1;
    case PadButton::dpad_right: vks[0] = vk_right; return 1;
    case PadButton::dpad_up: vks[0] = vk_up; return 1;
    case PadButton::dpad_down: vks[0] = vk_down; return 1;
    case PadButton::south: vks[0] = vk_space; return 1;
    case PadButton::east: vks[0] = vk_return; return 1;
    case PadButton::back: vks[0] = vk_escape; return 1;
    case PadButton::start: vks[0] = vk_d, vks[1] = vk_n; return 2;
    default: return 0;
  }
}

int pad_player(int number, int count, int players) {
  return players == 2 && (count == 1 || number == 1) ? 2 : 1;
}

int pad_key(int vk, int player) {
  if (player != 2) return vk;
  switch (vk) {
    case vk_left: return vk_p2_left;
    case vk_right: return vk_p2_right;
    case vk_up: return vk_p2_up;
    case vk_down: return vk_p2_down;
    case vk_space: return vk_p2_shoot;
    case vk_return: return vk_p2_check;
    default: return vk;
  }
}

int stick_arrow(double position, int lower, int upper) {
  if (position < -stick_dead_zone) return lower;
  return position > stick_dead_zone ? upper : 0;
}

KeySet standard_pad_keys(const int* pressed, int button_count, double stick_x, double stick_y, int player) {
  KeySet held{pad_key(stick_arrow(stick_x, vk_left, vk_right), player),
              pad_key(stick_arrow(stick_y, vk_up, vk_down), player)};
  for (int button = 0; button < button_count; ++button) {
    int vks[2] = {};
    const int count = pressed[button] != 0 ? pad_button_keys(static_cast<PadButton>(button), vks) : 0;
    for (int i = 0; i < count; ++i) held.insert(pad_key(vks[i], player));
  }
  return held;
}

}  // namespace platform
