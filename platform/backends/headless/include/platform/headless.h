#pragma once
// The in-memory backend.
// Runs on: nothing but memory, for tests and the tools (rink-replay, rink-autoplay): keys come
//   from a script, message boxes are recorded, pauses only count, every presented picture can
//   be read back, and the sounds the game asks for are written down instead of heard.
// Cannot: show anything to a player or read a keyboard; the shipped game never links it.
// Depends on: platform core, session (key scripts).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/key_script.h"
#include "platform/sound_output.h"

namespace platform {

struct RecordedMessage {
  std::string text;
  std::string caption;
};

// A sound the game asked for, and where the session stood then.
struct PlayedSound {
  std::string name;
  int volume;
  int presents;             // pictures presented before it
  std::size_t lines_taken;  // lines of the script taken before it
  bool muted;
};

class HeadlessBackend : public Backend, public SoundOutput {
 public:
  static constexpr int screen_width = 640;
  static constexpr int screen_height = 480;

  // Keys held from now on, until the next line of a script is taken.
  void hold_keys(const KeySet& keys);
  // Lines of held keys from a source: each pass of the message loop takes the next line, and so
  // does every poll of a blocking wait that finds its key up. When no further line comes, the
  // next pass finds the quit request and a waiting poll gives up.
  void play(KeySource& keys);
  // The same from lines read beforehand, which the backend keeps.
  void load_script(std::vector<KeySet> lines);
  bool script_ended() const { return script_ && script_->ended(); }
  // Number of lines of the loaded script taken so far.
  std::size_t lines_taken() const { return script_ ? script_->lines_taken() : 0; }
  // A blocking wait gave up because no further line could come: the replay has ended there,
  // and what the rest of that frame draws is shown no more.
  bool wait_ran_out() const { return wait_ran_out_; }

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  void clear_messages() { messages_.clear(); }

  // The last presented picture and its palette (the picture on the screen when the replay ended).
  const std::vector<std::uint8_t>& presented_pixels() const { return presented_; }
  const std::array<PaletteEntry, 256>& presented_palette() const { return presented_palette_; }
  int present_count() const { return present_count_; }

  const std::vector<PlayedSound>& played() const { return played_; }
  // Every hold (true) and its end (false), in turn.
  const std::vector<bool>& holds() const { return holds_; }

  std::uint64_t slept_ms() const { return slept_ms_; }
  bool cursor_shown() const { return cursor_visible_; }
  bool window_open() const { return window_open_; }
  // From now on the screen is gone: presents fail, as when the display server goes away.
  void lose_display() { display_lost_ = true; }

  bool open_window() override;
  void close_window() override;
  bool set_display_mode(int width, int height, int bits_per_pixel) override;
  bool present(const std::uint8_t* pixels, int width, int height, int pitch,
               const PaletteEntry* palette, const ChangedArea& changed) override;
  void pump_events() override;
  bool key_held(int vk) override;
  void message_box(const char* text, const char* caption) override;
  void cursor_visible(bool visible) override;
  void sleep_ms(std::uint32_t milliseconds) override;
  bool idle_between_polls(int awaited_vk) override;

  int add_sound(const char* name, std::vector<std::int16_t> samples) override;
  void play(int sound, int volume) override;
  void set_muted(bool muted) override { muted_ = muted; }
  bool muted() const override { return muted_; }
  void set_volume(int) override {}
  void hold(bool held) override { holds_.push_back(held); }

 private:
  KeySet held_;
  std::optional<ScriptedKeys> script_;
  KeySource* source_ = nullptr;
  KeySet line_;
  bool line_in_force_ = false;  // hold_keys replaces the source's line until the next one
  bool wait_ran_out_ = false;
  std::vector<RecordedMessage> messages_;
  std::vector<std::uint8_t> presented_ = std::vector<std::uint8_t>(screen_width * screen_height, 0);
  std::array<PaletteEntry, 256> presented_palette_{};
  int present_count_ = 0;
  std::uint64_t slept_ms_ = 0;
  bool cursor_visible_ = true;
  bool window_open_ = false;
  bool display_lost_ = false;
  std::vector<std::string> sound_names_;
  std::vector<PlayedSound> played_;
  std::vector<bool> holds_;
  bool muted_ = false;
};

}  // namespace platform
