#pragma once
// Pictures as the end-to-end tests see them: 24-bit colours read from an X screen dump (xwd)
// or from the game's bitmaps, compared pixel by pixel.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// 0xRRGGBB.
using Rgb = std::uint32_t;
constexpr Rgb rgb(int red, int green, int blue) {
  return static_cast<Rgb>(red << 16 | green << 8 | blue);
}

struct Point {
  int x;
  int y;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int x;
  int y;
  int width;
  int height;
  bool operator==(const Rect&) const = default;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // top row first

  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Image region(Rect rect) const;
  // A picture enlarged over all of this image, back at `width` by `height`: the pixel under the
  // middle of each picture pixel, which nearest-pixel scaling shows unmixed, and sharp scaling
  // too on the sizes the tests use (on some, below twice the picture's size, it blends a few).
  Image sampled(int width, int height) const;
  // Whether every `factor` by `factor` block holds one colour.
  bool made_of_blocks(int factor) const;
  int count(Rgb colour, Rect within) const;
  // Leftmost column and top row holding `colour` within the rectangle.
  std::optional<Point> first_of(Rgb colour, Rect within) const;
};

// Parses the output of `xwd` of a 24-bit screen: TrueColor, or DirectColor with its colour map
// (how xwd writes a screen that shows windows of several visuals). Throws std::runtime_error
// on anything else.
Image parse_xwd(const std::string& dump);

// Writes a picture of at most 256 colours as an indexed PNG; false when it has more or the file
// cannot be written.
bool save_png(const Image& image, const std::string& path);
// Reads an 8-bit indexed PNG as the game's tools write them (every row unfiltered). Throws
// std::runtime_error on anything else.
Image load_png(const std::string& path);

// One of the game's 8-bit bitmaps: its colours, and which pixels a keyed blit leaves out.
struct Bitmap {
  Image image;
  std::vector<bool> transparent;
};

// Throws std::runtime_error when the file cannot be read.
Bitmap load_bitmap(const std::string& path);

// Share of the pixels in `within` (coordinates of `a`) equal in `a` and in `b` at the same place.
double matching_share(const Image& a, const Image& b, Rect within);

// Share of the sprite's opaque pixels that the picture shows with the sprite's corner at
// `corner` (of those inside the picture).
double shown_share(const Image& picture, const Bitmap& sprite, Point corner);

// Where the bitmap's opaque pixels lie in `picture` with at least `min_share` of them in place,
// its top-left corner searched within `corners`; the best such place.
std::optional<Point> locate(const Image& picture, const Bitmap& sprite, Rect corners,
                            double min_share = 0.9);

}  // namespace e2e
