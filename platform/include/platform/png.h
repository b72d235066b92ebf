#pragma once
// Saving an 8-bit indexed picture as a PNG file (for tools: the contact sheet and the icon).

#include <cstdint>

#include "platform/draw.h"

namespace platform {

// Writes `width` x `height` palette indices, rows `pitch` bytes apart and top row first, with
// the 256 colours of `palette` (their flags are ignored); pixels of `transparent_index`, if
// given, are see-through. False when the file cannot be written.
bool save_indexed_png(const char* path, int width, int height, const std::uint8_t* pixels,
                      int pitch, const PaletteEntry (&palette)[256], int transparent_index = -1);

}  // namespace platform
