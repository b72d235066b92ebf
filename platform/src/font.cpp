// The platform's default font: DejaVu Sans Bold at 13 points, found through fontconfig and
// rendered unsmoothed once, so that drawing text later only copies prepared glyph masks.

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "objects.h"

namespace platform {

namespace {

constexpr char font_family[] = "DejaVu Sans";
constexpr char font_pattern[] = "DejaVu Sans:style=Bold";
constexpr int font_points = 13;
constexpr unsigned char first_glyph = 32;
constexpr unsigned char last_glyph = 126;

std::array<Glyph, last_glyph - first_glyph + 1> glyphs;
bool glyphs_ready = false;

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
  FcFini();  // the font is looked up once; nothing else of the program uses fontconfig
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

bool render_glyphs(const std::string& file) {
  if (TTF_Init() != 0) return false;
  TTF_Font* font = TTF_OpenFont(file.c_str(), font_points);
  if (font == nullptr) {
    TTF_Quit();
    return false;
  }
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  for (unsigned c = first_glyph; c <= last_glyph; ++c) take_glyph(font, static_cast<unsigned char>(c), glyphs[c - first_glyph]);
  TTF_CloseFont(font);
  TTF_Quit();
  return true;
}

}  // namespace

bool prepare_default_font() {
  if (glyphs_ready) return true;
  const std::string file = find_font_file();
  if (file.empty()) {
    set_last_error("the default font DejaVu Sans Bold was not found through fontconfig "
                   "(Debian package fonts-dejavu-core)");
    return false;
  }
  if (!render_glyphs(file)) {
    char text[300];
    std::snprintf(text, sizeof text, "the default font %s could not be rendered", file.c_str());
    set_last_error(text);
    return false;
  }
  glyphs_ready = true;
  return true;
}

const Glyph* glyph_for(unsigned char c) {
  if (!glyphs_ready || c < first_glyph || c > last_glyph) return nullptr;
  return &glyphs[c - first_glyph];
}

}  // namespace platform
