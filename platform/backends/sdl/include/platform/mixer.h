#pragma once
// The sound mixer: up to eight effects at once, each played from samples loaded at start (the
// mixer reads them in place and never copies them), under a volume of its own, a master volume
// and a mute. The audio device's callback calls mix() under a lock: nothing here allocates or
// waits.

#include <array>
#include <cstdint>
#include <span>

namespace platform {

class Mixer {
 public:
  static constexpr int voice_count = 8;
  static constexpr int full_volume = 100;

  // Starts SOUND at VOLUME (0 to 100) in a free voice, or in place of the voice that started
  // longest ago when all are busy. SOUND must stay alive while it plays. An empty sound is
  // ignored.
  void play(std::span<const std::int16_t> sound, int volume);
  void stop_all();

  void set_master_volume(int volume);  // clamped to 0-100
  int master_volume() const { return master_volume_; }
  void set_muted(bool muted) { muted_ = muted; }
  bool muted() const { return muted_; }
  int voices_playing() const;

  // Writes the next FRAMES samples of all voices together into OUT, clipped to the 16-bit range.
  // Time goes on while muted: the voices move on and end as if heard, so unmuting never brings
  // back a sound that should be over.
  void mix(std::int16_t* out, int frames);

 private:
  struct Voice {
    std::span<const std::int16_t> sound;
    std::size_t position = 0;
    int volume = 0;
    std::uint64_t start_order = 0;  // the play() call that started it: the smallest is the oldest
    bool playing() const { return position < sound.size(); }
  };

  Voice& voice_for_new_sound();
  // Mixes at most block_frames: the sum of the voices is kept in a block on the stack and
  // clipped once, whatever the order of the voices.
  static constexpr int block_frames = 256;
  void mix_block(std::int16_t* out, int frames);

  std::array<Voice, voice_count> voices_{};
  std::uint64_t plays_ = 0;
  int master_volume_ = full_volume;
  bool muted_ = false;
};

}  // namespace platform
