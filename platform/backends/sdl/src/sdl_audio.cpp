#include "platform/sdl_audio.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/sound_file.h"

namespace platform {

namespace {

void fill_buffer(void* audio, Uint8* stream, int length) {
  static_cast<SdlAudio*>(audio)->mix(reinterpret_cast<std::int16_t*>(stream), length / 2);
}

// The libraries under SDL say on standard error what they could not find (ALSA lists every
// missing card); the player gets the game's one line instead.
class QuietStandardError {
 public:
  QuietStandardError() : saved_(dup(STDERR_FILENO)) {
    std::fflush(stderr);
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing >= 0) {
      dup2(nothing, STDERR_FILENO);
      ::close(nothing);
    }
  }
  ~QuietStandardError() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_;
};

// SDL's audio started and the default device opened for the mixer; its id, or 0 with SDL's
// reason in `why`.
SDL_AudioDeviceID open_device(SdlAudio& audio, bool& started, const char*& why) {
  const QuietStandardError quiet;
  if (!started && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    why = SDL_GetError();
    return 0;
  }
  started = true;
  SDL_AudioSpec wanted{};
  wanted.freq = sound_rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = SdlAudio::buffer_samples;
  wanted.callback = fill_buffer;
  wanted.userdata = &audio;
  // No changes allowed: SDL converts to whatever the device takes, so the mixer always mixes
  // the sound files' own samples.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) why = SDL_GetError();
  return device;
}

}  // namespace

class SdlAudio::Lock {
 public:
  explicit Lock(SDL_AudioDeviceID device) : device_(device) {
    if (device_ != 0) SDL_LockAudioDevice(device_);
  }
  ~Lock() {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  SDL_AudioDeviceID device_;
};

SdlAudio::~SdlAudio() {
  close();
  if (audio_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::open() {
  if (device_ != 0) return true;
  const char* why = "";
  device_ = open_device(*this, audio_started_, why);
  if (device_ == 0) {
    std::fprintf(stderr, "rink: no sound: %s\n", why);
    // A silent game keeps no audio thread running (SDL's device watch, for one).
    if (audio_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_started_ = false;
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudio::close() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
}

int SdlAudio::add_sound(const char* /*name*/, std::vector<std::int16_t> samples) {
  sounds_.push_back(std::move(samples));
  return static_cast<int>(sounds_.size()) - 1;
}

void SdlAudio::play(int sound, int volume) {
  if (sound < 0 || static_cast<std::size_t>(sound) >= sounds_.size()) return;
  const Lock lock(device_);
  mixer_.play(sounds_[static_cast<std::size_t>(sound)], volume);
}

void SdlAudio::set_muted(bool muted) {
  const Lock lock(device_);
  mixer_.set_muted(muted);
}

bool SdlAudio::muted() const { return mixer_.muted(); }

void SdlAudio::set_volume(int volume) {
  const Lock lock(device_);
  mixer_.set_master_volume(volume);
}

// A held device calls back no more: every voice stays where it was until it goes on.
void SdlAudio::hold(bool held) {
  if (device_ != 0) SDL_PauseAudioDevice(device_, held ? 1 : 0);
}

void SdlAudio::mix(std::int16_t* out, int frames) {
  const Lock lock(device_);  // SDL holds it already around its callback: its locks nest
  mixer_.mix(out, frames);
}

}  // namespace platform
