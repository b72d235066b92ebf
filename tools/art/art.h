#pragma once
// The game's pictures, drawn in code: the rink and every sprite of the catalogue.

#include "canvas.h"
#include "display/sprites.h"
#include "sim/rules.h"

namespace art {

// The rink's picture is as large as the game's.
using ::rink_height;
using ::rink_width;
constexpr const char* rink_file = "hockeyrink.bmp";

Canvas draw_rink();
// The picture of one catalogue entry, at the entry's size, transparent (the colour key) around
// the figure.
Canvas draw_sprite(SpriteId id);

}  // namespace art
