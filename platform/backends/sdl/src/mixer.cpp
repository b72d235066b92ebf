#include "platform/mixer.h"

#include <algorithm>
#include <limits>

namespace platform {
namespace {

int clamp_volume(int volume) { return std::clamp(volume, 0, Mixer::full_volume); }

}  // namespace

void Mixer::play(std::span<const std::int16_t> sound, int volume) {
  if (sound.empty()) return;
  voice_for_new_sound() = {sound, 0, clamp_volume(volume), ++plays_};
}

Mixer::Voice& Mixer::voice_for_new_sound() {
  const auto free = std::find_if(voices_.begin(), voices_.end(), [](const Voice& v) { return !v.playing(); });
  if (free != voices_.end()) return *free;
  return *std::min_element(voices_.begin(), voices_.end(),
                           [](const Voice& a, const Voice& b) { return a.start_order < b.start_order; });
}

void Mixer::stop_all() { voices_.fill(Voice{}); }

void Mixer::set_master_volume(int volume) { master_volume_ = clamp_volume(volume); }

int Mixer::voices_playing() const {
  return static_cast<int>(std::count_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.playing(); }));
}

void Mixer::mix(std::int16_t* out, int frames) {
  for (int done = 0; done < frames; done += block_frames) {
    mix_block(out + done, std::min(block_frames, frames - done));
  }
}

void Mixer::mix_block(std::int16_t* out, int frames) {
  const auto count = static_cast<std::size_t>(frames);
  std::array<int, block_frames> sum{};
  // Each voice's samples scaled by its volume and the master volume (both in hundredths); eight
  // full-scale voices fit an int easily.
  constexpr int scale = full_volume * full_volume;
  for (Voice& voice : voices_) {
    if (!voice.playing()) continue;
    const std::size_t n = std::min(count, voice.sound.size() - voice.position);
    const int gain = muted_ ? 0 : voice.volume * master_volume_;
    const std::int16_t* samples = voice.sound.data() + voice.position;
    for (std::size_t i = 0; i < n && gain > 0; ++i) sum[i] += samples[i] * gain / scale;
    voice.position += n;
  }
  constexpr int low = std::numeric_limits<std::int16_t>::min();
  constexpr int high = std::numeric_limits<std::int16_t>::max();
  for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::int16_t>(std::clamp(sum[i], low, high));
}

}  // namespace platform
