#include "platform/modal_waits.h"

#include <vector>

#include "panel.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "platform/sound_output.h"
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

// What the screen shows while the player's pause lasts: "Paused" in a box in the middle of
// `last` (of black when nothing of the picture's size was shown yet).
std::vector<std::uint32_t> paused_picture(const TruePicture& last) {
  std::vector<std::uint32_t> shown = copy_of(last, picture_width, picture_height);
  const std::string text = "Paused";
  constexpr int padding = 12;
  const int width = width_of(text) + 2 * padding, height = Glyph::line_height + 2 * padding;
  const int left = (picture_width - width) / 2, top = (picture_height - height) / 2;
  const Rect box{left, top, left + width, top + height};
  const Panel panel(shown.data(), picture_width, picture_height);
  panel.fill(box, panel_body_colour);
  panel.outline(box, panel_frame_colour);
  panel.write(left + padding, top + padding, text, panel_text_colour, box);
  return shown;
}

// The player's pause is the player's own, not one of the game's waits: Escape ends the session
// from it as it does from play. (A window that merely lost the focus hears no keys.)
bool quits_the_pause(const InputEvent& input) {
  return input.kind == InputEvent::Kind::key_down && input.vk == vk_escape && paused_by_player();
}

// The last picture, with the pause's notice over it or without.
void show_last(PlayerScreen& screen, const TruePicture& last, bool with_notice) {
  const std::vector<std::uint32_t> shown =
      with_notice ? paused_picture(last) : copy_of(last, picture_width, picture_height);
  screen.show_picture(shown.data(), picture_width, picture_height);
}

}  // namespace

MessageBoxWait::MessageBoxWait(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last, const char* text,
                               const char* caption)
    : screen_(screen), keys_(keys), last_(last), box_(text, caption, picture_width, picture_height) {
  const std::vector<std::uint32_t> shown = box_.over(last);
  answered_ = !screen.show_picture(shown.data(), picture_width, picture_height);
}

bool MessageBoxWait::take(const InputEvent& input) {
  if (answered_ || !answers(box_, input)) return answered_;
  answered_ = true;
  keys_.forget_presses();
  if (input.kind == InputEvent::Kind::key_down) keys_.mask_until_released(input.vk);
  if (input.kind != InputEvent::Kind::window_gone) show_last(screen_, last_, false);
  return true;
}

void run_message_box(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last, const char* text,
                     const char* caption) {
  MessageBoxWait box(screen, keys, last, text, caption);
  while (!box.answered()) box.take(screen.next_input(wait_ms));
}

bool PauseWait::begin() {
  if (!game_paused() || session_over()) return false;
  sound_output().hold(true);
  report_standing_still(true);
  look();
  return true;
}

void PauseWait::look() {
  by_player_ = by_player_ || paused_by_player();
  if (paused_by_player() != notice_shown_) show_last(screen_, last_, notice_shown_ = !notice_shown_);
}

bool PauseWait::take(const InputEvent& input) {
  if (quits_the_pause(input)) report_close_request();
  if (game_paused() && !session_over()) {
    look();
    return false;
  }
  end();
  return true;
}

void PauseWait::end() {
  if (notice_shown_ && !session_over()) show_last(screen_, last_, false);
  if (by_player_) keys_.forget_presses();
  sound_output().hold(false);
  report_standing_still(false);
}

void stand_still_while_paused(PlayerScreen& screen, KeyLatch& keys, const TruePicture& last) {
  PauseWait pause(screen, keys, last);
  if (!pause.begin()) return;
  while (!pause.take(screen.next_input(wait_ms))) {
  }
}

}  // namespace platform
