// The mixer: voices add up and clip instead of wrapping, end and free themselves, give way
// oldest first; mute silences without stopping time; volumes scale.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/mixer.h"

namespace {

using Samples = std::vector<std::int16_t>;

Samples constant(std::size_t length, std::int16_t value) { return Samples(length, value); }

Samples mix(platform::Mixer& mixer, int frames) {
  Samples out(static_cast<std::size_t>(frames), 12345);  // whatever was in the device's buffer
  mixer.mix(out.data(), frames);
  return out;
}

TEST(Mixer, VoicesAddUpAndClipAtTheTotalInsteadOfWrapping) {
  platform::Mixer mixer;
  const Samples loud = constant(600, 30000);
  const Samples low = constant(600, -30000);
  const Samples small = constant(600, 1000);
  mixer.play(small, 100);
  mixer.play(small, 100);
  EXPECT_EQ(mix(mixer, 10), constant(10, 2000));

  mixer.play(loud, 100);
  mixer.play(loud, 100);
  EXPECT_EQ(mix(mixer, 10), constant(10, 32767));
  // The sum is clipped once: a negative voice played last still takes it back down.
  mixer.play(low, 100);
  EXPECT_EQ(mix(mixer, 300), constant(300, 2000 + 30000));  // one block boundary crossed

  platform::Mixer negative;
  negative.play(low, 100);
  negative.play(low, 100);
  EXPECT_EQ(mix(negative, 5), constant(5, -32768));
}

TEST(Mixer, AVoiceEndsWithItsSoundAndFreesItself) {
  platform::Mixer mixer;
  const Samples sound{100, 200, 300};
  mixer.play(sound, 100);
  EXPECT_EQ(mixer.voices_playing(), 1);
  EXPECT_EQ(mix(mixer, 5), (Samples{100, 200, 300, 0, 0}));
  EXPECT_EQ(mixer.voices_playing(), 0);
  EXPECT_EQ(mix(mixer, 3), constant(3, 0));

  mixer.play(Samples{}, 100);  // nothing to play takes no voice
  EXPECT_EQ(mixer.voices_playing(), 0);
}

TEST(Mixer, ANewSoundTakesAFreeVoiceOrElseTheOldest) {
  platform::Mixer mixer;
  std::vector<Samples> sounds;
  for (int v = 0; v <= platform::Mixer::voice_count; ++v) sounds.push_back(constant(100, static_cast<std::int16_t>(1 << v)));
  const Samples short_one{4};
  mixer.play(short_one, 100);
  for (int v = 1; v < platform::Mixer::voice_count; ++v) mixer.play(sounds[static_cast<std::size_t>(v)], 100);
  EXPECT_EQ(mix(mixer, 1)[0], 4 + 2 + 4 + 8 + 16 + 32 + 64 + 128);
  EXPECT_EQ(mixer.voices_playing(), platform::Mixer::voice_count - 1);

  mixer.play(sounds[8], 100);  // the short one has ended: its voice is free
  EXPECT_EQ(mix(mixer, 1)[0], 2 + 4 + 8 + 16 + 32 + 64 + 128 + 256);
  mixer.play(sounds[0], 100);  // all busy: the oldest (2) gives way
  EXPECT_EQ(mix(mixer, 1)[0], 1 + 4 + 8 + 16 + 32 + 64 + 128 + 256);
  EXPECT_EQ(mixer.voices_playing(), platform::Mixer::voice_count);

  mixer.stop_all();
  EXPECT_EQ(mixer.voices_playing(), 0);
  EXPECT_EQ(mix(mixer, 1)[0], 0);
}

TEST(Mixer, MuteGivesSilenceWhileTimeGoesOn) {
  platform::Mixer mixer;
  Samples ramp(100);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i);
  mixer.play(ramp, 100);
  mixer.set_muted(true);
  EXPECT_TRUE(mixer.muted());
  EXPECT_EQ(mix(mixer, 60), constant(60, 0));
  mixer.set_muted(false);
  EXPECT_EQ(mix(mixer, 2), (Samples{60, 61}));

  mixer.set_muted(true);
  mix(mixer, 50);
  EXPECT_EQ(mixer.voices_playing(), 0);  // it ended unheard
  mixer.set_muted(false);
  EXPECT_EQ(mix(mixer, 4), constant(4, 0));
}

TEST(Mixer, VolumesScaleEachVoiceAndTheWhole) {
  platform::Mixer mixer;
  const Samples sound = constant(50, 20000);
  mixer.play(sound, 50);
  EXPECT_EQ(mix(mixer, 2), constant(2, 10000));
  mixer.set_master_volume(25);
  EXPECT_EQ(mix(mixer, 2), constant(2, 2500));
  mixer.play(sound, 100);
  EXPECT_EQ(mix(mixer, 2), constant(2, 2500 + 5000));

  mixer.set_master_volume(250);
  EXPECT_EQ(mixer.master_volume(), 100);
  mixer.set_master_volume(-5);
  EXPECT_EQ(mixer.master_volume(), 0);
  EXPECT_EQ(mix(mixer, 2), constant(2, 0));

  platform::Mixer clamped;
  const Samples quiet = constant(5, 8000);
  clamped.play(quiet, 400);  // full volume at most
  clamped.play(quiet, -3);   // silent
  EXPECT_EQ(mix(clamped, 2), constant(2, 8000));
}

}  // namespace
