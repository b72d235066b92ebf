#include "image.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <fstream>
#include <map>
#include <stdexcept>

#include "display/bmp.h"
#include "display/sprites.h"
#include "png_writer.h"

namespace e2e {
namespace {

// The fields of an xwd header that the parser uses, in the file's order of 32-bit words.
enum XwdField {
  header_size,
  file_version,
  pixmap_format,
  pixmap_depth,
  pixmap_width,
  pixmap_height,
  xoffset,
  byte_order,
  bitmap_unit,
  bitmap_bit_order,
  bitmap_pad,
  bits_per_pixel,
  bytes_per_line,
  visual_class,
  red_mask,
  green_mask,
  blue_mask,
  bits_per_rgb,
  colormap_entries,
  ncolors,
  xwd_field_count,
};
constexpr int xwd_version = 7;
constexpr int z_pixmap = 2;
constexpr int true_color = 4;
constexpr int direct_color = 5;
constexpr std::size_t xwd_color_bytes = 12;

// An unsigned number of `bytes` bytes (at most 4) in either byte order.
std::uint32_t number_at(const std::string& data, std::size_t offset, int bytes, bool big_endian) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    const int shift = big_endian ? 8 * (bytes - 1 - i) : 8 * i;
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + i])) << shift;
  }
  return value;
}

// The 8 bits of a colour channel that a mask selects.
int channel(std::uint32_t pixel, std::uint32_t mask) {
  return static_cast<int>((pixel & mask) >> std::countr_zero(mask)) & 0xFF;
}

bool contains(const Image& image, Rect r) {
  return r.x >= 0 && r.y >= 0 && r.width >= 0 && r.height >= 0 && r.x + r.width <= image.width &&
         r.y + r.height <= image.height;
}

void require_inside(const Image& image, Rect r) {
  if (!contains(image, r)) throw std::out_of_range("rectangle outside the picture");
}

// A DirectColor pixel's channels index the colour map; xwd writes one for them (it is what a
// dump of windows with different visuals comes as).
struct ColourMap {
  std::vector<Rgb> entries;

  int red(int index) const { return static_cast<int>(entries.at(index) >> 16) & 0xFF; }
  int green(int index) const { return static_cast<int>(entries.at(index) >> 8) & 0xFF; }
  int blue(int index) const { return static_cast<int>(entries.at(index)) & 0xFF; }
};

ColourMap read_colour_map(const std::string& dump, std::size_t start, std::uint32_t count) {
  ColourMap map;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = start + i * xwd_color_bytes;
    // Pixel value (4 bytes), then red, green and blue as 16-bit numbers.
    map.entries.push_back(rgb(static_cast<int>(number_at(dump, entry + 4, 2, true) >> 8),
                              static_cast<int>(number_at(dump, entry + 6, 2, true) >> 8),
                              static_cast<int>(number_at(dump, entry + 8, 2, true) >> 8)));
  }
  return map;
}

struct SpritePixel {
  int x;
  int y;
  Rgb colour;
};

std::vector<SpritePixel> opaque_pixels(const Bitmap& sprite) {
  std::vector<SpritePixel> pixels;
  for (int y = 0; y < sprite.image.height; ++y) {
    for (int x = 0; x < sprite.image.width; ++x) {
      if (!sprite.transparent[static_cast<std::size_t>(y) * sprite.image.width + x]) {
        pixels.push_back({x, y, sprite.image.at(x, y)});
      }
    }
  }
  return pixels;
}

// How many of every `step`-th pixel differ from the picture with the sprite's corner at `at`,
// counting no further than `enough`.
int misplaced_pixels(const Image& picture, const std::vector<SpritePixel>& pixels, Point at,
                     int enough, std::size_t step) {
  int wrong = 0;
  for (std::size_t i = 0; i < pixels.size() && wrong < enough; i += step) {
    wrong += picture.at(at.x + pixels[i].x, at.y + pixels[i].y) != pixels[i].colour;
  }
  return wrong;
}

}  // namespace

Image Image::region(Rect r) const {
  require_inside(*this, r);
  Image out{r.width, r.height, {}};
  out.pixels.reserve(static_cast<std::size_t>(r.width) * r.height);
  for (int y = r.y; y < r.y + r.height; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) out.pixels.push_back(at(x, y));
  }
  return out;
}

Image Image::sampled(int to_width, int to_height) const {
  Image out{to_width, to_height, {}};
  out.pixels.reserve(static_cast<std::size_t>(to_width) * to_height);
  for (int y = 0; y < to_height; ++y) {
    const int from_y = static_cast<int>((2LL * y + 1) * height / (2LL * to_height));
    for (int x = 0; x < to_width; ++x) out.pixels.push_back(at(static_cast<int>((2LL * x + 1) * width / (2LL * to_width)), from_y));
  }
  return out;
}

bool Image::made_of_blocks(int factor) const {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (at(x, y) != at(x - x % factor, y - y % factor)) return false;
    }
  }
  return true;
}

int Image::count(Rgb colour, Rect r) const {
  require_inside(*this, r);
  int found = 0;
  for (int y = r.y; y < r.y + r.height; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) found += at(x, y) == colour;
  }
  return found;
}

std::optional<Point> Image::first_of(Rgb colour, Rect r) const {
  require_inside(*this, r);
  std::optional<Point> first;
  for (int y = r.y; y < r.y + r.height; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) {
      if (at(x, y) != colour) continue;
      if (!first) first = Point{x, y};
      first->x = std::min(first->x, x);
    }
  }
  return first;
}

Image parse_xwd(const std::string& dump) {
  const std::size_t fixed_header = xwd_field_count * 4;
  if (dump.size() < fixed_header) throw std::runtime_error("xwd dump too short");
  std::uint32_t field[xwd_field_count];
  for (int i = 0; i < xwd_field_count; ++i) field[i] = number_at(dump, i * 4, 4, true);
  const int pixel_bytes = static_cast<int>(field[bits_per_pixel] / 8);
  const bool direct = field[visual_class] == direct_color;
  if (field[file_version] != xwd_version || field[pixmap_format] != z_pixmap ||
      (field[visual_class] != true_color && !direct) || (pixel_bytes != 3 && pixel_bytes != 4)) {
    throw std::runtime_error("xwd dump not of a 24- or 32-bit TrueColor or DirectColor screen");
  }
  Image image{static_cast<int>(field[pixmap_width]), static_cast<int>(field[pixmap_height]), {}};
  const std::size_t start = field[header_size] + field[ncolors] * xwd_color_bytes;
  const std::size_t row_bytes = field[bytes_per_line];
  if (dump.size() < start + row_bytes * image.height ||
      row_bytes < static_cast<std::size_t>(image.width * pixel_bytes)) {
    throw std::runtime_error("xwd dump cut short");
  }
  const ColourMap map = read_colour_map(dump, field[header_size], direct ? field[ncolors] : 0);
  const bool big_endian = field[byte_order] != 0;
  image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t pixel =
          number_at(dump, start + y * row_bytes + x * pixel_bytes, pixel_bytes, big_endian);
      const int red = channel(pixel, field[red_mask]), green = channel(pixel, field[green_mask]),
                blue = channel(pixel, field[blue_mask]);
      image.pixels.push_back(direct ? rgb(map.red(red), map.green(green), map.blue(blue))
                                    : rgb(red, green, blue));
    }
  }
  return image;
}

bool save_png(const Image& image, const std::string& path) {
  std::map<Rgb, std::uint8_t> index_of;
  platform::PaletteEntry palette[256] = {};
  std::vector<std::uint8_t> indices;
  indices.reserve(image.pixels.size());
  for (Rgb colour : image.pixels) {
    auto [entry, added] = index_of.try_emplace(colour, static_cast<std::uint8_t>(index_of.size()));
    if (added && index_of.size() > 256) return false;
    if (added) {
      palette[entry->second] = {static_cast<std::uint8_t>(colour >> 16),
                                static_cast<std::uint8_t>(colour >> 8),
                                static_cast<std::uint8_t>(colour), 0};
    }
    indices.push_back(entry->second);
  }
  return png::save_indexed(path.c_str(), image.width, image.height, indices.data(),
                          image.width, palette);
}

namespace {

std::uint32_t big_endian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
  return value;
}

}  // namespace

Image load_png(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < 33 || bytes.compare(1, 3, "PNG") != 0) throw std::runtime_error("not a PNG: " + path);
  const int width = static_cast<int>(big_endian(bytes, 16)), height = static_cast<int>(big_endian(bytes, 20));
  if (bytes[24] != 8 || bytes[25] != 3 || bytes[28] != 0) throw std::runtime_error("not an indexed PNG: " + path);
  std::string palette, compressed;
  for (std::size_t at = 8; at + 8 <= bytes.size();) {
    const std::uint32_t length = big_endian(bytes, at);
    const std::string type = bytes.substr(at + 4, 4), data = bytes.substr(at + 8, length);
    if (type == "PLTE") palette = data;
    if (type == "IDAT") compressed += data;
    at += 12 + length;
  }
  std::vector<Bytef> rows(static_cast<std::size_t>(width + 1) * height);
  uLongf size = rows.size();
  if (uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()), compressed.size()) != Z_OK ||
      size != rows.size()) {
    throw std::runtime_error("cannot read the pixels of " + path);
  }
  Image image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    const Bytef* row = rows.data() + static_cast<std::size_t>(y) * (width + 1);
    if (row[0] != 0) throw std::runtime_error("a filtered row in " + path);
    for (int x = 0; x < width; ++x) {
      const std::size_t entry = static_cast<std::size_t>(row[1 + x]) * 3;
      if (entry + 2 >= palette.size()) throw std::runtime_error("a colour outside the palette of " + path);
      image.pixels.push_back(rgb(static_cast<std::uint8_t>(palette[entry]), static_cast<std::uint8_t>(palette[entry + 1]),
                                 static_cast<std::uint8_t>(palette[entry + 2])));
    }
  }
  return image;
}

Bitmap load_bitmap(const std::string& path) {
  BmpImage file{};
  if (read_bmp(&file, path.c_str()) == 0 || file.info_header.bit_count != 8) {
    free_bmp(&file);
    throw std::runtime_error("cannot read the bitmap " + path);
  }
  const int width = file.info_header.width, height = file.info_header.height;
  Bitmap bitmap{{width, height, {}}, {}};
  for (int i = 0; i < width * height; ++i) {
    const std::uint8_t index = file.pixels[i];
    const platform::PaletteEntry& colour = file.palette[index];
    bitmap.image.pixels.push_back(rgb(colour.red, colour.green, colour.blue));
    bitmap.transparent.push_back(index == sprite_color_key);
  }
  free_bmp(&file);
  return bitmap;
}

double matching_share(const Image& a, const Image& b, Rect within) {
  require_inside(a, within);
  require_inside(b, within);
  int same = 0;
  for (int y = within.y; y < within.y + within.height; ++y) {
    for (int x = within.x; x < within.x + within.width; ++x) same += a.at(x, y) == b.at(x, y);
  }
  const int total = within.width * within.height;
  return total == 0 ? 0.0 : static_cast<double>(same) / total;
}

double shown_share(const Image& picture, const Bitmap& sprite, Point corner) {
  int inside = 0, shown = 0;
  for (const SpritePixel& pixel : opaque_pixels(sprite)) {
    const int x = corner.x + pixel.x, y = corner.y + pixel.y;
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) continue;
    ++inside;
    shown += picture.at(x, y) == pixel.colour;
  }
  return inside == 0 ? 0.0 : static_cast<double>(shown) / inside;
}

std::optional<Point> locate(const Image& picture, const Bitmap& sprite, Rect corners,
                            double min_share) {
  require_inside(picture, {corners.x, corners.y, corners.width + sprite.image.width - 1,
                           corners.height + sprite.image.height - 1});
  const std::vector<SpritePixel> pixels = opaque_pixels(sprite);
  // A spread-out sample first: where half of it is wrong, the sprite is not.
  constexpr std::size_t sample_step = 16;
  const int sample_allowed = static_cast<int>(pixels.size() / sample_step / 2);
  int fewest_wrong = static_cast<int>(pixels.size() * (1.0 - min_share)) + 1;
  std::optional<Point> best;
  for (int y = corners.y; y < corners.y + corners.height; ++y) {
    for (int x = corners.x; x < corners.x + corners.width; ++x) {
      const int sample_wrong = misplaced_pixels(picture, pixels, {x, y}, sample_allowed + 1, sample_step);
      if (sample_wrong > sample_allowed) continue;
      const int wrong = misplaced_pixels(picture, pixels, {x, y}, fewest_wrong, 1);
      if (wrong < fewest_wrong) {
        fewest_wrong = wrong;
        best = Point{x, y};
      }
    }
  }
  return best;
}

}  // namespace e2e
