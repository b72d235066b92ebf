#pragma once
// The page's sound: the game's sounds read in C++ by the same strict reader as on the desktop,
// handed to Web Audio as buffers, and played through one gain for the volume and the mute.
// Runs on: a browser's Web Audio API, through the page's rinkAudio (rink-page.js), which makes
//   its context at the first key, click or touch (browsers start audio only after a gesture);
//   sounds asked for before that are not played. A hidden tab, or a game that stands still, is
//   silent.
// Cannot: mix in C++: the browser mixes.
// Depends on: platform core (the sound output), Emscripten; the page.

#include <cstdint>
#include <vector>

#include "platform/sound_output.h"

namespace platform {

class WebAudio : public SoundOutput {
 public:
  int add_sound(const char* name, std::vector<std::int16_t> samples) override;
  void play(int sound, int volume) override;
  void set_muted(bool muted) override;
  bool muted() const override { return muted_; }
  void set_volume(int volume) override;
  void hold(bool held) override;

 private:
  void set_level();

  int sounds_ = 0;
  bool muted_ = false;
  int volume_ = 100;
};

}  // namespace platform
