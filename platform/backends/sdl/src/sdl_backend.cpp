#include "platform/sdl_backend.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/modal_waits.h"
#include "platform/window_events.h"
#include "sdl_input.h"

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

SdlBackend::SdlBackend(SdlOptions options) : options_(options), input_(std::make_unique<SdlInput>()) {}

SdlBackend::~SdlBackend() {
  close_window();
  input_.reset();  // closes the controllers while SDL still runs
  if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER);
}

bool SdlBackend::start_video() {
  if (video_started_) return true;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The game stays on screen when it loses the focus; it pauses instead.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  setenv("SDL_VIDEO_X11_WMCLASS", x11_class, 0);  // the player's own choice stays
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", wayland_app_id, 0);
  if (!display_named()) {
    set_last_error(no_display);
    return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    set_sdl_error(no_display);
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
  if (full_screen_) {
    const SDL_Rect bounds = display_bounds();
    window_ = SDL_CreateWindow(window_title, bounds.x, bounds.y, bounds.w, bounds.h,
                               SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI);
  } else {
    const SDL_Point size = window_size();
    const int centred = SDL_WINDOWPOS_CENTERED_DISPLAY(display_);
    window_ = SDL_CreateWindow(window_title, centred, centred, size.x, size.y,
                               SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  }
  if (window_ == nullptr) set_sdl_error("the window could not be created");
  return window_ != nullptr;
}

void SdlBackend::switch_screen_mode() {
  if (window_ == nullptr) return;
  full_screen_ = !full_screen_;
  full_screen_ ? fill_display() : fit_window_in_display();
  borders_dirty_ = true;
  if (texture_ != nullptr) show_texture();
}

bool SdlBackend::open_window() {
  if (window_ != nullptr || !start_video() || !make_window()) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  SDL_RendererInfo info;
  if (renderer_ == nullptr || SDL_GetRendererInfo(renderer_, &info) != 0) {
    set_sdl_error("no renderer for the window");
    close_window();
    return false;
  }
  keeps_target_ = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
  borders_dirty_ = true;
  SDL_ShowCursor(cursor_shown_ ? SDL_ENABLE : SDL_DISABLE);
  if (heard(draws_nowhere_)) audio_.open();  // without it the game is silent
  return true;
}

const char* SdlBackend::renderer_name() const {
  SDL_RendererInfo info;
  return renderer_ != nullptr && SDL_GetRendererInfo(renderer_, &info) == 0 ? info.name : "";
}

int SdlBackend::controller_count() const { return input_->pad_count(); }

void SdlBackend::close_window() {
  audio_.close();
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  texture_width_ = texture_height_ = 0;
}

// The monitor keeps its mode; the picture is scaled instead. Only the game's mode is offered.
bool SdlBackend::set_display_mode(int width, int height, int bits_per_pixel) {
  return window_ != nullptr && width == picture_width && height == picture_height && bits_per_pixel == 8;
}

bool SdlBackend::make_texture(int width, int height) {
  if (texture_ != nullptr && width == texture_width_ && height == texture_height_) return true;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  texture_width_ = texture_ ? width : 0;
  texture_height_ = texture_ ? height : 0;
  return texture_ != nullptr;
}

bool SdlBackend::upload(const ChangedArea& rewritten) {
  if (rewritten.everything) return upload_whole(picture_.pixels());
  const int pitch = picture_.width() * 4;
  for (int i = 0; i < rewritten.count; ++i) {
    const Rect& r = rewritten.rects[i];
    const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
    const std::uint32_t* first = picture_.pixels() + static_cast<std::size_t>(r.top) * picture_.width() + r.left;
    if (SDL_UpdateTexture(texture_, &area, first, pitch) != 0) return false;
  }
  return true;
}

bool SdlBackend::upload_whole(const std::uint32_t* pixels) {
  return SDL_UpdateTexture(texture_, nullptr, pixels, texture_width_ * 4) == 0;
}

// The texture, scaled by the largest whole factor that fits the window's pixels (not its points:
// on a scaled display they differ), with black borders.
bool SdlBackend::show_texture() {
  int screen_width = 0, screen_height = 0;
  SDL_GetRendererOutputSize(renderer_, &screen_width, &screen_height);
  const ScreenRect fit = fit_picture(screen_width, screen_height, texture_width_, texture_height_);
  if (borders_dirty_ || !keeps_target_) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    borders_dirty_ = false;
  }
  const SDL_Rect target{fit.x, fit.y, fit.width, fit.height};
  if (SDL_RenderCopy(renderer_, texture_, nullptr, &target) != 0) return false;
  SDL_RenderPresent(renderer_);
  return true;
}

bool SdlBackend::present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
                         const ChangedArea& changed) {
  // A window closed or asked to close shows nothing more, and that is no fault: the player
  // has ended the game, and what was shown last stays.
  if (renderer_ == nullptr || session_over()) return true;
  const bool new_texture = texture_ == nullptr || width != texture_width_ || height != texture_height_;
  if (!make_texture(width, height)) return false;
  ChangedArea rewritten = picture_.update(pixels, width, height, pitch, palette, changed);
  if (new_texture) rewritten = {true, nullptr, 0};
  return upload(rewritten) && show_texture();
}

// The window's close request (or an interrupt) becomes WM_CLOSE, an expose WM_PAINT; the
// picture is shown again at once, also while the game waits or is paused and draws nothing.
void SdlBackend::handle_window_event(const SDL_Event& event) {
  if (event.type == SDL_QUIT) report_close_request();
  if (event.type == SDL_RENDER_DEVICE_RESET && texture_ != nullptr) {
    SDL_DestroyTexture(texture_);  // its contents are lost: the next flip makes and fills a new one
    texture_ = nullptr;
    texture_width_ = texture_height_ = 0;
  }
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
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      report_expose();
      borders_dirty_ = true;
      if (texture_ != nullptr) show_texture();
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

void SdlBackend::sleep_ms(std::uint32_t milliseconds) { SDL_Delay(milliseconds); }

// Sleeps until the next input comes: a waiting game wakes the moment a key goes down and
// otherwise uses almost no processor time. Once the window is closed or asked to close, no key
// can end the wait any more, so the wait ends; the loop then finds the close.
bool SdlBackend::idle_between_polls() {
  if (!video_started_) return false;
  while (next_input(idle_ms).kind == InputEvent::Kind::none && !paused_by_player()) {
  }
  poll_events();
  // The wait already stands still; only the player's pause shows and holds the sound here.
  if (paused_by_player()) stand_still_while_paused(*this, input_->keys(), picture_);
  input_->take_snapshot();
  return !window_gone();
}

}  // namespace platform
