#pragma once
// The game's icon for the applications menu, at the sizes of the icon theme.

#include <array>

#include "canvas.h"

namespace art {

constexpr std::array<int, 6> icon_sizes{16, 32, 48, 64, 128, 256};

// The icon `size` pixels square: one design, scaled, with its lines kept at least a pixel wide.
Canvas draw_icon(int size);

}  // namespace art
