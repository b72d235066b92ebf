// Writes the fuzzer's starting corpus: small bitmaps the reader accepts (8, 16 and 24 bits, with
// the 40-byte header and the newer ones that extend it) and broken variants of them (cut short,
// sides out of range, image sizes past the end, compressed, headers of sizes it does not know...).
//
//   rink-bmp-seeds DIRECTORY

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "display/bmp.h"

namespace {

struct Shape {
  const char* name;
  std::uint16_t type;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t bits;
  std::int64_t image_size;  // -1: exactly the rows
  std::size_t cut;          // bytes dropped from the end of the file
  std::uint32_t header = 40;  // the info header's size; the newer ones follow the 40 bytes
  std::uint32_t compression = 0;
};

constexpr std::uint16_t bm = 0x4D42;
constexpr std::int64_t rows = -1;

// Starting points for the fuzzer, valid ones first.
constexpr Shape shapes[] = {
    {"valid-8bit-4x3", bm, 4, 3, 8, rows, 0},
    {"valid-8bit-1x1", bm, 1, 1, 8, rows, 0},
    {"valid-8bit-16x16", bm, 16, 16, 8, rows, 0},
    {"valid-16bit-5x2", bm, 5, 2, 16, rows, 0},
    {"valid-24bit-3x3", bm, 3, 3, 24, rows, 0},
    {"valid-24bit-larger-image-size", bm, 2, 2, 24, 64, 0},
    {"wrong-type", 0x4D43, 4, 3, 8, rows, 0},
    {"depth-32", bm, 4, 3, 32, rows, 0},
    {"depth-4", bm, 4, 3, 4, rows, 0},
    {"depth-0", bm, 4, 3, 0, rows, 0},
    {"cut-in-file-header", bm, 4, 3, 8, rows, 4 + 12 + 40 + 1024},
    {"cut-in-info-header", bm, 4, 3, 8, rows, 12 + 20 + 1024},
    {"cut-in-colour-table", bm, 4, 3, 8, rows, 12 + 512},
    {"cut-in-rows", bm, 4, 3, 8, rows, 5},
    {"cut-in-rows-24bit", bm, 3, 3, 24, rows, 7},
    {"image-size-past-start", bm, 4, 3, 8, 100000, 0},
    {"image-size-max", bm, 4, 3, 8, 0xFFFFFFFF, 0},
    {"image-size-short-of-rows", bm, 4, 3, 8, 5, 0},
    {"image-size-zero", bm, 4, 3, 16, 0, 0},
    {"width-huge", bm, 0x7FFFFFFF, 1, 8, 16, 0},
    {"height-huge", bm, 1, 0x7FFFFFFF, 24, 16, 0},
    {"sides-wrap-to-small", bm, 0x10000, 0x10000, 24, 16, 0},
    {"width-negative", bm, -4, 3, 8, 12, 0},
    {"height-negative-top-down", bm, 4, -3, 8, 12, 0},
    {"width-zero", bm, 0, 3, 8, 0, 0},
    {"height-zero", bm, 4, 0, 16, 0, 0},
    {"one-row-per-byte-of-image", bm, 1, 4096, 8, rows, 0},
    {"valid-8bit-header-52", bm, 4, 3, 8, rows, 0, 52},
    {"valid-8bit-header-56", bm, 4, 3, 8, rows, 0, 56},
    {"valid-8bit-header-108", bm, 4, 3, 8, rows, 0, 108},
    {"valid-8bit-header-124", bm, 4, 3, 8, rows, 0, 124},
    {"valid-24bit-header-124", bm, 3, 3, 24, rows, 0, 124},
    {"cut-in-header-124", bm, 4, 3, 8, rows, 12 + 1024 + 100, 124},
    {"cut-in-colour-table-after-header-124", bm, 4, 3, 8, rows, 12 + 512, 124},
    {"header-12", bm, 4, 3, 8, rows, 0, 12},
    {"header-size-max", bm, 4, 3, 8, rows, 0, 0xFFFFFFFF},
    {"rle8-compressed", bm, 4, 3, 8, rows, 0, 40, 1},
    {"rle8-compressed-header-124", bm, 4, 3, 8, rows, 0, 124, 1},
    {"bitfields-16bit-header-56", bm, 5, 2, 16, rows, 0, 56, 3},
};

template <typename Value>
void append(std::vector<std::uint8_t>& bytes, const Value& value) {
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
  bytes.insert(bytes.end(), raw, raw + sizeof value);
}

// The headers as written, a colour table for 8 bits, then the rows (never more than 64 KiB,
// whatever the header claims).
std::vector<std::uint8_t> file_bytes(const Shape& shape) {
  const std::int64_t row_total = std::int64_t{shape.bits / 8} * shape.width * shape.height;
  const auto image_size = static_cast<std::uint32_t>(shape.image_size == rows ? row_total : shape.image_size);
  const std::uint32_t table = shape.bits == 8 ? 1024 : 0;
  // A header size past the newer ones writes no more than the newest's bytes.
  const std::uint32_t extra = shape.header > 40 ? (shape.header < 124 ? shape.header : 124) - 40 : 0;
  const std::uint32_t offset = 54 + extra + table;
  std::vector<std::uint8_t> bytes;
  append(bytes, BmpFileHeader{shape.type, offset + image_size, 0, 0, offset});
  append(bytes, BmpInfoHeader{shape.header, shape.width, shape.height, 1, shape.bits, shape.compression, image_size,
                              2835, 2835, 0, 0});
  for (std::uint32_t i = 0; i < extra; ++i) bytes.push_back(static_cast<std::uint8_t>(0xC0 + i));
  for (std::uint32_t i = 0; i < table; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 13));
  const std::uint32_t stored = image_size < 65536 ? image_size : 65536;
  for (std::uint32_t i = 0; i < stored; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7 + 3));
  bytes.resize(shape.cut < bytes.size() ? bytes.size() - shape.cut : 0);
  return bytes;
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  for (const Shape& shape : shapes) {
    const std::string path = std::string(argv[1]) + "/" + shape.name + ".bmp";
    if (!write_file(path, file_bytes(shape))) {
      std::perror(path.c_str());
      return 1;
    }
  }
  std::printf("%zu seed files in %s\n", std::size(shapes), argv[1]);
  return 0;
}
