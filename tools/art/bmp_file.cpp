#include "bmp_file.h"

#include <cstdint>

#include "byte_writer.h"

namespace art {
namespace {

constexpr std::uint32_t file_header_bytes = 14;
constexpr std::uint32_t info_header_bytes = 40;
constexpr std::uint32_t colour_table_bytes = 256 * 4;
constexpr std::uint32_t pixel_offset = file_header_bytes + info_header_bytes + colour_table_bytes;
constexpr std::int32_t pixels_per_metre = 2835;  // 72 dots per inch

void put_headers(tools::ByteWriter& out, const Canvas& picture) {
  const auto image_bytes = static_cast<std::uint32_t>(picture.width() * picture.height());
  out.u8('B');
  out.u8('M');
  out.u32(pixel_offset + image_bytes);
  out.u16(0);
  out.u16(0);
  out.u32(pixel_offset);

  out.u32(info_header_bytes);
  out.i32(picture.width());
  out.i32(picture.height());  // positive: the rows run bottom-up
  out.u16(1);                 // planes
  out.u16(8);                 // bits per pixel
  out.u32(0);                 // no compression
  out.u32(image_bytes);
  out.i32(pixels_per_metre);
  out.i32(pixels_per_metre);
  out.u32(256);  // colours used
  out.u32(0);    // all colours important
}

}  // namespace

bool write_bmp(const char* path, const Canvas& picture, const Palette& palette) {
  tools::ByteWriter out;
  put_headers(out, picture);
  for (const Rgb& c : palette) {
    out.u8(c.blue);
    out.u8(c.green);
    out.u8(c.red);
    out.u8(0);
  }
  for (int y = picture.height() - 1; y >= 0; --y) {
    const std::uint8_t* row = picture.row(y);
    out.bytes().insert(out.bytes().end(), row, row + picture.width());
  }
  return out.save(path);
}

}  // namespace art
