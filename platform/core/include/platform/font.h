#pragma once
// The platform's default font: DejaVu Sans Bold at 13 points, unsmoothed. Its glyph masks are
// rendered once by rink-bake-glyphs (tools/glyphs/, make glyphs) and compiled into the
// program, so every backend draws the same text and none needs a font library at run time.

#include <array>
#include <cstdint>

namespace platform {

struct Glyph {
  static constexpr int max_width = 24;
  static constexpr int line_height = 16;
  int advance = 0;
  // Rows of the 16-pixel line, top first; bit x of a row is column x.
  std::array<std::uint32_t, line_height> rows{};
};

// The printable ASCII characters have glyphs.
constexpr unsigned char first_glyph = 32;
constexpr unsigned char last_glyph = 126;
constexpr int glyph_count = last_glyph - first_glyph + 1;

// Written by rink-bake-glyphs into the build tree.
extern const std::array<Glyph, glyph_count> baked_glyphs;

// The glyph of a printable ASCII character, or null.
inline const Glyph* glyph_for(unsigned char c) {
  if (c < first_glyph || c > last_glyph) return nullptr;
  return &baked_glyphs[c - first_glyph];
}

}  // namespace platform
