#pragma once
// The desktop's sound: SDL's own audio device API, the mixer in the device's callback.
// Runs on: whatever audio SDL finds (PipeWire, PulseAudio, ALSA...), or the driver named by
//   SDL_AUDIODRIVER: 22,050 samples a second, one channel, 16 bits, 512 samples a buffer.
//   From a cue to the speaker: at most one buffer waits for the next callback and one plays
//   ahead of it, 2 x 23.2 ms = 46 ms, plus what the sound server keeps.
// Cannot: play without a device: the game is then silent, after one line on standard error.
// Depends on: platform core (the sound output), the mixer beside it, SDL2.

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/mixer.h"
#include "platform/sound_output.h"

namespace platform {

class SdlAudio : public SoundOutput {
 public:
  static constexpr int buffer_samples = 512;

  SdlAudio() = default;
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the default audio device and starts it; false, after one line on standard error, when
  // there is none or it cannot be opened. Sounds may be added and played before (unheard) and
  // after.
  bool open();
  void close();
  bool is_open() const { return device_ != 0; }

  int add_sound(const char* name, std::vector<std::int16_t> samples) override;
  void play(int sound, int volume) override;
  void set_muted(bool muted) override;
  bool muted() const override;
  void set_volume(int volume) override;
  void hold(bool held) override;

  // The next FRAMES samples of every sound together: what the device's callback writes.
  void mix(std::int16_t* out, int frames);

 private:
  // Everything the audio thread touches is changed under the device's lock.
  class Lock;

  std::uint32_t device_ = 0;  // SDL's audio device id; 0 while none is open
  bool audio_started_ = false;
  std::deque<std::vector<std::int16_t>> sounds_;  // never moved: the mixer plays them in place
  Mixer mixer_;
};

}  // namespace platform
