#pragma once
// Reader for the game's bitmap files: 8-, 16- or 24-bit BMP, bottom-up rows without padding.

#include <cstdint>

#include "platform/draw.h"

#pragma pack(push, 2)
struct BmpFileHeader {
  std::uint16_t type;  // "BM"
  std::uint32_t size;
  std::uint16_t reserved1;
  std::uint16_t reserved2;
  std::uint32_t offset_bits;
};
#pragma pack(pop)
static_assert(sizeof(BmpFileHeader) == 14);

struct BmpInfoHeader {
  std::uint32_t size;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t planes;
  std::uint16_t bit_count;
  std::uint32_t compression;
  std::uint32_t size_image;
  std::int32_t x_pels_per_meter;
  std::int32_t y_pels_per_meter;
  std::uint32_t clr_used;
  std::uint32_t clr_important;
};
static_assert(sizeof(BmpInfoHeader) == 40);

struct BmpImage {
  BmpFileHeader file_header;
  BmpInfoHeader info_header;
  platform::PaletteEntry palette[256];  // red, green, blue, flags: ready for the display
  std::uint8_t* pixels = nullptr;  // size_image bytes, top row first; null until a read succeeds
  // Why the last read failed, in a few words ("not found", "cut short", "not a BMP file", "a depth
  // of 32 bits"...); "" after a success.
  char failure[64] = "";
};

// 1 on success, 0 on failure (file closed).
int read_bmp(BmpImage* image, const char* file_name);
// Frees the pixels, if held; returns 1.
int free_bmp(BmpImage* image);
// Reverses the order of the rows in place; 0 when no temporary buffer could be had.
int flip_rows(std::uint8_t* buffer, int row_bytes, int row_count);
