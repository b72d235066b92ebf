#include "platform/sound_output.h"

namespace platform {

namespace {

// Before a program chooses its output, or without one: nothing is heard, and mute is still a
// state the player can toggle.
class Silence : public SoundOutput {
 public:
  int add_sound(const char*, std::vector<std::int16_t>) override { return 0; }
  void play(int, int) override {}
  void set_muted(bool muted) override { muted_ = muted; }
  bool muted() const override { return muted_; }
  void set_volume(int) override {}
  void hold(bool) override {}

 private:
  bool muted_ = false;
};

Silence silence;
SoundOutput* current = &silence;

}  // namespace

void use_sound_output(SoundOutput* output) { current = output ? output : &silence; }

SoundOutput& sound_output() { return *current; }

}  // namespace platform
