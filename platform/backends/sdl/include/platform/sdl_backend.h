#pragma once
// The desktop backend.
// Runs on: a Linux desktop, X11 or Wayland, through SDL2 (video, keyboard, game controllers): the
//   game's window full screen or in a window of its own, the picture filling the largest 4:3
//   area and kept sharp (or scaled by whole numbers), with black bars on what is left, the game's
//   own message boxes drawn in its window, the cursor. An accelerated renderer scales the picture
//   where there is one; else the game's own scaler draws only what changed into the window's
//   surface. While the window has no focus or is minimised, or the player paused with P, no frame
//   runs. The sound (sdl_audio.h) opens with the window; M mutes it.
// Cannot: run without a display: SDL's dummy and offscreen drivers are taken only when named,
//   and then show no box and play no sound (unless SDL_AUDIODRIVER names an audio driver too).
// Depends on: platform core, screen (picture, shared waits, key latch, input mapping), SDL2.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/modal_waits.h"
#include "platform/overlay.h"
#include "platform/picture.h"
#include "platform/sdl_audio.h"
#include "platform/sharp_scaler.h"

union SDL_Event;
struct SDL_Rect;
struct SDL_Point;
struct SDL_Window;

namespace platform {

class SdlInput;
class SdlPresenter;

struct SdlOptions {
  bool windowed = false;  // a window of its own instead of the full screen
  int display = -1;       // the display to open on; -1: the one that holds the mouse pointer
  ScaleMode scale = ScaleMode::sharp;
  int players = 1;  // 2: the keyboard and the controllers are shared by two players (input_map.h)
};

class SdlBackend : public Backend, public PlayerScreen {
 public:
  explicit SdlBackend(SdlOptions options = {});
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  // What the window shows, in 32-bit colour, for tests and benchmarks.
  TruePicture& picture() { return picture_; }
  // The game's window, for tests that look at what it shows; nothing without one.
  SDL_Window* window() const { return window_; }
  // How the window draws: "software" for its own surface, else SDL's name of the renderer
  // ("opengl"...); "" without a window.
  const char* renderer_name() const;
  bool full_screen() const { return full_screen_; }
  int controller_count() const;
  // Where the game's sounds go: the audio device opened with the window, if it could be.
  SdlAudio& sound() { return audio_; }
  // What is drawn over every picture the window shows (overlay.h); empty unless the game sets it.
  Overlay& overlay() { return shown_picture_.overlay(); }

  bool open_window() override;
  void close_window() override;
  bool set_display_mode(int width, int height, int bits_per_pixel) override;
  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override;
  // Takes what happened since the last pump; while the game is paused, sleeps here until it may
  // go on (or the window is asked to close).
  void pump_events() override;
  bool key_held(int vk) override;
  // Shows the box in the game's window until it is answered; without a window to show it in,
  // there is only the copy the display layer writes on standard error.
  void message_box(const char* text, const char* caption) override;
  void cursor_visible(bool visible) override;
  void sleep_ms(std::uint32_t milliseconds) override;
  bool idle_between_polls(int awaited_vk) override;

  // The shared waits' side: the picture shown whole, and the next event taken and
  // followed. (Every wait takes its event: a wait that only looks at SDL's queue leaves it in a
  // state in which the next poll finds nothing.)
  bool show_picture(const std::uint32_t* pixels, int width, int height) override;
  InputEvent next_input(int milliseconds) override;

 private:
  // The longest one sleep on the event queue lasts before the backend looks again.
  static constexpr int idle_ms = 100;

  bool start_video();
  int chosen_display() const;
  bool make_window();
  SDL_Rect display_bounds() const;
  SDL_Point window_size() const;
  void switch_screen_mode();
  void fill_display();
  void fit_window_in_display();
  // Follows one event; returns the game key it pressed, or 0.
  int handle_event(const SDL_Event& event);
  void handle_window_event(const SDL_Event& event);
  void poll_events();
  // The window is closed or asked to close: the player's session is over.
  bool window_gone() const;
  // Shows the game's picture, with the overlay over it when there is one (or was, until now).
  bool show_game_picture(const ChangedArea& rewritten);
  // A point of the window (in its points) in the picture's pixels.
  SDL_Point picture_point(int x, int y) const;

  SdlOptions options_;
  std::unique_ptr<SdlInput> input_;
  bool video_started_ = false;
  bool draws_nowhere_ = false;  // SDL's dummy or offscreen driver, asked for by name
  SDL_Window* window_ = nullptr;
  std::unique_ptr<SdlPresenter> presenter_;
  int display_ = 0;
  bool full_screen_ = true;
  bool cursor_shown_ = true;
  TruePicture picture_;
  OverlaidPicture shown_picture_;  // the game's picture with the overlay over it
  // What a wait showed last (a message box, or the picture again): shown again on an expose.
  std::vector<std::uint32_t> shown_;
  SdlAudio audio_;
};

}  // namespace platform
