#pragma once
// What differs between running on a screen and running headless: presenting the picture,
// the keyboard, message boxes, the cursor and time. Everything else is shared.

#include <cstdint>

#include "platform/draw.h"

namespace platform {

// The parts of a presented picture that may differ from the one presented before it.
struct ChangedArea {
  bool everything;
  const Rect* rects;
  int count;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // The game window appears, at the picture's size or full screen as the backend chooses, or
  // goes away.
  virtual bool open_window() = 0;
  virtual void close_window() = 0;
  // The screen is taken at this size and depth.
  virtual bool set_display_mode(int width, int height, int bits_per_pixel) = 0;
  // Shows a picture of 8-bit indices through a 256-entry palette. Only the changed area can
  // differ from the last picture, unless the palette differs too. False when the screen is gone
  // for good (the display server went away): no later picture can be shown either.
  virtual bool present(const std::uint8_t* pixels, int width, int height, int pitch,
                       const PaletteEntry* palette, const ChangedArea& changed) = 0;
  // Called by peek_message: brings outside events (a close request, an expose) in as messages.
  virtual void pump_events() = 0;
  virtual bool key_held(int vk) = 0;
  virtual void message_box(const char* text, const char* caption) = 0;
  virtual void cursor_visible(bool visible) = 0;
  virtual void sleep_ms(std::uint32_t milliseconds) = 0;
  // A poll of a blocking wait for the key `awaited_vk` (D after a goal, N after a match) gives the
  // processor away; false when no further input can ever come.
  virtual bool idle_between_polls(int awaited_vk) = 0;
};

// The backend every platform call uses; the program chooses it once at start. Until it does
// (and after it chose null), calls go to a backend without a screen: no window opens.
void use_backend(Backend* backend);
Backend& backend();

// Why a call failed, for the one line a failed start-up prints (draw.h's last_error reads it).
void set_last_error(const char* text);

}  // namespace platform
