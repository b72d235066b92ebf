#include "icon.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// The design is laid out on a 48-unit square.
constexpr double design_size = 48;

// Distance outside a rounded square of side `size` (corner radius `radius`) at the origin;
// negative inside.
double outside_rounded_square(Vec2 p, double size, double radius) {
  const double half = size / 2;
  const Vec2 from_centre{std::fabs(p.x - half) - (half - radius), std::fabs(p.y - half) - (half - radius)};
  return length({std::max(from_centre.x, 0.0), std::max(from_centre.y, 0.0)}) - radius;
}

}  // namespace

// A patch of ice inside the boards, its centre line and circle, a stick and the puck at its blade.
Canvas draw_icon(int size) {
  const double k = size / design_size;
  const auto at = [k](double x, double y) { return Vec2{x * k, y * k}; };
  const auto pixel = [k](double units) { return static_cast<int>(std::lround(units * k)); };
  // In the small icons thin parts keep enough width not to break up.
  const auto width = [k](double units) { return std::max(units * k, 1.0); };
  const auto radius = [k](double units) { return std::max(units * k, 0.75); };

  Canvas icon(size, size, transparent);
  paint(icon, 0, 0, size, size, [&](int x, int y) {
    const double d = outside_rounded_square({x + 0.5, y + 0.5}, size, 10 * k);
    if (d > 0) return -1;
    return d > -width(3) ? int{stands_dark} : d > -width(3) - width(1.5) ? int{kick_plate} : int{ice};
  });
  fill_rect(icon, pixel(22), pixel(4), pixel(26), pixel(44), line_red);
  draw_ellipse_ring(icon, at(24, 24), 12 * k, 12 * k, width(2.5), line_blue);
  const Tone stick{shaft_light, shaft, shaft_dark};
  fill_limb(icon, {at(10, 8), at(27, 35), radius(1.8), radius(1.8)}, stick);
  fill_limb(icon, {at(26, 36), at(35, 37), radius(2.2), radius(2.0)}, stick);
  fill_limb(icon, {at(29, 36.5), at(33, 37), radius(1.6), radius(1.6)}, flat(tape));
  fill_ellipse(icon, at(38.5, 35.5), radius(4.5), radius(3.0), flat(puck_black));
  fill_ellipse(icon, at(38.5, 34.5), radius(3.0), radius(1.2), flat(puck_grey));
  return icon;
}

}  // namespace art
