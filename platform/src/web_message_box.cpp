// The browser's message boxes: drawn by the game over its own picture in the canvas, answered
// as every backend's are (modal_box.h) while the page sleeps.

#include <cstdio>

#include "platform/web_backend.h"

namespace platform {

void WebBackend::message_box(const char* text, const char* caption) {
  std::fprintf(stderr, "rink: %s: %s\n", caption, text);
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
  InputEvent input = inputs_.take();
  if (input.kind != InputEvent::Kind::none) return input;
  wait_for_input(milliseconds);
  return inputs_.take();
}

}  // namespace platform
