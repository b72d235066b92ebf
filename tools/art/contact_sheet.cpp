#include "contact_sheet.h"

#include "art.h"
#include "png_writer.h"

namespace art {
namespace {

constexpr int zoom = 2;
constexpr int margin = 16;
constexpr int cell = 64 * zoom;
constexpr int columns = (rink_width * zoom + margin) / (cell + margin);
constexpr int checker = 8;  // sheet pixels per checkerboard square

// Copies `picture` at twice its size with its top-left corner at (left, top); transparent
// pixels show the checkerboard.
void place(Canvas& sheet, const Canvas& picture, int left, int top) {
  paint(sheet, left, top, left + picture.width() * zoom, top + picture.height() * zoom, [&](int x, int y) {
    const std::uint8_t ink = picture.at((x - left) / zoom, (y - top) / zoom);
    if (ink != transparent) return int{ink};
    return ((x - left) / checker + (y - top) / checker) % 2 == 0 ? int{checker_light} : int{checker_dark};
  });
}

}  // namespace

Canvas compose_contact_sheet(const Canvas& rink, const std::vector<Canvas>& sprites) {
  const int rows = (static_cast<int>(sprites.size()) + columns - 1) / columns;
  const int sprites_top = margin + rink.height() * zoom + margin;
  Canvas sheet(rink.width() * zoom + 2 * margin, sprites_top + rows * (cell + margin), band);
  place(sheet, rink, margin, margin);
  for (int i = 0; i < static_cast<int>(sprites.size()); ++i) {
    const Canvas& sprite = sprites[static_cast<std::size_t>(i)];
    // Pictures smaller than a cell (the puck) sit in its middle.
    const int inset = (cell - sprite.width() * zoom) / 2;
    place(sheet, sprite, margin + (i % columns) * (cell + margin) + inset,
          sprites_top + (i / columns) * (cell + margin) + inset);
  }
  return sheet;
}

bool save_png(const char* path, const Canvas& picture) {
  platform::PaletteEntry colours[256];
  const Palette& palette = game_palette();
  for (std::size_t i = 0; i < palette.size(); ++i) {
    colours[i] = {palette[i].red, palette[i].green, palette[i].blue, 0};
  }
  return png::save_indexed(path, picture.width(), picture.height(), picture.row(0), picture.width(),
                            colours, transparent);
}

}  // namespace art
