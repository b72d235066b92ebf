// The browser's side of the shared waits (modal_waits.h): message boxes drawn by the game over
// its own picture in the canvas, and the page's inputs taken from their queue while it sleeps.

#include "platform/modal_waits.h"
#include "platform/web_backend.h"

namespace platform {

void WebBackend::message_box(const char* text, const char* caption) {
  if (!window_open_) return;  // the game has ended: nobody would see the box

  const char* state_before = state_;
  set_state("waiting");
  set_canvas_cursor(true);
  inputs_.clear();  // what came before the box does not answer it
  run_message_box(*this, keys_, picture_, text, caption);
  set_canvas_cursor(cursor_shown_);
  set_state(state_before);
}

bool WebBackend::show_picture(const std::uint32_t* pixels, int width, int height) {
  show(pixels, width, height, {0, 0, width, height});
  return true;
}

InputEvent WebBackend::next_input(int milliseconds) {
  if (!window_open_) return {InputEvent::Kind::window_gone};
  InputEvent input = inputs_.take();
  if (input.kind != InputEvent::Kind::none) return input;
  wait_for_input(milliseconds);
  return inputs_.take();
}

}  // namespace platform
