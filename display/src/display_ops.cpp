#include "display/display_ops.h"

#include <cstdio>
#include <cstring>

#include "display/draw_observer.h"
#include "display/startup.h"
#include "platform/gdi.h"
#include "platform/system.h"
#include "text_context.h"

namespace {

DrawObserver* observer = nullptr;
platform::DeviceContext* text_context = nullptr;

// A sprite image shows its top-left 63 by 63 pixels; the last row and column never do.
constexpr int sprite_span = 63;
constexpr int puck_source_span = 15;
constexpr int puck_span = 9;

bool blit_keyed(platform::Surface* source, const platform::Rect& from, const platform::Rect& to) {
  return !platform::failed(
      platform::blt(display.back_buffer, &to, source, &from, platform::ddblt_wait | platform::ddblt_keysrc, nullptr));
}

// A sprite image's visible part with its top-left corner at (x, y).
bool blit_image(platform::Surface* image, int x, int y) {
  return blit_keyed(image, {0, 0, sprite_span, sprite_span}, {x, y, x + sprite_span, y + sprite_span});
}

}  // namespace

void set_draw_observer(DrawObserver* watcher) { observer = watcher; }

void drop_text_context() {
  if (text_context == nullptr) return;
  platform::release_dc(display.back_buffer, text_context);
  text_context = nullptr;
}

bool key_down(int vk) { return (platform::get_async_key_state(vk) & 0x8000) != 0; }

bool blit_background() {
  if (observer) observer->on_background();
  const platform::Rect area{0, 0, 639, 479};
  return !platform::failed(platform::blt(display.back_buffer, &area, display.rink, &area, platform::ddblt_wait, nullptr));
}

bool blit_sprite(SpriteId id, int x, int y) {
  if (observer) observer->on_sprite(id, x, y);
  return blit_image(display.sprites[sprite_index(id)], x, y);
}

bool blit_second_skater(SpriteId id, int x, int y) {
  if (observer) observer->on_sprite(id, x, y);
  platform::Surface* copy = display.second_team[sprite_index(id)];
  return blit_image(copy != nullptr ? copy : display.sprites[sprite_index(id)], x, y);
}

bool blit_puck(int x, int y) {
  if (observer) observer->on_puck(x, y);
  return blit_keyed(display.sprites[sprite_index(SpriteId::puck)], {0, 0, puck_source_span, puck_source_span},
                    {x, y, x + puck_span, y + puck_span});
}

bool draw_text(int x, int y, ColorRef colour, const char* text) {
  if (observer) observer->on_text(x, y, colour, text);
  if (text_context == nullptr) {
    if (platform::failed(platform::get_dc(display.back_buffer, &text_context))) {
      text_context = nullptr;
      return false;
    }
    platform::set_bk_mode(text_context, platform::bk_transparent);
  }
  platform::set_text_color(text_context, colour);
  platform::text_out(text_context, x, y, text, static_cast<int>(std::strlen(text)));
  return true;
}

void present_frame() {
  if (observer) observer->on_present();
  drop_text_context();
  if (display.primary == nullptr) return;  // nothing to show before a display exists
  while (platform::failed(platform::flip(display.primary, nullptr, platform::ddflip_wait))) {
  }
}

// The one place that writes a box's line on standard error, whatever the backend.
void show_message(const char* text, const char* caption, const char* detail) {
  if (observer) observer->on_message(text, caption);
  if (detail != nullptr) {
    std::fprintf(stderr, "rink: %s: %s: %s\n", caption, text, detail);
  } else {
    std::fprintf(stderr, "rink: %s: %s\n", caption, text);
  }
  platform::message_box(display.window, text, caption, platform::mb_ok);
}

void hide_cursor() { platform::show_cursor(false); }

void request_close() { platform::send_message(display.window, platform::wm_close, 0, 0); }

bool wait_for_key(int vk) {
  while (!key_down(vk)) {
    if (!platform::idle_between_polls(vk)) return false;
  }
  return true;
}

void pause_ms(int milliseconds) { platform::sleep_ms(static_cast<std::uint32_t>(milliseconds)); }

int random_next() { return platform::random_next(); }
