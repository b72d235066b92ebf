// The desktop's side of the shared waits (modal_waits.h): message boxes drawn by the game over
// its own picture in its window, and the next input taken from SDL's queue.

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/modal_waits.h"
#include "platform/sdl_backend.h"
#include "platform/window_events.h"
#include "sdl_input.h"
#include "sdl_presenters.h"

namespace platform {

void SdlBackend::message_box(const char* text, const char* caption) {
  // Nobody could see or answer a box in no window, or in one that draws nowhere.
  if (presenter_ == nullptr || draws_nowhere_ || window_gone()) return;
  SDL_ShowCursor(SDL_ENABLE);
  SDL_RaiseWindow(window_);
  run_message_box(*this, input_->keys(), picture_, text, caption);
  SDL_ShowCursor(cursor_shown_ ? SDL_ENABLE : SDL_DISABLE);
}

// Kept here, so that an expose can show it again after the wait's own copy has gone.
bool SdlBackend::show_picture(const std::uint32_t* pixels, int width, int height) {
  if (presenter_ == nullptr) return false;
  shown_.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
  return presenter_->show(shown_.data(), width, height, {true, nullptr, 0});
}

// From the window's points to its pixels, then through the picture's placement into the
// picture (the box is the picture's size).
SDL_Point SdlBackend::picture_point(int x, int y) const {
  int window_width = 1, window_height = 1;
  SDL_GetWindowSize(window_, &window_width, &window_height);
  const SDL_Point output = presenter_->output_size();
  const ScreenRect place = presenter_->placement();
  const int inside_x = x * output.x / std::max(window_width, 1) - place.x;
  const int inside_y = y * output.y / std::max(window_height, 1) - place.y;
  if (inside_x < 0 || inside_y < 0 || place.width <= 0 || place.height <= 0) return {-1, -1};
  return {inside_x * picture_width / place.width, inside_y * picture_height / place.height};
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
