#pragma once
// The tools' file writers: little-endian fields, whatever the machine, gathered in memory and
// written in one go.

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tools {

class ByteWriter {
 public:
  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  // Four characters of a file's tag ("RIFF", "fmt ").
  void tag(const char (&text)[5]) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(text[i]));
  }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

  // False when the file cannot be written whole.
  bool save(const char* path) const {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    return std::fclose(file) == 0 && written;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace tools
