#pragma once
// What the page shows of the game's picture: a copy in the canvas's byte order, and each
// picture's hand-over to the page (its hidden canvas and the screen's worker) of only the pixels
// that differ from what the page shows, packed in one buffer, so the page's thread copies and
// posts once a picture.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/result.h"

namespace platform {

class PageScreen {
 public:
  // `areas` of a 0x00RRGGBB picture of `width` by `height` may have changed (clipped to it):
  // the page gets the pixels among them that differ from what it shows.
  void show(const std::uint32_t* pixels, int width, int height, const Rect* areas, int count);

 private:
  // Converts `area` into the copy; the smallest rectangle holding every pixel that changed
  // (empty when none did).
  Rect convert(const std::uint32_t* pixels, const Rect& area);
  void pack(const Rect& rect, std::uint32_t*& to) const;

  // The most rectangles handed over with one picture; more go as the one around them all.
  static constexpr int most_rects = 64;

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> shown_;   // R, G, B, A bytes, as the canvas takes them
  std::vector<std::uint32_t> packed_;  // the changed rectangles' pixels, row after row
  std::array<Rect, most_rects> changed_{};
};

}  // namespace platform
