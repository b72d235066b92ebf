#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

double length(Vec2 v) { return std::hypot(v.x, v.y); }

Vec2 direction(double degrees) {
  const double radians = degrees * std::numbers::pi / 180.0;
  return {std::sin(radians), -std::cos(radians)};
}

Vec2 rotated(Vec2 v, double degrees) {
  const double radians = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

Vec2 lerp(Vec2 a, Vec2 b, double t) { return a + (b - a) * t; }

Canvas::Canvas(int width, int height, std::uint8_t fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::plot(int x, int y, std::uint8_t ink) {
  if (contains(x, y)) pixels_[index(x, y)] = ink;
}

std::uint8_t shade(const Tone& tone, Vec2 normal) {
  const double len = length(normal);
  if (len < 1e-9) return tone.base;
  // The light comes from the top left, a little more from above.
  const double facing = (normal.x * -0.55 + normal.y * -0.83) / len;
  if (facing > 0.45) return tone.light;
  if (facing < -0.35) return tone.dark;
  return tone.base;
}

std::uint8_t shade_rounded(const Tone& tone, Vec2 offset, double radius, double core) {
  return length(offset) > radius * core ? shade(tone, offset) : tone.base;
}

void paint(Canvas& canvas, int x0, int y0, int x1, int y1,
           const std::function<int(int x, int y)>& ink_at) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, canvas.width());
  y1 = std::min(y1, canvas.height());
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const int ink = ink_at(x, y);
      if (ink >= 0) canvas.plot(x, y, static_cast<std::uint8_t>(ink));
    }
  }
}

void fill_rect(Canvas& canvas, int x0, int y0, int x1, int y1, std::uint8_t ink) {
  paint(canvas, x0, y0, x1, y1, [ink](int, int) { return ink; });
}

void fill_ellipse(Canvas& canvas, Vec2 centre, double rx, double ry, const Tone& tone) {
  paint(canvas, static_cast<int>(std::floor(centre.x - rx)), static_cast<int>(std::floor(centre.y - ry)),
        static_cast<int>(std::ceil(centre.x + rx)) + 1, static_cast<int>(std::ceil(centre.y + ry)) + 1,
        [&](int x, int y) {
          const Vec2 unit{(x + 0.5 - centre.x) / rx, (y + 0.5 - centre.y) / ry};
          return length(unit) > 1.0 ? -1 : int{shade_rounded(tone, unit, 1.0, 0.55)};
        });
}

void draw_ellipse_ring(Canvas& canvas, Vec2 centre, double rx, double ry, double width,
                       std::uint8_t ink) {
  paint(canvas, static_cast<int>(centre.x - rx) - 1, static_cast<int>(centre.y - ry) - 1,
        static_cast<int>(centre.x + rx) + 2, static_cast<int>(centre.y + ry) + 2,
        [&](int x, int y) {
          const double dx = x + 0.5 - centre.x;
          const double dy = y + 0.5 - centre.y;
          const auto inside = [&](double ax, double ay) {
            return (dx * dx) / (ax * ax) + (dy * dy) / (ay * ay) <= 1.0;
          };
          return inside(rx, ry) && !inside(rx - width, ry - width) ? int{ink} : -1;
        });
}

void fill_limb(Canvas& canvas, const Limb& limb, const Tone& tone, double t0, double t1) {
  const double reach = std::max(limb.ra, limb.rb) + 1.0;
  const Vec2 axis = limb.b - limb.a;
  const double axis_len2 = std::max(axis.x * axis.x + axis.y * axis.y, 1e-9);
  paint(canvas, static_cast<int>(std::floor(std::min(limb.a.x, limb.b.x) - reach)),
        static_cast<int>(std::floor(std::min(limb.a.y, limb.b.y) - reach)),
        static_cast<int>(std::ceil(std::max(limb.a.x, limb.b.x) + reach)),
        static_cast<int>(std::ceil(std::max(limb.a.y, limb.b.y) + reach)), [&](int x, int y) {
          const Vec2 p{x + 0.5, y + 0.5};
          const Vec2 from_a = p - limb.a;
          const double t_raw = (from_a.x * axis.x + from_a.y * axis.y) / axis_len2;
          const double t = std::clamp(t_raw, 0.0, 1.0);
          if (t_raw < t0 || t_raw > t1) return -1;
          const Vec2 offset = p - lerp(limb.a, limb.b, t);
          const double radius = limb.ra + (limb.rb - limb.ra) * t;
          return length(offset) > radius ? -1 : int{shade_rounded(tone, offset, radius, 0.45)};
        });
}

void outline_figures(Canvas& canvas, std::uint8_t background, std::uint8_t ink) {
  const Canvas before = canvas;
  const auto figure = [&](int x, int y) { return before.contains(x, y) && before.at(x, y) != background; };
  paint(canvas, 0, 0, canvas.width(), canvas.height(), [&](int x, int y) {
    if (before.at(x, y) != background) return -1;
    const bool touches = figure(x - 1, y) || figure(x + 1, y) || figure(x, y - 1) || figure(x, y + 1);
    return touches ? int{ink} : -1;
  });
}

void fill_pinholes(Canvas& canvas, std::uint8_t background, std::uint8_t ink) {
  const auto solid = [&](int x, int y) { return canvas.contains(x, y) && canvas.at(x, y) != background; };
  paint(canvas, 0, 0, canvas.width(), canvas.height(), [&](int x, int y) {
    const bool hole = canvas.at(x, y) == background && solid(x - 1, y) && solid(x + 1, y) &&
                      solid(x, y - 1) && solid(x, y + 1);
    return hole ? int{ink} : -1;
  });
}

Canvas mirrored(const Canvas& canvas, int axis, std::uint8_t fill) {
  Canvas result(canvas.width(), canvas.height(), fill);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.contains(axis - x, y)) result.plot(x, y, canvas.at(axis - x, y));
    }
  }
  return result;
}

}  // namespace art
