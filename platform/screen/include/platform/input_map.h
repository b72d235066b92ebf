#pragma once
// Which key or controller button holds which of the game's keys, for every backend with a
// keyboard, in a one-player and in a two-player game: the players' keys and Escape are read where
// they lie on the keyboard, D and N by the letter printed on the key (so they work on any
// layout), and a controller by the place of its buttons. Written without any backend's own types: each backend translates its events
// into these terms.

#include <array>
#include <span>

#include "platform/keys.h"

namespace platform {

// A key read where it lies: by its USB HID usage on the keyboard page (what SDL's scancodes
// are) and by the name a web page's KeyboardEvent.code gives that place.
struct PlacedKey {
  int usb_usage;
  const char* code;
  int vk;
};

// One player against the computer: the arrows skate, Space shoots, Return checks.
constexpr std::array<PlacedKey, 8> one_player_keys{{
    {0x50, "ArrowLeft", vk_left},
    {0x4F, "ArrowRight", vk_right},
    {0x52, "ArrowUp", vk_up},
    {0x51, "ArrowDown", vk_down},
    {0x2C, "Space", vk_space},
    {0x28, "Enter", vk_return},
    {0x58, "NumpadEnter", vk_return},
    {0x29, "Escape", vk_escape},
}};
// Two players at one keyboard, each with a hand on its own side and none on the other's keys,
// nor on D or N (a player two skating on the key that types D would end a goal's wait): player
// one skates on the arrows, shoots with Right Shift and checks with Return; player two skates on
// T F G H (up, left, down, right), shoots with Space and checks with V.
constexpr std::array<PlacedKey, 14> two_player_keys{{
    {0x50, "ArrowLeft", vk_left},
    {0x4F, "ArrowRight", vk_right},
    {0x52, "ArrowUp", vk_up},
    {0x51, "ArrowDown", vk_down},
    {0xE5, "ShiftRight", vk_space},
    {0x28, "Enter", vk_return},
    {0x58, "NumpadEnter", vk_return},
    {0x29, "Escape", vk_escape},
    {0x17, "KeyT", vk_p2_up},
    {0x09, "KeyF", vk_p2_left},
    {0x0A, "KeyG", vk_p2_down},
    {0x0B, "KeyH", vk_p2_right},
    {0x2C, "Space", vk_p2_shoot},
    {0x19, "KeyV", vk_p2_check},
}};

// The keys read where they lie in a game of `players` (1 or 2).
std::span<const PlacedKey> placed_keys(int players);

// A key read by the letter it types (lower case), wherever the layout puts it.
struct LetteredKey {
  char letter;
  int vk;
};
constexpr std::array<LetteredKey, 2> lettered_keys{{{'d', vk_d}, {'n', vk_n}}};

// The game key at a place of the keyboard in a game of `players`, or 0.
int placed_key(int usb_usage, int players);
// The game key a typed letter stands for (either case), or 0. A key read by its place is never
// read by the letter it types too: on Dvorak player two's H types D.
int lettered_key(char letter);

// The player's own keys, which the game never reads, found by the letter they type like D and
// N: M mutes and unmutes the sound, P pauses and resumes the game. A backend hands every letter
// pressed to this, at any moment (in the waits and under a box too); false when the letter
// is neither.
bool follow_control_key(char letter);

// A controller's buttons by their place, numbered as a web page's standard gamepad numbers them.
enum class PadButton {
  south = 0,  // A, Cross
  east = 1,   // B, Circle
  west = 2,
  north = 3,
  back = 8,   // Back, Select
  start = 9,
  dpad_up = 12,
  dpad_down = 13,
  dpad_left = 14,
  dpad_right = 15,
};

// The game keys a button holds for player one (Start drops the puck and starts a new match
// alike); their number, at most two.
int pad_button_keys(PadButton button, int (&vks)[2]);

// The player a controller plays for, the `number`th (from 0) of the `count` plugged in: every
// controller is player one's in a one-player game; in a two-player game the first is player
// one's and the second player two's, and a controller alone is player two's (player one keeps
// the keyboard). More than two play for player one.
int pad_player(int number, int count, int players);
// Player one's game key `vk` as player `player` holds it on a controller: player two's own
// actions for skating, shooting and checking; D, N and Escape are everybody's.
int pad_key(int vk, int player);

// A stick's position on one axis from -1 to 1: past the dead zone it holds the arrow of its
// direction, and a resting stick holds nothing.
constexpr double stick_dead_zone = 0.25;

// The arrow one axis of a stick holds at `position`: `lower` past the dead zone below, `upper`
// past it above, or 0.
int stick_arrow(double position, int lower, int upper);

// The game keys a controller in the standard layout holds for `player`: `pressed` by the button
// numbers above, and its left stick's two axes (down is positive, as on every controller).
KeySet standard_pad_keys(const int* pressed, int button_count, double stick_x, double stick_y, int player);

}  // namespace platform
