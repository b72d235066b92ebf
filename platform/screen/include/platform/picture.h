#pragma once
// The screen's side of the picture: where the 640 by 480 picture sits on a screen, and its
// 32-bit copy, kept up to date by converting only what changed since the last frame.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/backend.h"

namespace platform {

// The game's picture, as every screen shows it (enlarged).
constexpr int picture_width = 640;
constexpr int picture_height = 480;

struct ScreenRect {
  int x;
  int y;
  int width;
  int height;
};

// The largest whole-number enlargement that fits, centred; a screen smaller than the picture
// gets it shrunk to fit, still 4:3.
ScreenRect fit_picture(int screen_width, int screen_height, int picture_width, int picture_height);

// The largest area of the picture's shape that fits, centred: the picture fills the screen but
// for black bars on the sides left over.
ScreenRect fill_picture(int screen_width, int screen_height, int picture_width, int picture_height);

class TruePicture {
 public:
  // Brings the copy up to date with the indexed picture and returns what it rewrote: the given
  // changed area, or everything after a palette or size change (or when told to always convert
  // everything).
  ChangedArea update(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
                     const ChangedArea& changed);
  void convert_everything_always(bool always) { always_everything_ = always; }

  // 0x00RRGGBB per pixel, rows of `width()` pixels.
  const std::uint32_t* pixels() const { return pixels_.data(); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  bool take_palette(const PaletteEntry* palette);
  void convert(const std::uint8_t* pixels, int pitch, int left, int top, int right, int bottom);

  std::vector<std::uint32_t> pixels_;
  int width_ = 0;
  int height_ = 0;
  std::array<PaletteEntry, 256> palette_{};
  std::array<std::uint32_t, 256> colours_{};
  bool always_everything_ = false;
};

}  // namespace platform
