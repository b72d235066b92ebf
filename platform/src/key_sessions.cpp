#include "platform/key_sessions.h"

#include "objects.h"
#include "platform/window.h"

namespace platform {

void KeyRecording::write_line() {
  if (failed_ || game_window_closing()) return;
  failed_ = !write_key_line(script_, [this](int vk) { return screen_.key_held(vk); }) || std::fflush(script_) != 0;
}

void KeyRecording::pump_events() {
  screen_.pump_events();
  write_line();
}

bool KeyRecording::idle_between_polls() {
  const bool polled = screen_.idle_between_polls();
  if (polled) write_line();
  return polled;
}

KeyPlayback::KeyPlayback(Backend& screen, std::vector<KeySet> lines) : BackendFilter(screen) {
  script_.load(std::move(lines));
}

void KeyPlayback::hold_until_closed() {
  ended_ = true;
  while (screen_.idle_between_polls()) {
    if (!screen_.key_held(vk_escape)) continue;
    request_window_close(game_window());
    return;
  }
}

void KeyPlayback::pump_events() {
  screen_.pump_events();
  if (!ended_ && !script_.take_next_line()) hold_until_closed();
}

bool KeyPlayback::key_held(int vk) {
  if (vk == vk_escape && screen_.key_held(vk)) return true;
  return !ended_ && script_.current() != nullptr && script_.current()->count(vk) != 0;
}

// Each poll of a wait takes the next line at once; the window is still looked after meanwhile.
bool KeyPlayback::idle_between_polls() {
  if (ended_) return false;
  if (!script_.take_next_line()) {
    hold_until_closed();
    return false;
  }
  screen_.pump_events();
  return !game_window_closing();
}

}  // namespace platform
