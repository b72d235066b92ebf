#include "platform/sdl_backend.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/modal_waits.h"
#include "platform/window_events.h"
#include "sdl_input.h"
#include "sdl_presenters.h"

namespace platform {

namespace {

constexpr char no_display[] = "no display to open (is an X or Wayland session running?)";
// What a desktop matches the window with: its X11 class and its Wayland application id.
constexpr char x11_class[] = "rink";
constexpr char wayland_app_id[] = "org.rinkgame.Rink";
// The window's title in the title bar, the taskbar and the window switcher: the game's name, as
// its desktop entry gives it. (The game's own title for its window stays inside the window layer.)
constexpr char window_title[] = "Rink";

// SDL falls back to drivers that draw nowhere; the game takes them only when asked by name.
bool draws_nowhere(const char* driver) {
  return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Only a player's screen is heard: a game on a screen that draws nowhere (a test, a tool) opens
// an audio device only when one is named too.
bool heard(bool draws_nowhere) { return !draws_nowhere || std::getenv("SDL_AUDIODRIVER") != nullptr; }

// Wayland can be reached only through its socket's folder or a full path. Without either, SDL
// would still try it after a failed X11, and Wayland's library prints its own complaint about
// XDG_RUNTIME_DIR before the game's line.
bool wayland_reachable() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return wayland != nullptr && (wayland[0] == '/' || std::getenv("XDG_RUNTIME_DIR") != nullptr);
}

bool display_named() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("SDL_VIDEODRIVER") != nullptr;
}

void set_sdl_error(const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, "%s: %s", what, SDL_GetError());
  set_last_error(text);
}

bool contains(const SDL_Rect& area, int x, int y) {
  return x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h;
}

}  // namespace

SdlBackend::SdlBackend(SdlOptions options) : options_(options), input_(std::make_unique<SdlInput>(options.players)) {}

SdlBackend::~SdlBackend() {
  close_window();
  input_.reset();  // closes the controllers while SDL still runs
  if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER);
}

bool SdlBackend::start_video() {
  if (video_started_) return true;
  // The game stays on screen when it loses the focus; it pauses instead.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  setenv("SDL_VIDEO_X11_WMCLASS", x11_class, 0);  // the player's own choice stays
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", wayland_app_id, 0);
  if (!display_named()) {
    set_last_error(no_display);
    return false;
  }
  if (std::getenv("SDL_VIDEODRIVER") == nullptr && !wayland_reachable()) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // SDL's own reason ("x11 not available") adds nothing to the game's.
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    set_last_error(no_display);
    return false;
  }
  if (std::getenv("SDL_VIDEODRIVER") == nullptr && draws_nowhere(SDL_GetCurrentVideoDriver())) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    set_last_error(no_display);
    return false;
  }
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);  // without it the keyboard still plays
  video_started_ = true;
  draws_nowhere_ = draws_nowhere(SDL_GetCurrentVideoDriver());
  return true;
}

int SdlBackend::chosen_display() const {
  if (options_.display >= 0) return options_.display;
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  SDL_Rect bounds;
  for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
    if (SDL_GetDisplayBounds(display, &bounds) == 0 && contains(bounds, x, y)) return display;
  }
  return 0;
}

SDL_Rect SdlBackend::display_bounds() const {
  SDL_Rect bounds{0, 0, picture_width, picture_height};
  SDL_GetDisplayBounds(display_, &bounds);
  return bounds;
}

// Twice the picture's size, or the largest whole factor that fits the display.
SDL_Point SdlBackend::window_size() const {
  SDL_Rect usable{0, 0, picture_width, picture_height};
  SDL_GetDisplayUsableBounds(display_, &usable);
  const int scale = std::clamp(std::min(usable.w / picture_width, usable.h / picture_height), 1, 2);
  return {picture_width * scale, picture_height * scale};
}

// Full screen without changing the monitor's mode. Placed and sized to the display as well:
// without a window manager to honour the full-screen request, the window still covers it.
void SdlBackend::fill_display() {
  const SDL_Rect bounds = display_bounds();
  SDL_SetWindowBordered(window_, SDL_FALSE);
  SDL_SetWindowResizable(window_, SDL_FALSE);
  SDL_SetWindowPosition(window_, bounds.x, bounds.y);
  SDL_SetWindowSize(window_, bounds.w, bounds.h);
  SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void SdlBackend::fit_window_in_display() {
  const SDL_Point size = window_size();
  SDL_SetWindowFullscreen(window_, 0);
  SDL_SetWindowBordered(window_, SDL_TRUE);
  SDL_SetWindowResizable(window_, SDL_TRUE);
  SDL_SetWindowSize(window_, size.x, size.y);
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display_), SDL_WINDOWPOS_CENTERED_DISPLAY(display_));
}

bool SdlBackend::make_window() {
  display_ = chosen_display();
  if (display_ >= SDL_GetNumVideoDisplays()) {
    char text[128];
    std::snprintf(text, sizeof text, "there is no display %d (this desktop has %d)", display_,
                  SDL_GetNumVideoDisplays());
    set_last_error(text);
    return false;
  }
  full_screen_ = !options_.windowed;
  const int centred = SDL_WINDOWPOS_CENTERED_DISPLAY(display_);
  const SDL_Rect bounds = display_bounds();
  const SDL_Point size = window_size();
  const SDL_Rect area = full_screen_ ? bounds : SDL_Rect{centred, centred, size.x, size.y};
  const Uint32 mode = full_screen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE;
  // Made for OpenGL from the start when an accelerated renderer will be tried: SDL would
  // otherwise make the window again for it, and wait again for a window manager that may not be.
  const Uint32 for_renderer = wants_accelerated_renderer() && !draws_nowhere_ ? SDL_WINDOW_OPENGL : 0;
  for (const Uint32 extra : {for_renderer, Uint32{0}}) {
    window_ = SDL_CreateWindow(window_title, area.x, area.y, area.w, area.h, mode | extra | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_ != nullptr || extra == 0) break;
  }
  if (window_ == nullptr) set_sdl_error("the window could not be created");
  return window_ != nullptr;
}

void SdlBackend::switch_screen_mode() {
  if (window_ == nullptr) return;
  full_screen_ = !full_screen_;
  full_screen_ ? fill_display() : fit_window_in_display();
  if (presenter_ != nullptr) {
    presenter_->window_resized();
    presenter_->show_again();
  }
}

bool SdlBackend::open_window() {
  if (window_ != nullptr || !start_video() || !make_window()) return false;
  presenter_ = make_presenter(window_, options_.scale);
  if (presenter_ == nullptr) {
    set_sdl_error("nothing can draw in the window");
    close_window();
    return false;
  }
  SDL_ShowCursor(cursor_shown_ ? SDL_ENABLE : SDL_DISABLE);
  if (heard(draws_nowhere_)) audio_.open();  // without it the game is silent
  return true;
}

const char* SdlBackend::renderer_name() const { return presenter_ != nullptr ? presenter_->name() : ""; }

int SdlBackend::controller_count() const { return input_->pad_count(); }

void SdlBackend::close_window() {
  audio_.close();
  presenter_.reset();
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
}

// The monitor keeps its mode; the picture is scaled instead. Only the game's mode is offered.
bool SdlBackend::set_display_mode(int width, int height, int bits_per_pixel) {
  return window_ != nullptr && width == picture_width && height == picture_height && bits_per_pixel == 8;
}

bool SdlBackend::present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
                         const ChangedArea& changed) {
  // A window closed or asked to close shows nothing more, and that is no fault: the player
  // has ended the game, and what was shown last stays.
  if (presenter_ == nullptr || session_over()) return true;
  return show_game_picture(picture_.update(pixels, width, height, pitch, palette, changed));
}

bool SdlBackend::show_game_picture(const ChangedArea& rewritten) {
  ChangedArea changed = rewritten;
  const std::uint32_t* shown = shown_picture_.compose(picture_.pixels(), picture_.width(), picture_.height(), changed);
  return presenter_->show(shown, picture_.width(), picture_.height(), changed);
}

// The window's close request (or an interrupt) becomes WM_CLOSE, an expose WM_PAINT; the
// picture is shown again at once, also while the game waits or is paused and draws nothing.
void SdlBackend::handle_window_event(const SDL_Event& event) {
  if (event.type == SDL_QUIT) report_close_request();
  // The textures' contents are lost: the next flip makes and fills new ones.
  if (event.type == SDL_RENDER_DEVICE_RESET && presenter_ != nullptr) presenter_->device_reset();
  if (event.type != SDL_WINDOWEVENT) return;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE: report_close_request(); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: report_focus(false); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: report_focus(true); break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN: report_shown(false); break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SHOWN: report_shown(true); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_EXPOSED:
      report_expose();
      if (presenter_ == nullptr) break;
      if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) presenter_->window_resized();
      presenter_->show_again();
      break;
    default: break;
  }
}

int SdlBackend::handle_event(const SDL_Event& event) {
  handle_window_event(event);
  if (SdlInput::switches_screen_mode(event)) switch_screen_mode();
  SdlInput::follow_control_key(event);
  return input_->handle(event);
}

bool SdlBackend::window_gone() const { return window_ == nullptr || session_over(); }

// Takes every event queued. Not through SDL_PollEvent: since SDL 2.0.18 a wait that blocked (as
// every wait here does, taking its event) leaves SDL's poll sentinel in front of what came after
// it, and the next poll stops there with nothing; peeking past the sentinel takes all of it.
void SdlBackend::poll_events() {
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) handle_event(event);
}

void SdlBackend::pump_events() {
  if (!video_started_) return;
  poll_events();
  stand_still_while_paused(*this, input_->keys(), picture_);
  input_->take_snapshot();
}

bool SdlBackend::key_held(int vk) { return video_started_ && input_->held(vk); }

void SdlBackend::cursor_visible(bool visible) {
  cursor_shown_ = visible;
  if (video_started_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// The game's pace means nothing once the player has ended the session: the rest of the frame
// runs at once, and the process ends without waiting out a frame's pause.
void SdlBackend::sleep_ms(std::uint32_t milliseconds) {
  if (!window_gone()) SDL_Delay(milliseconds);
}

// Sleeps until the next input comes: a waiting game wakes the moment a key goes down and
// otherwise uses almost no processor time. Once the window is closed or asked to close, no key
// can end the wait any more, so the wait ends; the loop then finds the close.
bool SdlBackend::idle_between_polls(int /*awaited_vk*/) {
  if (!video_started_) return false;
  // What the game says about the wait (who scored...) comes after its last picture.
  if (overlay().take_change() && presenter_ != nullptr && !window_gone() && picture_.width() == picture_width) {
    show_game_picture({true, nullptr, 0});
  }
  while (next_input(idle_ms).kind == InputEvent::Kind::none && !paused_by_player()) {
  }
  poll_events();
  // The wait already stands still; only the player's pause shows and holds the sound here.
  if (paused_by_player()) stand_still_while_paused(*this, input_->keys(), picture_);
  input_->take_snapshot();
  return !window_gone();
}

}  // namespace platform
