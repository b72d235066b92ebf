#pragma once
// The platform's virtual-key codes for the keys the game reads (letters by their upper-case
// code), the game's keys in one fixed order (their slots), and sets of them.

#include <bit>
#include <cstdint>
#include <initializer_list>

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
// Player two's actions in a two-player match, in its own direction sense: 0x97 to 0x9C are
// virtual-key codes no physical key has, which the input mapping puts player two's keys and
// gamepad on.
constexpr int vk_p2_left = 0x97;
constexpr int vk_p2_right = 0x98;
constexpr int vk_p2_up = 0x99;
constexpr int vk_p2_down = 0x9A;
constexpr int vk_p2_shoot = 0x9B;
constexpr int vk_p2_check = 0x9C;

// The keys the game reads, by slot: the order in which a key script lists them.
constexpr int game_keys[] = {vk_left,    vk_right,    vk_up,       vk_down,     vk_space,    vk_return,
                             vk_escape,  vk_d,        vk_n,        vk_p2_left,  vk_p2_right, vk_p2_up,
                             vk_p2_down, vk_p2_shoot, vk_p2_check};
constexpr int game_key_count = static_cast<int>(sizeof game_keys / sizeof game_keys[0]);

// The slot of a game key, or -1 for a key the game does not read.
constexpr int key_slot(int vk) {
  for (int slot = 0; slot < game_key_count; ++slot) {
    if (game_keys[slot] == vk) return slot;
  }
  return -1;
}

// Some of the game's keys, one bit per slot: what a line of a key script holds, or what is held
// at a moment. A key the game does not read is never in it.
class KeySet {
 public:
  constexpr KeySet() = default;
  constexpr KeySet(std::initializer_list<int> vks) {
    for (const int vk : vks) insert(vk);
  }

  constexpr int count(int vk) const {
    const int slot = key_slot(vk);
    return slot >= 0 && (bits_ >> slot & 1u) != 0 ? 1 : 0;
  }
  constexpr void insert(int vk) {
    if (const int slot = key_slot(vk); slot >= 0) bits_ |= 1u << slot;
  }
  constexpr void erase(int vk) {
    if (const int slot = key_slot(vk); slot >= 0) bits_ &= ~(1u << slot);
  }
  constexpr int size() const { return std::popcount(bits_); }
  // One bit per slot, as a message of online play carries the keys; bits of no slot are dropped.
  constexpr std::uint32_t bits() const { return bits_; }
  static constexpr KeySet from_bits(std::uint32_t bits) {
    KeySet keys;
    keys.bits_ = bits & ((1u << game_key_count) - 1);
    return keys;
  }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr bool operator==(const KeySet&) const = default;

 private:
  std::uint32_t bits_ = 0;
};
static_assert(game_key_count <= 32, "a KeySet holds 32 keys");

}  // namespace platform
