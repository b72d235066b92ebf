#pragma once
// The goalie pictures: the left goalie faces right, out towards the ice, the right one left.

#include "canvas.h"

namespace art {

// `set_for_shot`: crouched and ready for a shot; otherwise standing or moving across the crease.
Canvas draw_goalie(bool facing_right, bool set_for_shot);

}  // namespace art
