#pragma once
// A session's keys, kept and played back around any backend that has a screen: a recording
// writes the script of what the game read, in the replay's format (one line per pass of the
// main loop, and one per poll of a blocking wait); a playback reads the game's keys from such a
// script instead of the player.

#include "platform/backend.h"
#include "platform/key_script.h"
#include "platform/recording_file.h"

namespace platform {

// Hands every call on to the backend it wraps.
class BackendFilter : public Backend {
 public:
  explicit BackendFilter(Backend& screen) : screen_(screen) {}

  bool open_window() override {
    return screen_.open_window();
  }
  void close_window() override { screen_.close_window(); }
  bool set_display_mode(int width, int height, int bits_per_pixel) override {
    return screen_.set_display_mode(width, height, bits_per_pixel);
  }
  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override {
    return screen_.present(pixels, width, height, pitch, palette, changed);
  }
  void pump_events() override { screen_.pump_events(); }
  bool key_held(int vk) override { return screen_.key_held(vk); }
  void message_box(const char* text, const char* caption) override { screen_.message_box(text, caption); }
  void cursor_visible(bool visible) override { screen_.cursor_visible(visible); }
  void sleep_ms(std::uint32_t milliseconds) override { screen_.sleep_ms(milliseconds); }
  bool idle_between_polls(int awaited_vk) override { return screen_.idle_between_polls(awaited_vk); }

 protected:
  Backend& screen_;
};

// Once the window is asked to close, the session is over for the player: nothing after that is
// written, so that a replay ends where the player stopped seeing the game. The recording takes
// the place of an older file of its name once the window is open. The first line that cannot be
// written (a full disk) is reported at once on standard error, as "rink: cannot write the
// recording 'NAME': REASON", and nothing more is written.
class KeyRecording : public BackendFilter {
 public:
  KeyRecording(Backend& screen, RecordingFile& script, const char* name)
      : BackendFilter(screen), script_(script), name_(name) {}
  // Whether a line could not be written, or the recording could not take its name.
  bool failed() const { return failed_; }

  bool open_window() override;
  void pump_events() override;
  bool idle_between_polls(int awaited_vk) override;

 private:
  void write_line();
  void report(bool written);

  RecordingFile& script_;
  const char* name_;
  bool failed_ = false;
};

// What a playback does when its script ends: on the desktop the game stops where it is and keeps
// its last picture until the player closes the window or presses Escape; in a web page the game
// ends there, and the page keeps its last picture, unless the page lets the player take over and
// play on from there.
enum class ScriptEnd { hold_until_closed, end_game, hand_over };

// Escape on the keyboard ends the game at any time.
class KeyPlayback : public BackendFilter {
 public:
  KeyPlayback(Backend& screen, KeySource& keys, ScriptEnd at_end = ScriptEnd::hold_until_closed)
      : BackendFilter(screen), keys_(keys), at_end_(at_end) {}
  bool ended() const { return ended_; }
  // The script has ended and the player plays on.
  bool handed_over() const { return ended_ && at_end_ == ScriptEnd::hand_over; }

  // Once a script that ends the game has ended (inside a wait, the rest of that frame still
  // runs), nothing more reaches the screen, as in a replay.
  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override;
  void pump_events() override;
  bool key_held(int vk) override;
  bool idle_between_polls(int awaited_vk) override;

 private:
  void end_script();
  void hold_until_closed();

  KeySource& keys_;
  ScriptEnd at_end_;
  KeySet line_;
  bool line_taken_ = false;  // a line is in force
  bool ended_ = false;
};

}  // namespace platform
