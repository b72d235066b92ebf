#include "platform/picture.h"

#include <algorithm>
#include <cstring>

namespace platform {

ScreenRect fit_picture(int screen_width, int screen_height, int picture_width, int picture_height) {
  const int factor = std::min(screen_width / picture_width, screen_height / picture_height);
  if (factor == 0) return fill_picture(screen_width, screen_height, picture_width, picture_height);
  const int width = picture_width * factor;
  const int height = picture_height * factor;
  return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

ScreenRect fill_picture(int screen_width, int screen_height, int picture_width, int picture_height) {
  const bool width_limits = static_cast<long long>(screen_width) * picture_height <=
                            static_cast<long long>(screen_height) * picture_width;
  const int width = width_limits ? screen_width : screen_height * picture_width / picture_height;
  const int height = width_limits ? screen_width * picture_height / picture_width : screen_height;
  return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

// True when the palette differs from the one the colour table was built from.
bool TruePicture::take_palette(const PaletteEntry* palette) {
  if (std::memcmp(palette_.data(), palette, sizeof(palette_)) == 0) return false;
  std::copy(palette, palette + 256, palette_.begin());
  for (int i = 0; i < 256; ++i) {
    colours_[i] = std::uint32_t{palette_[i].red} << 16 | std::uint32_t{palette_[i].green} << 8 | palette_[i].blue;
  }
  return true;
}

void TruePicture::convert(const std::uint8_t* pixels, int pitch, int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* from = pixels + static_cast<std::size_t>(y) * pitch;
    std::uint32_t* to = pixels_.data() + static_cast<std::size_t>(y) * width_;
    for (int x = left; x < right; ++x) to[x] = colours_[from[x]];
  }
}

ChangedArea TruePicture::update(const std::uint8_t* pixels, int width, int height, int pitch,
                                const PaletteEntry* palette, const ChangedArea& changed) {
  bool everything = take_palette(palette) || changed.everything || always_everything_;
  if (width != width_ || height != height_) {
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * height, 0);
    everything = true;
  }
  if (everything) {
    convert(pixels, pitch, 0, 0, width, height);
    return {true, nullptr, 0};
  }
  for (int i = 0; i < changed.count; ++i) {
    const Rect& r = changed.rects[i];
    convert(pixels, pitch, r.left, r.top, r.right, r.bottom);
  }
  return changed;
}

}  // namespace platform
