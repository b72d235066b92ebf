#pragma once
// The game's icon for the applications menu.

#include "canvas.h"

namespace art {

constexpr int icon_size = 48;

Canvas draw_icon();

}  // namespace art
