#include "app/main_loop.h"

#include <algorithm>
#include <cstdio>
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
bool start_failed(const std::string& why) {
  std::fprintf(stderr, "rink: %s\n", why.c_str());
  platform::set_last_error(why.c_str());
  return false;
}

// The game's data is not where the game looks: an installation fault, told once (a line on
// standard error and its box) instead of a box for every picture.
bool data_missing(const DisplayContext& display) {
  const std::string text = "none of the game's pictures is in " + platform::data_places();
  show_message(display, text.c_str(), "the game's data folder is missing");
  platform::set_last_error(text.c_str());
  return false;
}

// The loop over passes, resting between them as the pass asks: the frames' pace here, a wait's
// polls inside the backend's idle_between_polls.
int run_blocking(GameShell& shell, void* instance) {
  if (shell.start(instance)) {
    for (LoopRest rest; rest.kind != LoopRest::Kind::quit; rest = shell.pass()) {
      if (rest.kind == LoopRest::Kind::pace) platform::sleep_ms(static_cast<std::uint32_t>(std::max(rest.value, 0)));
    }
  }
  return shell.finish();
}

}  // namespace

PassKeys held_keys() {
  platform::KeySet held;
  for (const int vk : platform::game_keys) {
    if ((platform::get_async_key_state(vk) & 0x8000) != 0) held.insert(vk);
  }
  return split_keys(held);
}

PassEnd play_pass(Match& match) {
  PassEnd end;
  if (const int awaited = awaited_key(match)) {
    end = platform::idle_between_polls(awaited) ? step(match, held_keys()) : give_up_waiting(match);
  } else {
    const PassKeys keys = held_keys();
    if (keys.held(VK_ESCAPE)) platform::send_message(match.canvas.display->window, platform::wm_close, 0, 0);
    platform::show_cursor(false);  // no cursor over the game
    end = step(match, keys);
  }
  if (end != PassEnd::waiting) show_asked_message(match.canvas);
  return end;
}

int play_frame(Match& match) {
  PassEnd end = play_pass(match);
  while (end == PassEnd::waiting) end = play_pass(match);
  if (end != PassEnd::frame_done) return 0;
  platform::sleep_ms(frame_pause_ms);
  return 1;
}

bool GameShell::start(void* instance) {
  Start started = start_step(instance);
  while (started == Start::going) started = start_step(instance);
  return started == Start::done;
}

GameShell::Start GameShell::start_step(void* instance) {
  if (started_ != Start::going) return started_;
  bool stepped = true;
  switch (next_step_) {
    case Step::window:
      stepped = open_window(instance);
      next_step_ = Step::display;
      break;
    case Step::display:
      stepped = start_display();
      next_step_ = Step::play;
      break;
    case Step::play:
      start_play();
      started_ = Start::done;
      break;
  }
  if (!stepped) started_ = Start::failed;
  return started_;
}

bool GameShell::open_window(void* instance) {
  if (!register_window_class(instance)) return start_failed("the window class could not be registered");
  display_.observer = session_.draws;
  display_.window = platform::create_window(0, class_name, window_title, platform::ws_popup | platform::ws_visible, 0,
                                            0, screen_width, screen_height, nullptr, nullptr, instance, nullptr);
  if (display_.window == nullptr) {
    return start_failed(std::string("the game window could not be opened: ") + platform::last_error());
  }
  return true;
}

bool GameShell::start_display() {
  if (!game_data_found()) return data_missing(display_);
  // Frames need every display object, so a start-up that failed runs none.
  started_up_ = true;
  if (rink_startup(display_, random_) != 1) {
    return start_failed(std::string("start-up failed: ") + display_.failed_step);
  }
  return true;
}

void GameShell::start_play() {
  match_.emplace(start_match(session_.players, canvas_of(display_, session_.draws), random_));
  match_->cues = session_.cues;
  if (session_.loop != nullptr) session_.loop->on_start(*match_);
}

LoopRest GameShell::pass() {
  Match& match = *match_;
  if (session_.driver != nullptr) {
    const LoopRest rest = session_.driver->pass(match, session_.loop);
    if (rest.kind == LoopRest::Kind::quit) exit_code_ = rest.value;
    return rest;
  }
  platform::Message message;
  if (awaited_key(match) == 0 && platform::peek_message(&message, nullptr, 0, 0, platform::pm_remove)) {
    if (message.message == platform::wm_quit) {
      exit_code_ = static_cast<int>(message.wparam);
      return {LoopRest::Kind::quit, exit_code_};
    }
    platform::translate_message(&message);
    platform::dispatch_message(&message);
  }
  const PassEnd end = play_pass(match);
  if (end == PassEnd::waiting) return {LoopRest::Kind::wait, awaited_key(match)};
  if (session_.loop != nullptr) session_.loop->after_frame(end == PassEnd::frame_done ? 1 : 0);
  if (end == PassEnd::frame_done) return {LoopRest::Kind::pace, frame_pause_ms};
  return {};
}

int GameShell::finish() {
  if (match_) release_text(match_->canvas);
  match_.reset();
  if (started_up_) rink_teardown(display_);
  return exit_code_;
}

int win_main(void* instance, const GameSession& session) {
  GameShell shell(session);
  return run_blocking(shell, instance);
}

PlayedGame::PlayedGame(int players, platform::Backend& backend, platform::SoundOutput& sound,
                       const GuideOptions& guide, MatchDriver* driver)
    : sounds_(game_data_found() ? std::make_unique<SoundBoard>(sound, players) : nullptr),
      guidance_(std::make_unique<GameGuide>(guide, sounds_.get(), driver)),
      shell_({players, guidance_.get(), guidance_.get(), nullptr, driver}) {
  platform::use_sound_output(&sound);
  platform::use_backend(&backend);
}

PlayedGame::~PlayedGame() {
  platform::use_backend(nullptr);
  platform::use_sound_output(nullptr);
}

int play_game(int players, platform::Backend& backend, platform::SoundOutput& sound, const GuideOptions& guide,
              MatchDriver* driver) {
  PlayedGame game(players, backend, sound, guide, driver);
  return run_blocking(game.shell(), nullptr);
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
