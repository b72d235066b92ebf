#pragma once
// An 8-bit indexed picture and the shapes the pictures are drawn from. A pixel (x, y) covers
// the square [x, x+1) x [y, y+1); a shape paints the pixels whose centres it contains.

#include <cstdint>
#include <functional>
#include <vector>

#include "palette.h"

namespace art {

struct Vec2 {
  double x;
  double y;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, double k) { return {a.x * k, a.y * k}; }
double length(Vec2 v);
// The unit vector at `degrees` clockwise from straight up (screen y grows downwards).
Vec2 direction(double degrees);
// `v` turned clockwise on screen by `degrees`.
Vec2 rotated(Vec2 v, double degrees);
Vec2 lerp(Vec2 a, Vec2 b, double t);

class Canvas {
 public:
  Canvas(int width, int height, std::uint8_t fill);
  int width() const { return width_; }
  int height() const { return height_; }
  std::uint8_t at(int x, int y) const { return pixels_[index(x, y)]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Points outside the picture are ignored.
  void plot(int x, int y, std::uint8_t ink);
  const std::uint8_t* row(int y) const { return &pixels_[index(0, y)]; }

 private:
  std::size_t index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

// Three inks for a rounded part lit from the top left; a flat part has all three the same.
struct Tone {
  std::uint8_t light;
  std::uint8_t base;
  std::uint8_t dark;
};
inline Tone flat(std::uint8_t ink) { return {ink, ink, ink}; }

// The ink a lit part shows where its surface faces `normal` (any length, zero: base).
std::uint8_t shade(const Tone& tone, Vec2 normal);
// The ink of a rounded part at `offset` from its centre (or its middle line), `radius` being
// its size there: the core keeps the base colour, only the rim is lit or shaded.
std::uint8_t shade_rounded(const Tone& tone, Vec2 offset, double radius, double core = 0.5);

// Paints every pixel of the box [x0, x1) x [y0, y1) for which `ink_at` gives an ink;
// -1 leaves the pixel as it is.
void paint(Canvas& canvas, int x0, int y0, int x1, int y1,
           const std::function<int(int x, int y)>& ink_at);

void fill_rect(Canvas& canvas, int x0, int y0, int x1, int y1, std::uint8_t ink);
void fill_ellipse(Canvas& canvas, Vec2 centre, double rx, double ry, const Tone& tone);
// A ring between two ellipses that share a centre: outer radii rx, ry, `width` pixels thick.
void draw_ellipse_ring(Canvas& canvas, Vec2 centre, double rx, double ry, double width,
                       std::uint8_t ink);

// A limb: the segment from a to b thickened to radius ra at a and rb at b, rounded at both
// ends. With t0..t1 only the stretch between those fractions of the segment is painted.
struct Limb {
  Vec2 a;
  Vec2 b;
  double ra;
  double rb;
};
void fill_limb(Canvas& canvas, const Limb& limb, const Tone& tone, double t0 = 0.0,
               double t1 = 1.0);

// Paints `ink` on every pixel of `background` that touches a pixel of another ink
// (left, right, above or below): a one-pixel outline around every figure.
void outline_figures(Canvas& canvas, std::uint8_t background, std::uint8_t ink);

// Paints `ink` on every single pixel of `background` closed in on all four sides.
void fill_pinholes(Canvas& canvas, std::uint8_t background, std::uint8_t ink);

// A copy turned left for right: column x goes to column `axis` - x (columns that would fall
// outside the picture are dropped, uncovered ones take `fill`).
Canvas mirrored(const Canvas& canvas, int axis, std::uint8_t fill);

}  // namespace art
