// The desktop's side of the shared waits (modal_waits.h): message boxes drawn by the game over
// its own picture in its window, and the next input taken from SDL's queue.

#include <SDL2/SDL.h>

#include "platform/modal_waits.h"
#include "platform/sdl_backend.h"
#include "platform/window_events.h"
#include "sdl_input.h"

namespace platform {

void SdlBackend::message_box(const char* text, const char* caption) {
  // Nobody could see or answer a box in no window, or in one that draws nowhere.
  if (renderer_ == nullptr || draws_nowhere_ || window_gone() || !make_texture(picture_width, picture_height)) {
    return;
  }
  SDL_ShowCursor(SDL_ENABLE);
  SDL_RaiseWindow(window_);
  run_message_box(*this, input_->keys(), picture_, text, caption);
  SDL_ShowCursor(cursor_shown_ ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlBackend::show_picture(const std::uint32_t* pixels, int width, int height) {
  return renderer_ != nullptr && make_texture(width, height) && upload_whole(pixels) && show_texture();
}

// From the window's points to the renderer's pixels, then into the picture.
SDL_Point SdlBackend::picture_point(int x, int y) const {
  int window_width = 1, window_height = 1, output_width = 1, output_height = 1;
  SDL_GetWindowSize(window_, &window_width, &window_height);
  SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
  const ScreenRect fit = fit_picture(output_width, output_height, texture_width_, texture_height_);
  const int inside_x = x * output_width / window_width - fit.x;
  const int inside_y = y * output_height / window_height - fit.y;
  if (inside_x < 0 || inside_y < 0 || fit.width <= 0 || fit.height <= 0) return {-1, -1};
  return {inside_x * texture_width_ / fit.width, inside_y * texture_height_ / fit.height};
}

InputEvent SdlBackend::next_input(int milliseconds) {
  SDL_Event event;
  if (window_gone()) return {InputEvent::Kind::window_gone};
  if (!SDL_WaitEventTimeout(&event, milliseconds)) return {};
  const int pressed = handle_event(event);
  if (window_gone()) return {InputEvent::Kind::window_gone};
  if (pressed != 0) return {InputEvent::Kind::key_down, pressed};
  if (event.type != SDL_MOUSEBUTTONUP || event.button.button != SDL_BUTTON_LEFT) return {};
  const SDL_Point at = picture_point(event.button.x, event.button.y);
  return {InputEvent::Kind::click, 0, false, at.x, at.y};
}

}  // namespace platform
