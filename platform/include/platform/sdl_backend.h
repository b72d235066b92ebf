#pragma once
// The backend on a Linux desktop: one borderless full-screen window through SDL2, the picture
// scaled by whole numbers with black borders, the keyboard, message boxes and the cursor.

#include <array>
#include <cstdint>

#include "platform/backend.h"
#include "platform/picture.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

class SdlBackend : public Backend {
 public:
  static constexpr int key_count = 9;  // the keys the game reads

  SdlBackend() = default;
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  // What the window shows, in 32-bit colour, for tests and benchmarks.
  TruePicture& picture() { return picture_; }

  bool open_window(int width, int height, const char* title) override;
  void close_window() override;
  bool set_display_mode(int width, int height, int bits_per_pixel) override;
  void present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override;
  void pump_events() override;
  bool key_held(int vk) override;
  void message_box(const char* text, const char* caption) override;
  void cursor_visible(bool visible) override;
  void sleep_ms(std::uint32_t milliseconds) override;
  bool idle_between_polls() override;

 private:
  bool start_video();
  bool make_texture(int width, int height);
  void upload(const ChangedArea& rewritten);
  void request_close();
  void handle_event(const SDL_Event& event);

  // The longest a blocking wait sleeps between two looks at the keys.
  static constexpr int idle_ms = 10;

  bool video_started_ = false;
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
  std::array<bool, key_count> tapped_{};
  TruePicture picture_;
};

}  // namespace platform
