#pragma once
// The platform's virtual-key codes for the keys the game reads (letters by their upper-case
// code), and the game's keys in one fixed order: their slots.

namespace platform {

constexpr int vk_return = 0x0D;
constexpr int vk_escape = 0x1B;
constexpr int vk_space = 0x20;
constexpr int vk_left = 0x25;
constexpr int vk_up = 0x26;
constexpr int vk_right = 0x27;
constexpr int vk_down = 0x28;
constexpr int vk_d = 0x44;
constexpr int vk_n = 0x4E;

// The keys the game reads, by slot: the order in which a key script lists them.
constexpr int game_keys[] = {vk_left, vk_right, vk_up, vk_down, vk_space, vk_return, vk_escape, vk_d, vk_n};
constexpr int game_key_count = static_cast<int>(sizeof game_keys / sizeof game_keys[0]);

// The slot of a game key, or -1 for a key the game does not read.
constexpr int key_slot(int vk) {
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (game_keys[slot] == vk) return slot;
  }
  return -1;
}

}  // namespace platform
