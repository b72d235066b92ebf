#include "screen_game.h"

#include "app/main_loop.h"
#include "game_fixture.h"

namespace {
constexpr char class_name[] = "ScreenGame";
}

ScreenGame::ScreenGame(platform::SdlOptions options) : backend(options) {
  dummy_screen_.set("SDL_VIDEODRIVER", "dummy").set("SDL_RENDER_DRIVER", "software");
  dummy_screen_.unset("DISPLAY").unset("WAYLAND_DISPLAY");
  keep_window_class(dummy_screen_);
  reset_game(backend);
  platform::WindowClass window_class;
  window_class.procedure = rink_window_proc;
  window_class.class_name = class_name;
  platform::register_class(window_class);
  display.window = platform::create_window(0, class_name, "ScreenGame", platform::ws_popup, 0, 0, 640, 480,
                                           nullptr, nullptr, nullptr, nullptr);
  platform::Random random;
  started = display.window != nullptr && rink_startup(display, random) == 1;
  if (!started) ADD_FAILURE() << "the game did not start on the dummy screen: " << platform::last_error();
  match = start_match(1, canvas_of(display), random);
}

bool ScreenGame::run_pass() {
  platform::Message message;
  if (platform::peek_message(&message, nullptr, 0, 0, platform::pm_remove)) {
    if (message.message == platform::wm_quit) return false;
    platform::dispatch_message(&message);
  }
  play_frame(match);
  return true;
}

ScreenGame::~ScreenGame() {
  release_text(match.canvas);
  rink_teardown(display);
  platform::destroy_window(display.window);
  platform::unregister_class(class_name);
  platform::use_backend(nullptr);
}
