// rink-bake-glyphs OUT.cpp: renders the default font's glyphs and writes them as the C++ table
// that the platform compiles in (platform/core/src/baked_glyphs.cpp, written again by `make glyphs`).
// DejaVu Sans Bold is found through fontconfig and rendered by SDL_ttf at 13 points with
// monochrome hinting, unsmoothed. The table names the versions it was baked with, since another
// FreeType or DejaVu release may draw a glyph differently.

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/font.h"

namespace {

using platform::Glyph;

constexpr char font_family[] = "DejaVu Sans";
constexpr char font_pattern[] = "DejaVu Sans:style=Bold";
constexpr int font_points = 13;
// The exit code when the font is not installed: nothing to bake here (CTest counts it as skipped).
constexpr int no_font = 77;

using GlyphTable = std::array<Glyph, platform::glyph_count>;

struct FontFile {
  std::string path;  // "" when fontconfig does not know the font
  int version = 0;   // the font's revision, 16.16 fixed point
};

FontFile find_font_file() {
  if (!FcInit()) return {};
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(font_pattern));
  if (pattern == nullptr) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FontFile file;
  FcChar8* family = nullptr;
  FcChar8* path = nullptr;
  int weight = 0;
  if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
      FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch &&
      std::strcmp(reinterpret_cast<const char*>(family), font_family) == 0 && weight >= FC_WEIGHT_BOLD) {
    file.path = reinterpret_cast<const char*>(path);
    FcPatternGetInteger(match, FC_FONTVERSION, 0, &file.version);
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

// The versions behind the table, as one comment line (SDL_ttf tells FreeType's once started).
std::string baked_with(const FontFile& font) {
  int major = 0, minor = 0, patch = 0;
  TTF_GetFreeTypeVersion(&major, &minor, &patch);
  const SDL_version* ttf = TTF_Linked_Version();
  char line[160];
  std::snprintf(line, sizeof line, "// Baked with: DejaVu Sans Bold %.2f, FreeType %d.%d.%d, SDL_ttf %d.%d.%d\n",
                font.version / 65536.0, major, minor, patch, ttf->major, ttf->minor, ttf->patch);
  return line;
}

bool render_glyphs(const FontFile& file, GlyphTable& glyphs, std::string& versions) {
  if (TTF_Init() != 0) return false;
  versions = baked_with(file);
  TTF_Font* font = TTF_OpenFont(file.path.c_str(), font_points);
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

bool write_table(std::FILE* out, const std::string& versions, const GlyphTable& glyphs) {
  std::fprintf(out,
               "// DejaVu Sans Bold at %d points, unsmoothed: the default font's glyphs, written by\n"
               "// rink-bake-glyphs (make glyphs). Do not edit by hand.\n"
               "%s"
               "// The glyphs are the DejaVu fonts' (Bitstream Vera licence, see LICENSE.fonts).\n"
               "#include \"platform/font.h\"\n\n"
               "namespace platform {\n\n"
               "const std::array<Glyph, glyph_count> baked_glyphs = {{\n",
               font_points, versions.c_str());
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
  const FontFile font = find_font_file();
  if (font.path.empty()) {
    std::fputs("rink-bake-glyphs: the default font DejaVu Sans Bold was not found through fontconfig "
               "(Debian package fonts-dejavu-core)\n", stderr);
    return no_font;
  }
  GlyphTable glyphs{};
  std::string versions;
  if (!render_glyphs(font, glyphs, versions)) {
    std::fprintf(stderr, "rink-bake-glyphs: the default font %s could not be rendered\n", font.path.c_str());
    return 1;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  const bool written = out != nullptr && write_table(out, versions, glyphs);
  if (out == nullptr || std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "rink-bake-glyphs: cannot write '%s'\n", argv[1]);
    return 1;
  }
  return 0;
}
