#pragma once
// The desktop's input merged into the game's held keys: the keyboard and any game controller
// SDL knows, plugged in before or during play.

#include <SDL2/SDL.h>

#include <array>

#include "platform/key_latch.h"
#include "platform/keys.h"

namespace platform {

class SdlInput {
 public:
  static constexpr int max_pads = 8;

  // In a game of `players` (1 or 2): which keys and controllers are whose (input_map.h).
  explicit SdlInput(int players) : players_(players) {}
  SdlInput(const SdlInput&) = delete;
  SdlInput& operator=(const SdlInput&) = delete;
  ~SdlInput() { close_pads(); }

  // F11 or Alt+Return: the window switches between the full screen and a window of its own.
  static bool switches_screen_mode(const SDL_Event& event);
  // M mutes, P pauses (input_map.h); neither is a game key.
  static void follow_control_key(const SDL_Event& event);
  // Follows one event; returns the game key it pressed (a key or button going down), or 0.
  int handle(const SDL_Event& event);
  // The keys held from now until the next call: what is held now, and what was pressed and let
  // go again since the last call, so that a tap between two frames is never lost.
  void take_snapshot();
  bool held(int vk) const;
  // What the game reads: a message box masks the key that answered it here.
  KeyLatch& keys() { return latch_; }
  // Forgets every controller; their buttons are let go.
  void close_pads();

  int pad_count() const;

 private:
  struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    // By the slot of player one's game key: the controller's player is known only when the keys
    // are read, as plugging in a second controller gives the first one to player one.
    std::array<bool, game_key_count> buttons{};
    std::array<bool, game_key_count> stick{};  // the left stick's directions
  };

  int press(int vk);
  int player_of(const Pad& pad) const;
  void open_pad(int device_index);
  void close_pad(SDL_JoystickID id);
  Pad* find_pad(SDL_JoystickID id);
  int button(const SDL_ControllerButtonEvent& event, bool down);
  int stick(const SDL_ControllerAxisEvent& event);
  bool keyboard_holds(int vk) const;

  int players_;
  std::array<Pad, max_pads> pads_{};
  KeyLatch latch_;
};

}  // namespace platform
