#include "app/main_loop.h"

#include <cstdio>
#include <optional>
#include <string>

#include "app/game_guide.h"
#include "app/sound_board.h"
#include "display/display_ops.h"
#include "display/startup.h"
#include "platform/draw.h"
#include "platform/system.h"

namespace {

constexpr char class_name[] = "WINCLASS1";
constexpr char window_title[] = "DirectDraw Full-Screen Demo";
constexpr int screen_width = 640;
constexpr int screen_height = 480;

bool register_window_class(void* instance) {
  platform::WindowClass window_class;
  window_class.style = platform::cs_dblclks | platform::cs_owndc | platform::cs_hredraw | platform::cs_vredraw;
  window_class.procedure = rink_window_proc;
  window_class.instance = instance;
  window_class.icon = platform::idi_application;
  window_class.small_icon = platform::idi_application;
  window_class.cursor = platform::idc_arrow;
  window_class.background_brush = platform::black_brush;
  window_class.class_name = class_name;
  return platform::register_class(window_class) != 0;
}

// A start that failed: its one line on standard error, kept as the last error too, for a web
// page to show.
int start_failed(const std::string& why) {
  std::fprintf(stderr, "rink: %s\n", why.c_str());
  platform::set_last_error(why.c_str());
  return 1;
}

// The game's data is not where the game looks: an installation fault, told once (a line on
// standard error and its box) instead of a box for every picture.
int data_missing(const DisplayContext& display) {
  const std::string text = "none of the game's pictures is in " + platform::data_places();
  show_message(display, text.c_str(), "the game's data folder is missing");
  platform::set_last_error(text.c_str());
  return 1;
}

// One message at most per pass, and a frame on every pass, message or not.
int run_loop(Match& match, LoopObserver* observer) {
  platform::Message message;
  for (;;) {
    if (platform::peek_message(&message, nullptr, 0, 0, platform::pm_remove)) {
      if (message.message == platform::wm_quit) return static_cast<int>(message.wparam);
      platform::translate_message(&message);
      platform::dispatch_message(&message);
    }
    const int result = play_frame(match);
    if (observer != nullptr) observer->after_frame(result);
  }
}

// Frames need every display object, so a start-up that failed runs none.
int play_on(DisplayContext& display, const GameSession& session) {
  platform::Random random;
  if (rink_startup(display, random) != 1) {
    return start_failed(std::string("start-up failed: ") + display.failed_step);
  }
  Match match = start_match(session.players, canvas_of(display, session.draws), random);
  match.cues = session.cues;
  if (session.loop != nullptr) session.loop->on_start(match);
  const int exit_code = session.driver != nullptr ? session.driver->run(match, session.loop)
                                                  : run_loop(match, session.loop);
  release_text(match.canvas);
  return exit_code;
}

}  // namespace

PassKeys held_keys() {
  platform::KeySet held;
  for (const int vk : platform::game_keys) {
    if ((platform::get_async_key_state(vk) & 0x8000) != 0) held.insert(vk);
  }
  return split_keys(held);
}

int play_frame(Match& match) {
  PassKeys keys = held_keys();
  if (keys.held(VK_ESCAPE)) platform::send_message(match.canvas.display->window, platform::wm_close, 0, 0);
  platform::show_cursor(false);  // no cursor over the game
  PassEnd end = step(match, keys);
  while (end == PassEnd::waiting) {
    end = platform::idle_between_polls(awaited_key(match)) ? step(match, held_keys()) : give_up_waiting(match);
  }
  show_asked_message(match.canvas);
  if (end != PassEnd::frame_done) return 0;
  platform::sleep_ms(frame_pause_ms);
  return 1;
}

int win_main(void* instance, const GameSession& session) {
  if (!register_window_class(instance)) return start_failed("the window class could not be registered");
  DisplayContext display;
  display.observer = session.draws;
  display.window = platform::create_window(0, class_name, window_title, platform::ws_popup | platform::ws_visible, 0, 0,
                                           screen_width, screen_height, nullptr, nullptr, instance, nullptr);
  if (display.window == nullptr) {
    return start_failed(std::string("the game window could not be opened: ") + platform::last_error());
  }
  if (!game_data_found()) return data_missing(display);
  const int exit_code = play_on(display, session);
  rink_teardown(display);
  return exit_code;
}

int play_game(int players, platform::Backend& backend, platform::SoundOutput& sound, const GuideOptions& guide,
              MatchDriver* driver) {
  platform::use_sound_output(&sound);
  // Without the game's data there is nothing to hear either: win_main tells the fault once.
  std::optional<SoundBoard> sounds;
  if (game_data_found()) sounds.emplace(sound, players);
  GameGuide guidance(guide, sounds ? &*sounds : nullptr);
  platform::use_backend(&backend);
  const int exit_code = win_main(nullptr, {players, &guidance, &guidance, nullptr, driver});
  platform::use_backend(nullptr);
  platform::use_sound_output(nullptr);
  return exit_code;
}

platform::LResult rink_window_proc(platform::Window window, std::uint32_t message, platform::WParam wparam,
                                   platform::LParam lparam) {
  switch (message) {
    case platform::wm_create:
      return 0;
    case platform::wm_destroy:
      platform::post_quit_message(0);
      return 0;
    case platform::wm_paint: {
      // The picture comes from the display surfaces; painting only validates the window.
      platform::PaintInfo paint;
      platform::begin_paint(window, &paint);
      platform::end_paint(window, &paint);
      return 0;
    }
    case platform::wm_close:
      platform::post_quit_message(0);
      return platform::def_window_proc(window, message, wparam, lparam);
    default:
      return platform::def_window_proc(window, message, wparam, lparam);
  }
}
