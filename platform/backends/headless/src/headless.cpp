#include "platform/headless.h"

#include <algorithm>
#include <cstring>

#include "platform/window.h"

namespace platform {

void HeadlessBackend::hold_keys(const KeySet& keys) {
  held_ = keys;
  line_in_force_ = false;
}

void HeadlessBackend::play(KeySource& keys) {
  source_ = &keys;
  line_in_force_ = false;
}

void HeadlessBackend::load_script(std::vector<KeySet> lines) {
  play(script_.emplace(std::move(lines)));
}

bool HeadlessBackend::open_window() {
  window_open_ = true;
  return true;
}

void HeadlessBackend::close_window() { window_open_ = false; }

bool HeadlessBackend::set_display_mode(int width, int height, int bits_per_pixel) {
  return width == screen_width && height == screen_height && bits_per_pixel == 8;
}

// Keeps the whole picture, so that tests read exactly what the screen would show.
bool HeadlessBackend::present(const std::uint8_t* pixels, int width, int height, int pitch,
                              const PaletteEntry* palette, const ChangedArea& /*changed*/) {
  if (display_lost_) return false;
  if (wait_ran_out_) return true;  // the replay ended with the script, inside a wait
  const int columns = std::min(width, screen_width);
  for (int y = 0; y < std::min(height, screen_height); ++y) {
    std::memcpy(presented_.data() + static_cast<std::size_t>(y) * screen_width,
                pixels + static_cast<std::size_t>(y) * pitch, static_cast<std::size_t>(columns));
  }
  std::copy(palette, palette + 256, presented_palette_.begin());
  ++present_count_;
  return true;
}

// Each pass of the message loop takes the next line; after the last one the loop finds the
// quit request.
void HeadlessBackend::pump_events() {
  if (source_ == nullptr) return;
  line_in_force_ = source_->next_line(KeySource::For::pass, line_);
  if (!line_in_force_) post_quit_message(0);
}

bool HeadlessBackend::key_held(int vk) { return (line_in_force_ ? line_ : held_).count(vk) != 0; }

void HeadlessBackend::message_box(const char* text, const char* caption) { messages_.push_back({text, caption}); }

void HeadlessBackend::cursor_visible(bool visible) { cursor_visible_ = visible; }

void HeadlessBackend::sleep_ms(std::uint32_t milliseconds) { slept_ms_ += milliseconds; }

// A waiting poll moves on to the next line instead of sleeping.
bool HeadlessBackend::idle_between_polls(int /*awaited_vk*/) {
  if (source_ != nullptr && source_->next_line(KeySource::For::wait, line_)) {
    line_in_force_ = true;
    return true;
  }
  wait_ran_out_ = true;
  return false;
}

int HeadlessBackend::add_sound(const char* name, std::vector<std::int16_t> /*samples*/) {
  sound_names_.emplace_back(name);
  return static_cast<int>(sound_names_.size()) - 1;
}

void HeadlessBackend::play(int sound, int volume) {
  played_.push_back({sound_names_.at(static_cast<std::size_t>(sound)), volume, present_count_, lines_taken(), muted_});
}

}  // namespace platform
