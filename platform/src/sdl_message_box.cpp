// The desktop's message boxes: drawn by the game over its own picture, answered with Return,
// Space, Escape or a click on OK.

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/keys.h"
#include "platform/message_box_picture.h"
#include "platform/sdl_backend.h"
#include "sdl_input.h"

namespace platform {

bool SdlBackend::box_answered(const MessageBoxPicture& box, const SDL_Event& event, int pressed) const {
  if (MessageBoxPicture::answered_by(pressed)) return true;
  if (event.type == SDL_KEYDOWN) return event.key.repeat == 0 && event.key.keysym.sym == SDLK_KP_ENTER;
  if (event.type != SDL_MOUSEBUTTONUP || event.button.button != SDL_BUTTON_LEFT) return false;
  // From the window's points to the renderer's pixels, then into the picture.
  int window_width = 1, window_height = 1, output_width = 1, output_height = 1;
  SDL_GetWindowSize(window_, &window_width, &window_height);
  SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
  const ScreenRect fit = fit_picture(output_width, output_height, texture_width_, texture_height_);
  const int x = event.button.x * output_width / window_width - fit.x;
  const int y = event.button.y * output_height / window_height - fit.y;
  if (x < 0 || y < 0 || fit.width <= 0 || fit.height <= 0) return false;
  return box.on_ok_button(x * texture_width_ / fit.width, y * texture_height_ / fit.height);
}

void SdlBackend::message_box(const char* text, const char* caption) {
  std::fprintf(stderr, "rink: %s: %s\n", caption, text);
  // Nobody could see or answer a box in no window, or in one that draws nowhere.
  if (renderer_ == nullptr || draws_nowhere_ || close_requested_ || !make_texture(picture_width, picture_height)) {
    return;
  }
  const bool shown_before = picture_.width() == picture_width && picture_.height() == picture_height;
  const MessageBoxPicture box(text, caption, picture_width, picture_height);
  std::vector<std::uint32_t> shown = box.over(picture_);
  SDL_ShowCursor(SDL_ENABLE);
  SDL_RaiseWindow(window_);
  bool visible = upload_whole(shown.data()) && show_texture();

  SDL_Event event;
  while (visible && wait_for_event() && SDL_PollEvent(&event)) {
    if (box_answered(box, event, handle_event(event))) break;
  }
  input_->forget_presses();  // what answered the box is not the game's
  if (renderer_ == nullptr) return;
  if (shown_before) {
    upload_whole(picture_.pixels());
  } else {
    std::fill(shown.begin(), shown.end(), 0);
    upload_whole(shown.data());
  }
  show_texture();
  SDL_ShowCursor(cursor_shown_ ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace platform
