#include "icon.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// Distance outside a rounded square of side `size` (corner radius `radius`) at the origin;
// negative inside.
double outside_rounded_square(Vec2 p, double size, double radius) {
  const double half = size / 2;
  const Vec2 from_centre{std::fabs(p.x - half) - (half - radius), std::fabs(p.y - half) - (half - radius)};
  return length({std::max(from_centre.x, 0.0), std::max(from_centre.y, 0.0)}) - radius;
}

}  // namespace

// A patch of ice inside the boards, its centre line and circle, a stick and the puck at its blade.
Canvas draw_icon() {
  Canvas icon(icon_size, icon_size, transparent);
  paint(icon, 0, 0, icon_size, icon_size, [](int x, int y) {
    const double d = outside_rounded_square({x + 0.5, y + 0.5}, icon_size, 10);
    if (d > 0) return -1;
    return d > -3 ? int{stands_dark} : d > -4.5 ? int{kick_plate} : int{ice};
  });
  fill_rect(icon, 22, 4, 26, 44, line_red);
  draw_ellipse_ring(icon, {24, 24}, 12, 12, 2.5, line_blue);
  fill_limb(icon, {{10, 8}, {27, 35}, 1.8, 1.8}, {shaft_light, shaft, shaft_dark});
  fill_limb(icon, {{26, 36}, {35, 37}, 2.2, 2.0}, {shaft_light, shaft, shaft_dark});
  fill_limb(icon, {{29, 36.5}, {33, 37}, 1.6, 1.6}, flat(tape));
  fill_ellipse(icon, {38.5, 35.5}, 4.5, 3.0, flat(puck_black));
  fill_ellipse(icon, {38.5, 34.5}, 3.0, 1.2, flat(puck_grey));
  return icon;
}

}  // namespace art
