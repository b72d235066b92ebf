#pragma once
// Text on a surface through a device context, in the default font of the platform: a 16-pixel
// line (ascent 13, descent 3), drawn unsmoothed in the palette entry nearest to the colour.

#include <cstdint>

#include "platform/draw.h"

namespace platform {

struct DeviceContext;
using ColorRef = std::uint32_t;  // 0x00BBGGRR

constexpr int bk_transparent = 1;

// One context per surface at a time.
Result get_dc(Surface* surface, DeviceContext** out);
Result release_dc(Surface* surface, DeviceContext* dc);

// Returns the previous colour.
ColorRef set_text_color(DeviceContext* dc, ColorRef colour);
// Text is always drawn with a transparent background: the mode is accepted and ignored, and
// the one returned is always transparent.
int set_bk_mode(DeviceContext* dc, int mode);

// Draws `length` characters with the line's top-left corner at (x, y), clipped to the surface.
bool text_out(DeviceContext* dc, int x, int y, const char* text, int length);

// Pixel width of the text in the default font.
int text_width(const char* text, int length);

}  // namespace platform
