#pragma once
// The game's icon for the applications menu, at the sizes of the icon theme, and for the web
// page's manifest, at the sizes a phone's home screen asks for.

#include <array>

#include "canvas.h"

namespace art {

constexpr std::array<int, 6> icon_sizes{16, 32, 48, 64, 128, 256};
constexpr std::array<int, 2> page_icon_sizes{192, 512};

// The icon `size` pixels square: one design, scaled, with its lines kept at least a pixel wide.
Canvas draw_icon(int size);

}  // namespace art
