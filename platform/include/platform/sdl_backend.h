#pragma once
// The backend on a Linux desktop: one borderless full-screen window through SDL2, the picture
// scaled by whole numbers with black borders, the keyboard, the game's own message boxes drawn
// in its window, and the cursor.

#include <cstdint>
#include <vector>

#include "platform/backend.h"
#include "platform/key_latch.h"
#include "platform/picture.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

class MessageBoxPicture;

class SdlBackend : public Backend {
 public:
  SdlBackend() = default;
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  // What the window shows, in 32-bit colour, for tests and benchmarks.
  TruePicture& picture() { return picture_; }
  // SDL's name of the renderer the window draws with ("software", "opengl"...); "" without one.
  const char* renderer_name() const;

  bool open_window(int width, int height, const char* title) override;
  void close_window() override;
  bool set_display_mode(int width, int height, int bits_per_pixel) override;
  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override;
  void pump_events() override;
  bool key_held(int vk) override;
  // Shows the box in the game's window until it is answered; standard error keeps a copy of the
  // text, and is all there is without a window to show the box in.
  void message_box(const char* text, const char* caption) override;
  void cursor_visible(bool visible) override;
  void sleep_ms(std::uint32_t milliseconds) override;
  bool idle_between_polls() override;

 private:
  static constexpr int picture_width = 640;
  static constexpr int picture_height = 480;

  bool start_video();
  bool make_texture(int width, int height);
  bool upload(const ChangedArea& rewritten);
  bool upload_whole(const std::uint32_t* pixels);
  bool show_texture();
  void request_close();
  // Window events and the close request, handled the same way in play and under a box.
  void handle_window_event(const SDL_Event& event);
  void handle_event(const SDL_Event& event);
  // Keys going down and up, into the latch the game reads at each pump.
  void handle_key_event(const SDL_Event& event);
  // Waits until an event is queued, or the window is closed or asked to close.
  bool wait_for_event();
  bool box_answered(const MessageBoxPicture& box, const SDL_Event& event) const;

  // The longest one sleep on the event queue lasts before the backend looks again.
  static constexpr int idle_ms = 100;

  bool video_started_ = false;
  bool draws_nowhere_ = false;  // SDL's dummy or offscreen driver, asked for by name
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
  // A software renderer keeps its picture between presents, so its borders need clearing only
  // after the window changed; other renderers clear every frame.
  bool keeps_target_ = false;
  bool borders_dirty_ = true;
  bool close_requested_ = false;
  bool cursor_shown_ = true;
  KeyLatch keys_;
  TruePicture picture_;
};

}  // namespace platform
