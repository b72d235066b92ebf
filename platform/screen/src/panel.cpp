#include "panel.h"

#include <algorithm>

#include "platform/font.h"
#include "platform/gdi.h"

namespace platform {

void Panel::fill(const Rect& area, std::uint32_t colour) const {
  for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y) {
    std::uint32_t* row = pixels_ + static_cast<std::size_t>(y) * width_;
    const int left = std::max(area.left, 0), right = std::min(area.right, width_);
    if (left < right) std::fill(row + left, row + right, colour);
  }
}

void Panel::outline(const Rect& area, std::uint32_t colour) const {
  fill({area.left, area.top, area.right, area.top + 1}, colour);
  fill({area.left, area.bottom - 1, area.right, area.bottom}, colour);
  fill({area.left, area.top, area.left + 1, area.bottom}, colour);
  fill({area.right - 1, area.top, area.right, area.bottom}, colour);
}

void Panel::write(int x, int y, std::string_view text, std::uint32_t colour, const Rect& clip) const {
  const int left = std::max(clip.left, 0), top = std::max(clip.top, 0);
  const int right = std::min(clip.right, width_), bottom = std::min(clip.bottom, height_);
  for (const char c : text) {
    const Glyph* glyph = glyph_for(static_cast<unsigned char>(c));
    if (glyph == nullptr) continue;
    for (int row = 0; row < Glyph::line_height && y + row < bottom; ++row) {
      if (y + row < top) continue;
      std::uint32_t* line = pixels_ + static_cast<std::size_t>(y + row) * width_;
      for (int column = 0; column < Glyph::max_width && x + column < right; ++column) {
        if ((glyph->rows[row] >> column & 1u) && x + column >= left) line[x + column] = colour;
      }
    }
    x += glyph->advance;
  }
}

int width_of(std::string_view text) { return text_width(text.data(), static_cast<int>(text.size())); }

std::vector<std::uint32_t> copy_of(const TruePicture& last, int width, int height) {
  std::vector<std::uint32_t> shown(static_cast<std::size_t>(width) * height, 0);
  if (last.width() == width && last.height() == height) {
    shown.assign(last.pixels(), last.pixels() + shown.size());
  }
  return shown;
}

}  // namespace platform
