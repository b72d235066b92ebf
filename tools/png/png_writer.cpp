#include "png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace png {

namespace {

using Bytes = std::vector<std::uint8_t>;

void put_u32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void put_chunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + type_at, static_cast<uInt>(out.size() - type_at));
  put_u32(out, static_cast<std::uint32_t>(crc));
}

// Every row starts with filter byte 0 (none): indexed pictures compress well enough as they are.
bool compressed_rows(int width, int height, const std::uint8_t* pixels, int pitch, Bytes& out) {
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(width + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * pitch;
    raw.insert(raw.end(), row, row + width);
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  out.resize(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
    return false;
  }
  out.resize(size);
  return true;
}

}  // namespace

bool save_indexed(const char* path, int width, int height, const std::uint8_t* pixels, int pitch,
                  const platform::PaletteEntry* palette, int transparent_index) {
  if (width <= 0 || height <= 0 || pitch < width) return false;
  Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  put_u32(header, static_cast<std::uint32_t>(width));
  put_u32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, indexed colour, deflate, no filter, no interlace
  put_chunk(file, "IHDR", header);
  Bytes colours;
  for (int i = 0; i < 256; ++i) colours.insert(colours.end(), {palette[i].red, palette[i].green, palette[i].blue});
  put_chunk(file, "PLTE", colours);
  if (transparent_index >= 0 && transparent_index < 256) {
    Bytes alpha(static_cast<std::size_t>(transparent_index) + 1, 255);
    alpha.back() = 0;
    put_chunk(file, "tRNS", alpha);
  }
  Bytes rows;
  if (!compressed_rows(width, height, pixels, pitch, rows)) return false;
  put_chunk(file, "IDAT", rows);
  put_chunk(file, "IEND", {});

  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path, "wb"), std::fclose);
  if (!out) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out.get()) == file.size();
  return written && std::fflush(out.get()) == 0;
}

}  // namespace png
