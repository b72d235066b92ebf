#include "draw_log.h"

#include <cstdio>

namespace {
// A CSV field in double quotes; a quote inside is doubled.
std::string quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"') out += '"';
    out += *c;
  }
  return out + '"';
}
}  // namespace

void DrawLog::on_background() { lines_.emplace_back("background"); }

void DrawLog::on_sprite(SpriteId id, int x, int y) {
  lines_.push_back("blit," + std::string(sprite_name(id)) + "," + std::to_string(x) + "," + std::to_string(y));
}

void DrawLog::on_puck(int x, int y) { lines_.push_back("puck," + std::to_string(x) + "," + std::to_string(y)); }

void DrawLog::on_text(int x, int y, ColorRef colour, const char* text) {
  // COLORREF is 0x00BBGGRR; the log shows RRGGBB.
  char rgb[8];
  std::snprintf(rgb, sizeof rgb, "%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  lines_.push_back("text," + std::to_string(x) + "," + std::to_string(y) + "," + rgb + "," + quoted(text));
}

void DrawLog::on_present() { lines_.emplace_back("present"); }

void DrawLog::on_message(const char* text, const char* caption) {
  lines_.push_back("message," + quoted(text) + "," + quoted(caption));
}
