#include "display/bmp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/system.h"

namespace {

constexpr std::uint16_t bmp_type = 0x4D42;  // "BM" read as a little-endian word
constexpr std::int32_t max_side = 4096;
constexpr std::uint32_t colour_table_bytes = 256 * 4;
constexpr std::uint32_t file_header_bytes = sizeof(BmpFileHeader);
// The header sizes the reader knows: the 40-byte one and the newer ones that extend it (52, 56,
// 64, 108 and 124 bytes), whose colour table follows their own size.
constexpr std::uint32_t largest_header_bytes = 124;
// The largest bitmap the reader can take: the headers, a colour table and 4096 by 4096 pixels of
// 24 bits.
constexpr std::int64_t largest_file_bytes =
    file_header_bytes + largest_header_bytes + colour_table_bytes + std::int64_t{max_side} * max_side * 3;

int fail(BmpImage* image, const char* why) {
  std::snprintf(image->failure, sizeof image->failure, "%s", why);
  return 0;
}

bool read_exactly(platform::FileHandle file, void* buffer, std::uint32_t count) {
  return platform::read_file(file, buffer, count) == static_cast<std::int32_t>(count);
}

int close_and_fail(BmpImage* image, platform::FileHandle file, const char* why) {
  platform::close_file(file);
  return fail(image, why);
}

std::uint32_t row_bytes(const BmpInfoHeader& info) {
  return static_cast<std::uint32_t>(info.bit_count / 8) * static_cast<std::uint32_t>(info.width);
}

// A depth we can copy, sides the flip can walk, and enough image bytes for every row; otherwise
// why not, written into `why` when it names a number.
using Reason = char[64];
const char* unusable_header(const BmpInfoHeader& info, Reason& why) {
  if (info.size < sizeof(BmpInfoHeader) || info.size > largest_header_bytes) {
    std::snprintf(why, sizeof why, "a header of %u bytes", static_cast<unsigned>(info.size));
    return why;
  }
  // Packed rows would be copied as if raw: a garbage picture.
  if (info.compression != 0) {
    std::snprintf(why, sizeof why, "compressed (method %u)", static_cast<unsigned>(info.compression));
    return why;
  }
  const bool depth_ok = info.bit_count == 8 || info.bit_count == 16 || info.bit_count == 24;
  if (!depth_ok) {
    std::snprintf(why, sizeof why, "a depth of %u bits", static_cast<unsigned>(info.bit_count));
    return why;
  }
  if (info.width <= 0 || info.width > max_side || info.height <= 0 || info.height > max_side) {
    std::snprintf(why, sizeof why, "a size of %ld by %ld", static_cast<long>(info.width), static_cast<long>(info.height));
    return why;
  }
  if (info.size_image < row_bytes(info) * static_cast<std::uint32_t>(info.height)) return "fewer pixels than its size";
  return nullptr;
}

// The table follows the header, whatever the header's size. The file stores blue, green, red,
// reserved; the display wants red, green, blue, flags.
bool read_colour_table(platform::FileHandle file, const BmpInfoHeader& info, platform::PaletteEntry* palette) {
  const auto table_start = static_cast<std::int32_t>(file_header_bytes + info.size);
  if (platform::seek_file(file, table_start, platform::file_begin) != table_start) return false;
  std::uint8_t table[colour_table_bytes];
  if (!read_exactly(file, table, colour_table_bytes)) return false;
  for (int i = 0; i < 256; ++i) {
    const std::uint8_t* stored = table + i * 4;
    palette[i] = {stored[2], stored[1], stored[0], platform::pc_nocollapse};
  }
  return true;
}

// The pixel rows are the last image-size bytes of the file; they must lie after the headers and
// the colour table.
bool seek_to_pixel_rows(platform::FileHandle file, const BmpInfoHeader& info) {
  const std::uint32_t image_size = info.size_image;
  const auto headers_end =
      static_cast<std::int32_t>(file_header_bytes + info.size + (info.bit_count == 8 ? colour_table_bytes : 0));
  const std::int32_t file_size = platform::seek_file(file, 0, platform::file_end);
  if (headers_end < 0 || file_size < headers_end) return false;
  if (image_size > static_cast<std::uint32_t>(file_size - headers_end)) return false;
  const std::int32_t pixels_start = file_size - static_cast<std::int32_t>(image_size);
  return platform::seek_file(file, pixels_start, platform::file_begin) == pixels_start;
}

}  // namespace

int read_bmp(BmpImage* image, const char* file_name) {
  image->failure[0] = '\0';
  const platform::FileHandle file = platform::open_file(file_name);
  if (file == platform::hfile_error) return fail(image, platform::open_failure());
  Reason why;
  if (platform::file_size(file) > largest_file_bytes) {
    std::snprintf(why, sizeof why, "%lld bytes, too large for a bitmap",
                  static_cast<long long>(platform::file_size(file)));
    return close_and_fail(image, file, why);
  }
  if (!read_exactly(file, &image->file_header, sizeof(BmpFileHeader))) return close_and_fail(image, file, "cut short");
  if (image->file_header.type != bmp_type) return close_and_fail(image, file, "not a BMP file");
  if (!read_exactly(file, &image->info_header, sizeof(BmpInfoHeader))) return close_and_fail(image, file, "cut short");
  const BmpInfoHeader& info = image->info_header;
  if (const char* unusable = unusable_header(info, why)) return close_and_fail(image, file, unusable);
  if (info.bit_count == 8 && !read_colour_table(file, info, image->palette)) {
    return close_and_fail(image, file, "cut short");
  }
  if (!seek_to_pixel_rows(file, info)) return close_and_fail(image, file, "cut short");

  free_bmp(image);
  image->pixels = static_cast<std::uint8_t*>(std::malloc(info.size_image));
  if (image->pixels == nullptr) return close_and_fail(image, file, "no memory for its pixels");
  const bool complete = read_exactly(file, image->pixels, info.size_image);
  platform::close_file(file);
  if (!complete) {
    free_bmp(image);
    return fail(image, "cut short");
  }
  flip_rows(image->pixels, static_cast<int>(row_bytes(info)), info.height);
  return 1;
}

int free_bmp(BmpImage* image) {
  std::free(image->pixels);
  image->pixels = nullptr;
  return 1;
}

int flip_rows(std::uint8_t* buffer, int row_bytes, int row_count) {
  if (row_bytes <= 0 || row_count <= 0) return 1;
  const auto stride = static_cast<std::size_t>(row_bytes);
  const std::size_t total = stride * static_cast<std::size_t>(row_count);
  auto* copy = static_cast<std::uint8_t*>(std::malloc(total));
  if (copy == nullptr) return 0;
  std::memcpy(copy, buffer, total);
  for (int row = 0; row < row_count; ++row) {
    std::memcpy(buffer + stride * static_cast<std::size_t>(row_count - 1 - row),
                copy + stride * static_cast<std::size_t>(row), stride);
  }
  std::free(copy);
  return 1;
}
