#include "platform/key_sessions.h"

#include <cstdio>

#include "platform/window.h"
#include "platform/window_events.h"

namespace platform {

void KeyRecording::report(bool written) {
  failed_ = !written;
  if (failed_) std::fprintf(stderr, "rink: cannot write the recording '%s': %s\n", name_, script_.error().c_str());
}

void KeyRecording::write_line() {
  if (failed_ || session_over()) return;
  KeyLineBuffer line;
  report(script_.write(line, key_line_into(line, [this](int vk) { return screen_.key_held(vk); })));
}

bool KeyRecording::open_window() {
  const bool opened = screen_.open_window();
  if (opened && !failed_) report(script_.commit());
  return opened;
}

void KeyRecording::pump_events() {
  screen_.pump_events();
  write_line();
}

bool KeyRecording::idle_between_polls(int awaited_vk) {
  const bool polled = screen_.idle_between_polls(awaited_vk);
  if (polled) write_line();
  return polled;
}

void KeyPlayback::end_script() {
  ended_ = true;
  if (at_end_ == ScriptEnd::end_game) {
    post_quit_message(0);  // the loop ends at its next pass, as a replay's does
  } else if (at_end_ == ScriptEnd::hold_until_closed) {
    hold_until_closed();
  }
}

void KeyPlayback::hold_until_closed() {
  while (screen_.idle_between_polls(vk_escape)) {
    if (!screen_.key_held(vk_escape)) continue;
    report_close_request();
    return;
  }
}

bool KeyPlayback::present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
                          const ChangedArea& changed) {
  if (ended_ && at_end_ == ScriptEnd::end_game) return true;
  return screen_.present(pixels, width, height, pitch, palette, changed);
}

void KeyPlayback::pump_events() {
  screen_.pump_events();
  if (ended_) return;
  line_taken_ = keys_.next_line(KeySource::For::pass, line_);
  if (!line_taken_) end_script();
}

bool KeyPlayback::key_held(int vk) {
  if (handed_over()) return screen_.key_held(vk);
  if (vk == vk_escape && screen_.key_held(vk)) return true;
  return !ended_ && line_taken_ && line_.count(vk) != 0;
}

// Each poll of a wait takes the next line at once; the window is still looked after meanwhile.
bool KeyPlayback::idle_between_polls(int awaited_vk) {
  if (handed_over()) return screen_.idle_between_polls(awaited_vk);
  if (ended_) return false;
  line_taken_ = keys_.next_line(KeySource::For::wait, line_);
  if (!line_taken_) {
    end_script();
    return handed_over() && screen_.idle_between_polls(awaited_vk);
  }
  screen_.pump_events();
  return !session_over();
}

}  // namespace platform
