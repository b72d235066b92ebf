#pragma once
// Brings the 32-bit picture onto a screen of any size: filling the largest 4:3 area and still
// sharp, or by whole factors only. Every picture pixel keeps its own colour inside; only the
// screen pixel on the border between two picture pixels blends them. Only what a change of the
// picture can reach is drawn again, and a frame allocates nothing: the tables that say which
// picture pixels make each screen pixel are built once per size.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/picture.h"
#include "platform/result.h"

namespace platform {

enum class ScaleMode {
  sharp,  // fills the largest 4:3 area, smooth only on the borders between picture pixels
  whole,  // the largest whole factor that fits, nearest pixels (fit_picture)
};

// The whole factor the sharp scaling enlarges a side of `picture_size` pixels by before bringing
// it to `screen_size`: the next one that reaches the screen's size, 1 at least.
int enlarging_factor(int picture_size, int screen_size);

// Where each colour lies in a 32-bit screen pixel. The alpha bits are always set, so a screen
// with an alpha channel shows the picture opaque.
struct PixelFormat {
  int red_shift;
  int green_shift;
  int blue_shift;
  std::uint32_t alpha_mask;
};
constexpr PixelFormat xrgb8888{16, 8, 0, 0};

// The screen's memory, with `pitch` bytes from one row to the next.
struct ScreenPixels {
  std::uint32_t* pixels;
  int pitch;
  PixelFormat format;
};

// The screen outside the picture: up to four rectangles (left, right, top, bottom).
struct Borders {
  std::array<ScreenRect, 4> rects;
  int count;
};

class SharpScaler {
 public:
  // Places the picture and builds the tables for these sizes. False when nothing changed;
  // after a true, the caller paints the borders and scales the whole picture again.
  bool resize(ScaleMode mode, int screen_width, int screen_height, int picture_width, int picture_height);
  const ScreenRect& placement() const { return placement_; }

  // Draws again every screen pixel that a change of the picture inside `changed` can affect,
  // and only those, and returns where they are. The picture has the size given to resize, in
  // 0x00RRGGBB pixels without gaps between rows (as TruePicture keeps it).
  ScreenRect scale_changed(const std::uint32_t* picture, const Rect& changed, const ScreenPixels& screen) const;
  // Paints the screen outside the picture black and returns those rectangles.
  Borders paint_borders(const ScreenPixels& screen) const;

  // What one screen column (or row) shows along its axis: picture pixel `first` alone, or blended
  // with the next one by `weight_of_next` / 256. A screen pixel thus blends at most two picture
  // pixels, or four where a row and a column of blends cross.
  struct Tap {
    std::int32_t first;
    std::int32_t weight_of_next;
    bool operator==(const Tap&) const = default;
  };

 private:
  ScaleMode mode_ = ScaleMode::sharp;
  int screen_width_ = 0;
  int screen_height_ = 0;
  int picture_width_ = 0;
  int picture_height_ = 0;
  ScreenRect placement_{0, 0, 0, 0};
  std::vector<Tap> columns_;
  std::vector<Tap> rows_;
};

}  // namespace platform
