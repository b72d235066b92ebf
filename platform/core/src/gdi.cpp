// Text on a surface through a device context, in the nearest palette colour.

#include <algorithm>

#include "objects.h"
#include "platform/font.h"

namespace platform {

namespace {

// The palette index whose colour lies nearest to a COLORREF (0x00BBGGRR).
std::uint8_t nearest_index(ColorRef colour) {
  const Palette* palette = display_palette();
  if (palette == nullptr) return 0;
  const int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
  int best = 0;
  int best_distance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = palette->entries[i];
    const int dr = e.red - red, dg = e.green - green, db = e.blue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// Writes one glyph's ink, clipped to the surface.
void draw_glyph(Surface* surface, const Glyph& glyph, int left, int top, std::uint8_t index) {
  for (int row = 0; row < Glyph::line_height; ++row) {
    const int y = top + row;
    if (y < 0 || y >= surface->height || glyph.rows[row] == 0) continue;
    std::uint8_t* line = surface->memory.data() + static_cast<std::size_t>(y) * surface->pitch;
    for (int column = 0; column < Glyph::max_width; ++column) {
      const int x = left + column;
      if ((glyph.rows[row] >> column & 1u) && x >= 0 && x < surface->width) line[x] = index;
    }
  }
}

// A line of text inks at most the glyph boxes from `left` to `right`, cut to the surface.
void note_text(Surface* surface, int left, int right, int top) {
  const Rect part{std::max(left, 0), std::max(top, 0), std::min(right, surface->width),
                  std::min(top + Glyph::line_height, surface->height)};
  if (part.left < part.right && part.top < part.bottom) note_write(surface, part);
}

}  // namespace

Result get_dc(Surface* surface, DeviceContext** out) {
  if (surface == nullptr || out == nullptr) return err_invalid_params;
  *out = nullptr;
  if (surface->dc_held) return err_dc_already_created;
  if (surface->locked) return err_surface_busy;
  if (injected_failure(HookedCall::get_dc)) return err_injected;
  surface->dc = DeviceContext{surface, 0};
  surface->dc_held = true;
  *out = &surface->dc;
  return ok;
}

Result release_dc(Surface* surface, DeviceContext* dc) {
  if (surface == nullptr || dc != &surface->dc || !surface->dc_held) return err_invalid_params;
  surface->dc_held = false;
  return ok;
}

ColorRef set_text_color(DeviceContext* dc, ColorRef colour) {
  const ColorRef previous = dc->text_colour;
  dc->text_colour = colour;
  return previous;
}

// Text is always drawn with a transparent background (the only one the game asks for), so the
// mode changes nothing.
int set_bk_mode(DeviceContext* /*dc*/, int /*mode*/) { return bk_transparent; }

bool text_out(DeviceContext* dc, int x, int y, const char* text, int length) {
  if (dc == nullptr || dc->surface == nullptr || text == nullptr || length < 0) return false;
  const std::uint8_t index = nearest_index(dc->text_colour);
  const int left = x;
  for (int i = 0; i < length; ++i) {
    const Glyph* glyph = glyph_for(static_cast<unsigned char>(text[i]));
    if (glyph == nullptr) continue;
    draw_glyph(dc->surface, *glyph, x, y, index);
    x += glyph->advance;
  }
  note_text(dc->surface, left, x + Glyph::max_width, y);
  return true;
}

int text_width(const char* text, int length) {
  int width = 0;
  for (int i = 0; i < length; ++i) {
    if (const Glyph* glyph = glyph_for(static_cast<unsigned char>(text[i]))) width += glyph->advance;
  }
  return width;
}

}  // namespace platform
