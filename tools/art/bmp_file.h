#pragma once
// Writes a picture as the game reads it: an 8-bit BMP with the full 256-entry colour table and
// unpadded rows, bottom row first.

#include "canvas.h"
#include "palette.h"

namespace art {

// False when the file cannot be written.
bool write_bmp(const char* path, const Canvas& picture, const Palette& palette);

}  // namespace art
