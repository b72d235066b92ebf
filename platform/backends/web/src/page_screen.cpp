#include "platform/page_screen.h"

#include <emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

// The page's side. The hidden canvas takes R, G, B, A bytes straight from the program's memory
// (the ImageData over them is made again only when that memory or the picture's size changes);
// the changed rectangles (left, top, right, bottom each) and their packed pixels go to the page
// as copies of their own, which it hands on to the screen's worker (rink-page.js).
EM_JS(void, page_show, (const void* rgba, int width, int height, const int* edges, int count, const void* packed,
                        int packed_count), {
  let shown = Module.rinkShown;
  if (!shown || shown.pixels !== rgba || shown.image.data.buffer !== HEAPU8.buffer ||
      shown.image.width !== width || shown.image.height !== height) {
    const canvas = document.getElementById("canvas");
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    shown = Module.rinkShown = {
      pixels: rgba, context: canvas.getContext("2d", {alpha: false}), image: new ImageData(bytes, width, height)
    };
  }
  const rects = HEAP32.slice(edges >> 2, (edges >> 2) + 4 * count);
  for (let i = 0; i < rects.length; i += 4) {
    shown.context.putImageData(shown.image, 0, 0, rects[i], rects[i + 1], rects[i + 2] - rects[i], rects[i + 3] - rects[i + 1]);
  }
  Module.onPicture(width, height, rects, HEAPU32.slice(packed >> 2, (packed >> 2) + packed_count));
});

namespace platform {

namespace {

// 0x00RRGGBB as the canvas's bytes R, G, B, A (opaque) read as one little-endian word.
std::uint32_t canvas_colour(std::uint32_t rgb) {
  return 0xFF000000u | (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
}

long long area_of(const Rect& r) { return static_cast<long long>(r.right - r.left) * (r.bottom - r.top); }

}  // namespace

void PageScreen::show(const std::uint32_t* pixels, int width, int height, const Rect* areas, int count) {
  const auto size = static_cast<std::size_t>(width) * height;
  if (width != width_ || height != height_) {
    width_ = width;
    height_ = height;
    shown_.assign(size, 0);  // no canvas colour is 0 (all are opaque): every pixel counts as changed
    packed_.resize(size);
  }
  int count_changed = 0;
  long long changed_pixels = 0;
  Rect all{width, height, 0, 0};
  for (int i = 0; i < count; ++i) {
    const Rect changed = convert(pixels, areas[i]);
    if (changed.left >= changed.right) continue;
    if (count_changed < most_rects) changed_[count_changed] = changed;
    ++count_changed;
    changed_pixels += area_of(changed);
    all = {std::min(all.left, changed.left), std::min(all.top, changed.top), std::max(all.right, changed.right),
           std::max(all.bottom, changed.bottom)};
  }
  if (count_changed == 0) return;
  // Too many rectangles, or overlapping ones that add up to more than the picture: their hull
  // goes instead.
  if (count_changed > most_rects || changed_pixels > static_cast<long long>(size)) {
    changed_[0] = all;
    count_changed = 1;
  }
  std::uint32_t* to = packed_.data();
  for (int i = 0; i < count_changed; ++i) pack(changed_[i], to);
  page_show(shown_.data(), width, height, &changed_[0].left, count_changed, packed_.data(),
            static_cast<int>(to - packed_.data()));
}

Rect PageScreen::convert(const std::uint32_t* pixels, const Rect& area) {
  const int left = std::max(area.left, 0), top = std::max(area.top, 0);
  const int right = std::min(area.right, width_), bottom = std::min(area.bottom, height_);
  Rect changed{width_, height_, 0, 0};
  for (int y = top; y < bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * width_;
    int first = right, last = left - 1;
    for (int x = left; x < right; ++x) {
      const std::uint32_t colour = canvas_colour(pixels[row + x]);
      if (colour == shown_[row + x]) continue;
      shown_[row + x] = colour;
      first = std::min(first, x);
      last = x;
    }
    if (last < first) continue;
    changed = {std::min(changed.left, first), std::min(changed.top, y), std::max(changed.right, last + 1), y + 1};
  }
  return changed;
}

void PageScreen::pack(const Rect& rect, std::uint32_t*& to) const {
  const auto across = static_cast<std::size_t>(rect.right - rect.left);
  for (int y = rect.top; y < rect.bottom; ++y) {
    std::memcpy(to, shown_.data() + static_cast<std::size_t>(y) * width_ + rect.left, across * sizeof *to);
    to += across;
  }
}

}  // namespace platform
