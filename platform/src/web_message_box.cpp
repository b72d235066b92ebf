// The browser's message boxes: drawn by the game over its own picture in the canvas, answered
// with Return, Space, Escape or a click on OK while the page sleeps.

#include <cstdio>
#include <vector>

#include "platform/message_box_picture.h"
#include "platform/web_backend.h"

namespace platform {

void WebBackend::message_box(const char* text, const char* caption) {
  std::fprintf(stderr, "rink: %s: %s\n", caption, text);
  if (!window_open_) return;  // the game has ended: nobody would see the box

  const MessageBoxPicture box(text, caption, picture_width, picture_height);
  show_whole(box.over(picture_).data(), picture_width, picture_height);
  const char* state_before = state_;
  set_state("waiting");
  set_canvas_cursor(true);
  box_ = &box;
  box_answered_ = false;
  while (!box_answered_) wait_for_input(idle_ms);
  box_ = nullptr;

  if (picture_.width() == picture_width && picture_.height() == picture_height) {
    show_whole(picture_.pixels(), picture_width, picture_height);
  } else {
    const std::vector<std::uint32_t> black(static_cast<std::size_t>(picture_width) * picture_height, 0);
    show_whole(black.data(), picture_width, picture_height);
  }
  set_canvas_cursor(cursor_shown_);
  set_state(state_before);
}

}  // namespace platform
