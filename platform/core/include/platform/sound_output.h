#pragma once
// Where the game's sounds go: a backend that can be heard takes the samples of each sound once
// at start and plays them on request, several at once. The game asks through sound_output(),
// which stays silent until the program chooses an output.

#include <cstdint>
#include <vector>

namespace platform {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;

  // Keeps a sound's samples (16-bit, one channel, 22,050 a second) under NAME, a file's name;
  // returns the number play() knows it by. Called at start, before any sound plays.
  virtual int add_sound(const char* name, std::vector<std::int16_t> samples) = 0;
  // Starts the sound at VOLUME (0 to 100), over whatever plays already. Allocates nothing.
  virtual void play(int sound, int volume) = 0;

  // Silence without stopping time: sounds that play on while muted end as if heard.
  virtual void set_muted(bool muted) = 0;
  virtual bool muted() const = 0;
  // The loudness of everything, 0 to 100.
  virtual void set_volume(int volume) = 0;
  // While held (the game stands still), every sound stops where it is and goes on from there.
  virtual void hold(bool held) = 0;
};

// The output every sound goes to; null chooses the silent one again.
void use_sound_output(SoundOutput* output);
SoundOutput& sound_output();

}  // namespace platform
