#pragma once
// A started game over the SDL backend on SDL's dummy video driver with its software renderer:
// every flip converts, uploads and presents as on a desktop, with nothing on a screen.

#include <mutex>
#include <vector>

#include "display/startup.h"
#include "platform/sdl_backend.h"
#include "process_state.h"
#include "sim/match.h"

// The desktop backend without its waits, so that frames run back to back: a frame's pause
// returns at once and a blocking wait gives up, as when a key script runs out; unless the
// test asks for the real waits. It keeps a copy of the last picture a wait showed (a box, the
// pause's notice), which another thread may read.
class UnpausedScreen : public platform::SdlBackend {
 public:
  explicit UnpausedScreen(platform::SdlOptions options) : SdlBackend(options) {}
  void sleep_ms(std::uint32_t) override {}
  bool idle_between_polls(int awaited_vk) override { return real_waits && SdlBackend::idle_between_polls(awaited_vk); }
  bool show_picture(const std::uint32_t* pixels, int width, int height) override {
    const std::lock_guard lock(shown_lock_);
    last_shown_.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    return SdlBackend::show_picture(pixels, width, height);
  }
  std::vector<std::uint32_t> last_shown() {
    const std::lock_guard lock(shown_lock_);
    return last_shown_;
  }

  bool real_waits = false;

 private:
  std::mutex shown_lock_;
  std::vector<std::uint32_t> last_shown_;
};

// The desktop backend names the window's class through the environment when it starts its video;
// ENVIRONMENT gives those variables back too.
inline EnvironmentChange& keep_window_class(EnvironmentChange& environment) {
  return environment.keep("SDL_VIDEO_X11_WMCLASS").keep("SDL_VIDEO_WAYLAND_WMCLASS");
}

class ScreenGame {
 public:
  explicit ScreenGame(platform::SdlOptions options = {});
  ~ScreenGame();
  ScreenGame(const ScreenGame&) = delete;
  ScreenGame& operator=(const ScreenGame&) = delete;

  // One pass of the main loop: a message if one is there, then a frame. False once it takes the
  // quit request.
  bool run_pass();

 private:
  // Nothing of a desktop the tests may run in, until SDL has quit: no screen, and no session bus
  // looked up through it (libdbus keeps what such a look-up allocated to the end of the process).
  EnvironmentChange dummy_screen_;

 public:
  UnpausedScreen backend;
  DisplayContext display;
  Match match;
  bool started = false;
};
