#include "display/display_ops.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "display/draw_observer.h"
#include "display/startup.h"
#include "platform/gdi.h"
#include "platform/system.h"

namespace {

// A sprite image shows its top-left 63 by 63 pixels; the last row and column never do.
constexpr int sprite_span = 63;
constexpr int puck_source_span = 15;
constexpr int puck_span = 9;

bool blit_keyed(Canvas& canvas, platform::Surface* source, const platform::Rect& from, const platform::Rect& to) {
  return !platform::failed(
      platform::blt(canvas.back_buffer, &to, source, &from, platform::ddblt_wait | platform::ddblt_keysrc, nullptr));
}

// A sprite image's visible part with its top-left corner at (x, y).
bool blit_image(Canvas& canvas, platform::Surface* image, int x, int y) {
  return blit_keyed(canvas, image, {0, 0, sprite_span, sprite_span}, {x, y, x + sprite_span, y + sprite_span});
}

// The one place that writes a box's line on standard error, whatever the backend.
void write_message_line(const char* text, const char* caption, const char* detail) {
  if (detail != nullptr) {
    std::fprintf(stderr, "rink: %s: %s: %s\n", caption, text, detail);
  } else {
    std::fprintf(stderr, "rink: %s: %s\n", caption, text);
  }
}

}  // namespace

Canvas canvas_of(const DisplayContext& display, DrawObserver* observer) {
  return Canvas{&display, display.back_buffer, display.primary, observer, nullptr, {}};
}

void release_text(Canvas& canvas) {
  if (canvas.text_context == nullptr) return;
  platform::release_dc(canvas.back_buffer, canvas.text_context);
  canvas.text_context = nullptr;
}

bool copy_picture(Canvas& into, const Canvas& from) {
  if (into.back_buffer == from.back_buffer) return true;
  platform::SurfaceDesc target;
  platform::SurfaceDesc source;
  if (platform::failed(platform::lock(into.back_buffer, nullptr, &target, platform::ddlock_wait))) return false;
  const bool locked = !platform::failed(platform::lock(from.back_buffer, nullptr, &source, platform::ddlock_wait));
  if (locked) {
    const auto width = static_cast<std::size_t>(std::min(target.width, source.width));
    for (int row = 0; row < std::min(target.height, source.height); ++row) {
      std::memcpy(target.memory + static_cast<std::ptrdiff_t>(row) * target.pitch,
                  source.memory + static_cast<std::ptrdiff_t>(row) * source.pitch, width);
    }
    platform::unlock(from.back_buffer, nullptr);
  }
  platform::unlock(into.back_buffer, nullptr);
  return locked;
}

bool blit_background(Canvas& canvas) {
  if (canvas.observer) canvas.observer->on_background();
  const platform::Rect area{0, 0, 639, 479};
  return !platform::failed(
      platform::blt(canvas.back_buffer, &area, canvas.display->rink, &area, platform::ddblt_wait, nullptr));
}

bool blit_sprite(Canvas& canvas, SpriteId id, int x, int y) {
  if (canvas.observer) canvas.observer->on_sprite(id, x, y);
  return blit_image(canvas, canvas.display->sprites[sprite_index(id)], x, y);
}

bool blit_second_skater(Canvas& canvas, SpriteId id, int x, int y) {
  if (canvas.observer) canvas.observer->on_sprite(id, x, y);
  platform::Surface* copy = canvas.display->second_team[sprite_index(id)];
  return blit_image(canvas, copy != nullptr ? copy : canvas.display->sprites[sprite_index(id)], x, y);
}

bool blit_puck(Canvas& canvas, int x, int y) {
  if (canvas.observer) canvas.observer->on_puck(x, y);
  return blit_keyed(canvas, canvas.display->sprites[sprite_index(SpriteId::puck)],
                    {0, 0, puck_source_span, puck_source_span}, {x, y, x + puck_span, y + puck_span});
}

bool draw_text(Canvas& canvas, int x, int y, ColorRef colour, const char* text) {
  if (canvas.observer) canvas.observer->on_text(x, y, colour, text);
  if (canvas.text_context == nullptr) {
    if (platform::failed(platform::get_dc(canvas.back_buffer, &canvas.text_context))) {
      canvas.text_context = nullptr;
      return false;
    }
    platform::set_bk_mode(canvas.text_context, platform::bk_transparent);
  }
  platform::set_text_color(canvas.text_context, colour);
  platform::text_out(canvas.text_context, x, y, text, static_cast<int>(std::strlen(text)));
  return true;
}

void present_frame(Canvas& canvas) {
  if (canvas.observer) canvas.observer->on_present();
  release_text(canvas);
  if (canvas.screen == nullptr) return;  // nothing to show before a display exists, or for a copy
  while (platform::failed(platform::flip(canvas.screen, nullptr, platform::ddflip_wait))) {
  }
}

void ask_message(Canvas& canvas, const char* text, const char* caption) {
  if (canvas.observer) canvas.observer->on_message(text, caption);
  write_message_line(text, caption, nullptr);
  canvas.asked = {text, caption};
}

void show_asked_message(Canvas& canvas) {
  if (canvas.asked.text == nullptr) return;
  const AskedMessage asked = canvas.asked;
  canvas.asked = {};
  platform::message_box(canvas.display->window, asked.text, asked.caption, platform::mb_ok);
}

void show_message(const DisplayContext& display, const char* text, const char* caption, const char* detail) {
  if (display.observer) display.observer->on_message(text, caption);
  write_message_line(text, caption, detail);
  platform::message_box(display.window, text, caption, platform::mb_ok);
}
