#pragma once
// What the game draws over its own picture (a message box, the pause's notice): filled and
// outlined rectangles and text in the game's font, on a 0x00RRGGBB picture, never outside it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/picture.h"
#include "platform/result.h"

namespace platform {

// The colours of a box over the picture.
constexpr std::uint32_t panel_frame_colour = 0x1B2330;
constexpr std::uint32_t panel_title_colour = 0x23407A;
constexpr std::uint32_t panel_body_colour = 0xECEFF4;
constexpr std::uint32_t panel_text_colour = 0x1B1F2A;

class Panel {
 public:
  Panel(std::uint32_t* pixels, int width, int height) : pixels_(pixels), width_(width), height_(height) {}

  void fill(const Rect& area, std::uint32_t colour) const;
  void outline(const Rect& area, std::uint32_t colour) const;
  // Text in the game's font, unsmoothed, its line's top-left corner at (x, y), cut at `clip`.
  void write(int x, int y, std::string_view text, std::uint32_t colour, const Rect& clip) const;

 private:
  std::uint32_t* pixels_;
  int width_;
  int height_;
};

int width_of(std::string_view text);

// The last picture shown, to draw over; black when none of this size was shown yet.
std::vector<std::uint32_t> copy_of(const TruePicture& last, int width, int height);

}  // namespace platform
