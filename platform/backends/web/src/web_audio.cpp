#include "platform/web_audio.h"

#include <emscripten.h>

#include <algorithm>

#include "platform/sound_file.h"

// The page's side (rink-page.js keeps rinkAudio), which takes a copy of the samples.
EM_JS(void, audio_add, (int id, const std::int16_t* samples, int count, int rate), {
  rinkAudio.add(id, HEAP16.slice(samples >> 1, (samples >> 1) + count), rate);
});
EM_JS(void, audio_play, (int id, double gain), { rinkAudio.play(id, gain); });
EM_JS(void, audio_level, (double level, int muted), { rinkAudio.setLevel(level, muted !== 0); });
EM_JS(void, audio_hold, (int held), { rinkAudio.hold(held !== 0); });

// The page's mute button.
extern "C" EMSCRIPTEN_KEEPALIVE void rink_toggle_mute() {
  platform::sound_output().set_muted(!platform::sound_output().muted());
}

namespace platform {

int WebAudio::add_sound(const char* /*name*/, std::vector<std::int16_t> samples) {
  audio_add(sounds_, samples.data(), static_cast<int>(samples.size()), sound_rate);
  return sounds_++;
}

void WebAudio::play(int sound, int volume) {
  if (sound >= 0 && sound < sounds_) audio_play(sound, std::clamp(volume, 0, 100) / 100.0);
}

void WebAudio::set_muted(bool muted) {
  muted_ = muted;
  set_level();
}

void WebAudio::set_volume(int volume) {
  volume_ = std::clamp(volume, 0, 100);
  set_level();
}

void WebAudio::set_level() { audio_level(muted_ ? 0.0 : volume_ / 100.0, muted_ ? 1 : 0); }

void WebAudio::hold(bool held) { audio_hold(held ? 1 : 0); }

}  // namespace platform
