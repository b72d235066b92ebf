// rink-bake-glyphs OUT.cpp: renders the default font's glyphs once, at build time, and writes
// them as a C++ table that the platform compiles in. DejaVu Sans Bold is found through
// fontconfig and rendered by SDL_ttf at 13 points with monochrome hinting, unsmoothed.

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "font.h"

namespace {

using platform::Glyph;

constexpr char font_family[] = "DejaVu Sans";
constexpr char font_pattern[] = "DejaVu Sans:style=Bold";
constexpr int font_points = 13;

using GlyphTable = std::array<Glyph, platform::glyph_count>;

// The file of DejaVu Sans Bold, or "" when fontconfig does not know it.
std::string find_font_file() {
  if (!FcInit()) return "";
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(font_pattern));
  if (pattern == nullptr) return "";
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  FcChar8* family = nullptr;
  FcChar8* path = nullptr;
  int weight = 0;
  if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
      FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch &&
      std::strcmp(reinterpret_cast<const char*>(family), font_family) == 0 && weight >= FC_WEIGHT_BOLD) {
    file = reinterpret_cast<const char*>(path);
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  FcFini();
  return file;
}

// Copies one rendered glyph (one byte per pixel, non-zero = ink) into its mask.
void take_glyph(TTF_Font* font, unsigned char c, Glyph& glyph) {
  int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  TTF_GlyphMetrics32(font, c, &min_x, &max_x, &min_y, &max_y, &glyph.advance);
  const SDL_Color white{255, 255, 255, 255};
  SDL_Surface* rendered = TTF_RenderGlyph32_Solid(font, c, white);
  if (rendered == nullptr) return;
  const int rows = std::min(rendered->h, Glyph::line_height);
  const int columns = std::min(rendered->w, Glyph::max_width);
  for (int y = 0; y < rows; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(rendered->pixels) + y * rendered->pitch;
    for (int x = 0; x < columns; ++x) {
      if (row[x] != 0) glyph.rows[y] |= 1u << x;
    }
  }
  SDL_FreeSurface(rendered);
}

bool render_glyphs(const std::string& file, GlyphTable& glyphs) {
  if (TTF_Init() != 0) return false;
  TTF_Font* font = TTF_OpenFont(file.c_str(), font_points);
  if (font == nullptr) {
    TTF_Quit();
    return false;
  }
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  for (int i = 0; i < platform::glyph_count; ++i) {
    take_glyph(font, static_cast<unsigned char>(platform::first_glyph + i), glyphs[i]);
  }
  TTF_CloseFont(font);
  TTF_Quit();
  return true;
}

bool write_table(std::FILE* out, const std::string& font_file, const GlyphTable& glyphs) {
  std::fprintf(out,
               "// Written by rink-bake-glyphs from %s at %d points: do not edit.\n"
               "#include \"font.h\"\n\n"
               "namespace platform {\n\n"
               "const std::array<Glyph, glyph_count> baked_glyphs = {{\n",
               font_file.c_str(), font_points);
  for (int i = 0; i < platform::glyph_count; ++i) {
    std::fprintf(out, "    {%d, {{", glyphs[i].advance);
    for (int row = 0; row < Glyph::line_height; ++row) {
      std::fprintf(out, "%s0x%x", row == 0 ? "" : ", ", glyphs[i].rows[row]);
    }
    const char c = static_cast<char>(platform::first_glyph + i);
    std::fprintf(out, "}}},  // %s\n", c == '\\' ? "backslash" : std::string(1, c).c_str());
  }
  std::fputs("}};\n\n}  // namespace platform\n", out);
  return std::ferror(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: rink-bake-glyphs OUT.cpp\n", stderr);
    return 2;
  }
  const std::string file = find_font_file();
  if (file.empty()) {
    std::fputs("rink-bake-glyphs: the default font DejaVu Sans Bold was not found through fontconfig "
               "(Debian package fonts-dejavu-core)\n", stderr);
    return 1;
  }
  GlyphTable glyphs{};
  if (!render_glyphs(file, glyphs)) {
    std::fprintf(stderr, "rink-bake-glyphs: the default font %s could not be rendered\n", file.c_str());
    return 1;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  const bool written = out != nullptr && write_table(out, file, glyphs);
  if (out == nullptr || std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "rink-bake-glyphs: cannot write '%s'\n", argv[1]);
    return 1;
  }
  return 0;
}
