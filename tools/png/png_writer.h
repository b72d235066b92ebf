#pragma once
// Writes 8-bit indexed pictures as PNG files: the contact sheet, the icons, screenshots and the
// pictures a replay ends with.

#include <cstdint>

#include "platform/draw.h"

namespace png {

// Writes `width` x `height` palette indices, rows `pitch` bytes apart and top row first, with
// the 256 colours of `palette` (their flags are ignored); pixels of `transparent_index`, if
// given, are see-through. False when the file cannot be written.
bool save_indexed(const char* path, int width, int height, const std::uint8_t* pixels, int pitch,
                  const platform::PaletteEntry* palette, int transparent_index = -1);

}  // namespace png
