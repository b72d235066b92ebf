#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "display/bmp.h"

namespace {

struct BmpFields {
  std::uint16_t type = 0x4D42;
  std::int32_t width = 4;
  std::int32_t height = 3;
  std::uint16_t bits = 8;
  std::int64_t image_size = -1;  // -1: exactly the rows
  std::size_t gap = 0;           // bytes between the colour table and the rows, never read
  std::uint32_t header = 40;     // the info header's size: newer headers extend the 40 bytes
  std::uint32_t compression = 0;
};

// Byte `offset` of the stored rows (bottom row first).
std::uint8_t stored_byte(std::size_t offset) { return static_cast<std::uint8_t>(offset * 7 + 3); }

// Colour table entry i is stored as blue i, green 255 - i, red i ^ 0x55.
platform::PaletteEntry expected_colour(int i) {
  return {static_cast<std::uint8_t>(i ^ 0x55), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i),
          platform::pc_nocollapse};
}

template <typename Value>
void append(std::vector<std::uint8_t>& bytes, const Value& value) {
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
  bytes.insert(bytes.end(), raw, raw + sizeof value);
}

std::vector<std::uint8_t> bmp_bytes(const BmpFields& f) {
  const std::int64_t rows = std::int64_t{f.bits / 8} * f.width * f.height;
  const std::int64_t size = f.image_size >= 0 ? f.image_size : std::max<std::int64_t>(rows, 0);
  const auto image_size = static_cast<std::uint32_t>(size);
  const std::uint32_t offset = 14 + f.header + (f.bits == 8 ? 1024 : 0) + static_cast<std::uint32_t>(f.gap);
  std::vector<std::uint8_t> bytes;
  append(bytes, BmpFileHeader{f.type, offset + image_size, 0, 0, offset});
  append(bytes, BmpInfoHeader{f.header, f.width, f.height, 1, f.bits, f.compression, image_size, 2835, 2835, 0, 0});
  // The newer headers' fields (colour masks, colour space, gamma...) as an editor might fill them.
  for (std::uint32_t i = 40; i < f.header; ++i) bytes.push_back(static_cast<std::uint8_t>(0xC0 + i % 61));
  for (int i = 0; f.bits == 8 && i < 256; ++i) {
    const platform::PaletteEntry colour = expected_colour(i);
    bytes.insert(bytes.end(), {colour.blue, colour.green, colour.red, 0});
  }
  bytes.resize(bytes.size() + f.gap, 0xEE);
  for (std::size_t i = 0; i < image_size; ++i) bytes.push_back(stored_byte(i));
  return bytes;
}

class BmpReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bmp_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    free_bmp(&image_);
    std::filesystem::remove_all(dir_);
  }

  std::string write(const std::vector<std::uint8_t>& bytes, std::size_t keep = SIZE_MAX) {
    const std::string path = dir_ + "/picture" + std::to_string(++files_) + ".bmp";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(std::min(keep, bytes.size())));
    return path;
  }

  int read(const BmpFields& fields) { return read_bmp(&image_, write(bmp_bytes(fields)).c_str()); }

  void expect_top_row_first(int row_bytes, int height) const {
    for (int row = 0; row < height; ++row) {
      for (int column = 0; column < row_bytes; ++column) {
        const std::size_t stored = static_cast<std::size_t>((height - 1 - row) * row_bytes + column);
        ASSERT_EQ(image_.pixels[row * row_bytes + column], stored_byte(stored)) << "at " << column << "," << row;
      }
    }
  }

  BmpImage image_{};
  std::string dir_;
  int files_ = 0;
};

TEST_F(BmpReaderTest, EightBitFileGivesTopRowFirstAndDisplayColours) {
  ASSERT_EQ(read({}), 1);
  EXPECT_EQ(image_.info_header.width, 4);
  EXPECT_EQ(image_.info_header.height, 3);
  expect_top_row_first(4, 3);
  for (int i = 0; i < 256; ++i) {
    const platform::PaletteEntry want = expected_colour(i);
    EXPECT_EQ(std::memcmp(&image_.palette[i], &want, sizeof want), 0) << "entry " << i;
  }
}

// Each read gives the previous pixel buffer back (the leak checker would tell otherwise).
TEST_F(BmpReaderTest, DeeperFilesKeepWholeRowsAndThePreviousColours) {
  ASSERT_EQ(read({}), 1);
  for (std::uint16_t bits : {16, 24}) {
    SCOPED_TRACE(bits);
    ASSERT_EQ(read({.width = 5, .height = 2, .bits = bits}), 1);
    expect_top_row_first(5 * bits / 8, 2);
    const platform::PaletteEntry first = expected_colour(0);
    EXPECT_EQ(std::memcmp(&image_.palette[0], &first, sizeof first), 0);
  }
  EXPECT_EQ(free_bmp(&image_), 1);
  EXPECT_EQ(image_.pixels, nullptr);
}

// A new image knows it holds no pixels, however it was made: the reader frees what it holds.
TEST_F(BmpReaderTest, AFreshImageHoldsNoPixelsEvenOverUsedMemory) {
  alignas(BmpImage) unsigned char storage[sizeof(BmpImage)];
  std::memset(storage, 0xAB, sizeof storage);
  BmpImage* fresh = new (storage) BmpImage;
  EXPECT_EQ(fresh->pixels, nullptr);
  EXPECT_EQ(read_bmp(fresh, write(bmp_bytes({})).c_str()), 1);
  free_bmp(fresh);
}

TEST_F(BmpReaderTest, RowsAreTheLastImageBytesAndSidesUpTo4096Load) {
  ASSERT_EQ(read({.gap = 100}), 1);
  expect_top_row_first(4, 3);
  EXPECT_EQ(read({.width = 4096, .height = 1}), 1);
  EXPECT_EQ(read({.width = 1, .height = 4096}), 1);
  EXPECT_EQ(read({.image_size = 20}), 1);  // spare bytes are allowed
}

// Each failure says why in a few words, for the line on standard error.
TEST_F(BmpReaderTest, UnreadableFilesFailSayWhyAndLeaveThePixelsAlone) {
  const std::size_t whole = bmp_bytes({}).size();
  const struct {
    const char* what;
    BmpFields fields;
    std::size_t keep;
    const char* why;
  } cases[] = {
      {"4 bits", {.bits = 4}, SIZE_MAX, "a depth of 4 bits"},
      {"32 bits", {.bits = 32}, SIZE_MAX, "a depth of 32 bits"},
      {"not BM", {.type = 0x4D43}, SIZE_MAX, "not a BMP file"},
      {"zero width", {.width = 0}, SIZE_MAX, "a size of 0 by 3"},
      {"top-down rows", {.height = -3}, SIZE_MAX, "a size of 4 by -3"},
      {"too wide", {.width = 4097}, SIZE_MAX, "a size of 4097 by 3"},
      {"too tall", {.height = 4097}, SIZE_MAX, "a size of 4 by 4097"},
      {"image size zero", {.image_size = 0}, SIZE_MAX, "fewer pixels than its size"},
      {"image size one short", {.image_size = 11}, SIZE_MAX, "fewer pixels than its size"},
      {"file header cut", {}, 10, "cut short"},
      {"info header cut", {}, 40, "cut short"},
      {"colour table cut", {}, 54 + 1000, "cut short"},
      {"rows cut", {}, whole - 1, "cut short"},
      {"rows reaching into the headers", {.bits = 24, .image_size = 80}, 54 + 40, "cut short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto* held = static_cast<std::uint8_t*>(std::malloc(4));
    std::memset(held, 0xAB, 4);
    image_.pixels = held;
    EXPECT_EQ(read_bmp(&image_, write(bmp_bytes(c.fields), c.keep).c_str()), 0);
    EXPECT_STREQ(image_.failure, c.why);
    ASSERT_EQ(image_.pixels, held);
    EXPECT_EQ(held[3], 0xAB);
    free_bmp(&image_);
  }
  EXPECT_EQ(read_bmp(&image_, (dir_ + "/missing.bmp").c_str()), 0);
  EXPECT_STREQ(image_.failure, "not found");
  EXPECT_EQ(read({}), 1);
  EXPECT_STREQ(image_.failure, "") << "a success leaves no reason behind";
}

// Editors write the newer headers (52 to 124 bytes); the colour table follows whichever it is.
TEST_F(BmpReaderTest, NewerHeadersGiveTheSamePictureAndColours) {
  for (std::uint32_t header : {52u, 56u, 64u, 108u, 124u}) {
    SCOPED_TRACE(header);
    ASSERT_EQ(read({.header = header}), 1) << image_.failure;
    expect_top_row_first(4, 3);
    for (int i = 0; i < 256; ++i) {
      const platform::PaletteEntry want = expected_colour(i);
      ASSERT_EQ(std::memcmp(&image_.palette[i], &want, sizeof want), 0) << "entry " << i;
    }
    ASSERT_EQ(read({.width = 3, .height = 2, .bits = 24, .header = header}), 1);
    expect_top_row_first(9, 2);
  }
}

// Packed rows are refused rather than copied as if raw; so are headers the reader does not know.
TEST_F(BmpReaderTest, CompressedFilesAndUnknownHeadersAreRefused) {
  const struct {
    BmpFields fields;
    const char* why;
  } cases[] = {
      {{.compression = 1}, "compressed (method 1)"},  // RLE8
      {{.bits = 24, .compression = 2}, "compressed (method 2)"},
      {{.header = 124, .compression = 1}, "compressed (method 1)"},
      {{.header = 12}, "a header of 12 bytes"},
      {{.header = 125}, "a header of 125 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(read(c.fields), 0);
    EXPECT_STREQ(image_.failure, c.why);
    EXPECT_EQ(image_.pixels, nullptr);
  }
}

// What stands in a bitmap's place is named, and nothing that could block is waited on (a FIFO
// without a writer would hang the test here).
TEST_F(BmpReaderTest, WhatIsNoBitmapFileIsNamedAtOnce) {
  const std::string folder = dir_ + "/folder.bmp", fifo = dir_ + "/fifo.bmp", huge = dir_ + "/huge.bmp";
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::copy_file(write(bmp_bytes({})), huge);
  std::filesystem::resize_file(huge, std::uintmax_t{10} << 30);  // sparse: 10 GiB that take no room
  const struct {
    std::string path;
    const char* why;
  } cases[] = {
      {folder, "a folder, not a file"},
      {fifo, "a FIFO, not a file"},
      {"/dev/null", "a device, not a file"},
      {huge, "10737418240 bytes, too large for a bitmap"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(read_bmp(&image_, c.path.c_str()), 0);
    EXPECT_STREQ(image_.failure, c.why);
  }
}

// A file it may not read says so, not "not found". Root reads everything, so the reader runs in
// a child that is nobody when the test runs as root.
TEST_F(BmpReaderTest, AFileThatMayNotBeReadSaysSo) {
  const std::string path = write(bmp_bytes({}));
  std::filesystem::permissions(path, std::filesystem::perms::none);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && setresuid(65534, 65534, 65534) != 0) _exit(3);
    _exit(read_bmp(&image_, path.c_str()) == 0 && std::strcmp(image_.failure, "no permission to read it") == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another reason; 3: could not become nobody";
}

TEST(FlipRows, ReversesTheRowOrder) {
  std::uint8_t single = 42;
  EXPECT_EQ(flip_rows(&single, 1, 1), 1);
  EXPECT_EQ(single, 42);

  std::vector<std::uint8_t> square(64 * 64);
  for (std::size_t i = 0; i < square.size(); ++i) square[i] = static_cast<std::uint8_t>(i / 64 * 3 + i % 64);
  const std::vector<std::uint8_t> before = square;
  EXPECT_EQ(flip_rows(square.data(), 64, 0), 1);
  EXPECT_EQ(square, before);
  EXPECT_EQ(flip_rows(square.data(), 64, 64), 1);
  for (int row = 0; row < 64; ++row) {
    EXPECT_TRUE(std::equal(square.begin() + row * 64, square.begin() + row * 64 + 64, before.begin() + (63 - row) * 64))
        << "row " << row;
  }
}

}  // namespace
