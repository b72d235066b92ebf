#include "platform/modal_waits.h"

#include <vector>

#include "platform/message_box_picture.h"
#include "platform/window_events.h"

namespace platform {

namespace {

// The longest one wait lasts before the routine looks again.
constexpr int wait_ms = 250;

bool answers(const MessageBoxPicture& box, const InputEvent& input) {
  switch (input.kind) {
    case InputEvent::Kind::key_down: return !input.repeat && MessageBoxPicture::answered_by(input.vk);
    case InputEvent::Kind::click: return box.on_ok_button(input.x, input.y);
    case InputEvent::Kind::window_gone: return true;
    case InputEvent::Kind::none: return false;
  }
  return false;
}

}  // namespace

void run_message_box(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last, const char* text,
                     const char* caption) {
  const MessageBoxPicture box(text, caption, picture_width, picture_height);
  std::vector<std::uint32_t> shown = box.over(last);
  if (!screen.show_picture(shown.data(), picture_width, picture_height)) return;
  InputEvent input;
  do {
    input = screen.next_input(wait_ms);
  } while (!answers(box, input));
  keys.forget_presses();
  if (input.kind == InputEvent::Kind::key_down) keys.mask_until_released(input.vk);
  if (input.kind == InputEvent::Kind::window_gone) return;
  if (last.width() == picture_width && last.height() == picture_height) {
    screen.show_picture(last.pixels(), picture_width, picture_height);
  } else {
    shown.assign(shown.size(), 0);
    screen.show_picture(shown.data(), picture_width, picture_height);
  }
}

void stand_still_while_paused(PlayerScreen& screen) {
  while (game_paused() && !session_over()) screen.next_input(wait_ms);
}

}  // namespace platform
