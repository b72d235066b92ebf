// The page's loop: the browser calls it back (a timeout at a time), and each call runs what is
// due, in this order: a box the game asked for, the game's end, the pause, the game's next pass.
// Boxes and the pause are drawn and answered by the same routines as on the desktop
// (modal_waits.h), each input handed to them as the page's events bring it.

#include <emscripten.h>
#include <emscripten/eventloop.h>

#include "platform/modal_waits.h"
#include "platform/web_backend.h"

// The console holds back what the game says after a box was asked for until the box is
// answered, so that the lines come in the order of the game's boxes (rink-page.js's printErr).
EM_JS(void, console_hold_for_box, (), { Module.rinkHeldLines.push([]); });
EM_JS(void, console_release_box, (), {
  for (const line of Module.rinkHeldLines.shift()) console.warn(line);
});

namespace platform {

namespace {

void timer_event(void* user) { static_cast<WebBackend*>(user)->on_timer(); }

}  // namespace

void WebBackend::run(PageGame& game) {
  game_ = &game;
  rest(0, false);
}

void WebBackend::rest(int milliseconds, bool input_wakes) {
  timer_ = emscripten_set_timeout(timer_event, milliseconds, this);
  input_wakes_ = input_wakes;
}

void WebBackend::wake() {
  if (!input_wakes_ || timer_ == 0) return;
  emscripten_clear_timeout(timer_);
  rest(0, false);
}

void WebBackend::on_timer() {
  timer_ = 0;
  input_wakes_ = false;
  if (!answer_boxes()) return rest(idle_ms, true);
  if (ending_) {
    PageGame& game = *game_;
    game_ = nullptr;
    return game.end();
  }
  if (!stand_still()) return rest(idle_ms, true);
  const NextPass next = game_->pass();
  switch (next.after) {
    case NextPass::After::now: return rest(0, false);
    case NextPass::After::pace: return rest(fast_ ? 0 : next.value, false);
    case NextPass::After::input_or_idle:
      begin_wait(next.value);
      return rest(idle_ms, true);
    case NextPass::After::end:
      ending_ = true;
      return rest(0, false);
  }
}

// What the game says about the wait (who scored...) comes after its last picture.
void WebBackend::begin_wait(int awaited_vk) {
  if (overlay().take_change() && picture_.width() == picture_width) show_game_picture({true, nullptr, 0});
  set_state("waiting", awaited_vk);
}

void WebBackend::message_box(const char* text, const char* caption) {
  if (!window_open_) return;  // the game has ended: nobody would see the box
  boxes_.emplace_back(text, caption);
  console_hold_for_box();
}

bool WebBackend::answer_boxes() {
  for (;;) {
    if (!box_) {
      if (boxes_.empty()) return true;
      open_box();
    }
    if (box_->answered()) {
      close_box();
      continue;
    }
    const InputEvent input = next_input(idle_ms);
    if (input.kind == InputEvent::Kind::none) return false;
    box_->take(input);
  }
}

void WebBackend::open_box() {
  state_before_box_ = state_;
  set_state("waiting");
  set_canvas_cursor(true);
  inputs_.clear();  // what came before the box does not answer it
  box_.emplace(*this, keys_, picture_, boxes_.front().first.c_str(), boxes_.front().second.c_str());
  boxes_.pop_front();
}

void WebBackend::close_box() {
  box_.reset();
  set_canvas_cursor(cursor_shown_);
  set_state(state_before_box_);
  console_release_box();
}

bool WebBackend::stand_still() {
  if (!pause_) {
    pause_.emplace(*this, keys_, picture_);
    if (!pause_->begin()) {
      pause_.reset();
      return true;
    }
  }
  for (;;) {
    const InputEvent input = next_input(idle_ms);
    if (pause_->take(input)) {
      pause_.reset();
      return true;
    }
    if (input.kind == InputEvent::Kind::none) return false;
  }
}

bool WebBackend::show_picture(const std::uint32_t* pixels, int width, int height) {
  const Rect whole{0, 0, width, height};
  screen_.show(pixels, width, height, &whole, 1);
  return true;
}

InputEvent WebBackend::next_input(int /*milliseconds*/) {
  if (!window_open_) return {InputEvent::Kind::window_gone};
  return inputs_.take();
}

}  // namespace platform
