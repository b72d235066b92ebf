#include "platform/sdl_backend.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "objects.h"
#include "platform/keys.h"
#include "platform/window.h"

namespace platform {

namespace {

// The game's virtual-key codes and the keys they stand for.
struct KeyMapping {
  int vk;
  SDL_Scancode scancode;
};
constexpr KeyMapping key_map[] = {
    {vk_return, SDL_SCANCODE_RETURN}, {vk_escape, SDL_SCANCODE_ESCAPE}, {vk_space, SDL_SCANCODE_SPACE},
    {vk_left, SDL_SCANCODE_LEFT},     {vk_up, SDL_SCANCODE_UP},         {vk_right, SDL_SCANCODE_RIGHT},
    {vk_down, SDL_SCANCODE_DOWN},     {vk_d, SDL_SCANCODE_D},           {vk_n, SDL_SCANCODE_N},
};
static_assert(std::size(key_map) == script_key_count);

constexpr char no_display[] = "no display to open (is an X or Wayland session running?)";

// SDL falls back to drivers that draw nowhere; the game takes them only when asked by name.
bool draws_nowhere(const char* driver) {
  return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool display_named() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("SDL_VIDEODRIVER") != nullptr;
}

// The game's key code of a key, or 0.
int game_key(SDL_Scancode scancode) {
  for (const KeyMapping& mapping : key_map) {
    if (mapping.scancode == scancode) return mapping.vk;
  }
  return 0;
}

void set_sdl_error(const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, "%s: %s", what, SDL_GetError());
  set_last_error(text);
}

}  // namespace

SdlBackend::~SdlBackend() {
  close_window();
  if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlBackend::start_video() {
  if (video_started_) return true;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The game stays on screen when it loses the focus.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
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
  video_started_ = true;
  draws_nowhere_ = draws_nowhere(SDL_GetCurrentVideoDriver());
  return true;
}

bool SdlBackend::open_window(int width, int height, const char* title) {
  if (window_ != nullptr || !start_video()) return false;
  // Sized to the desktop as well: without a window manager to honour the full-screen request,
  // the window still covers the screen.
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    width = desktop.w;
    height = desktop.h;
  }
  window_ = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  if (window_ == nullptr) {
    set_sdl_error("the window could not be created");
    return false;
  }
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  SDL_RendererInfo info;
  if (renderer_ == nullptr || SDL_GetRendererInfo(renderer_, &info) != 0) {
    set_sdl_error("no renderer for the window");
    close_window();
    return false;
  }
  keeps_target_ = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
  borders_dirty_ = true;
  close_requested_ = false;
  SDL_ShowCursor(cursor_shown_ ? SDL_ENABLE : SDL_DISABLE);
  return true;
}

const char* SdlBackend::renderer_name() const {
  SDL_RendererInfo info;
  return renderer_ != nullptr && SDL_GetRendererInfo(renderer_, &info) == 0 ? info.name : "";
}

void SdlBackend::close_window() {
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

// The texture, scaled by the largest whole factor that fits, with black borders.
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
  if (renderer_ == nullptr) return true;  // the window is closed: nothing to show, and no fault
  const bool new_texture = texture_ == nullptr || width != texture_width_ || height != texture_height_;
  if (!make_texture(width, height)) return false;
  ChangedArea rewritten = picture_.update(pixels, width, height, pitch, palette, changed);
  if (new_texture) rewritten = {true, nullptr, 0};
  return upload(rewritten) && show_texture();
}

void SdlBackend::request_close() {
  close_requested_ = true;
  request_window_close(game_window());
}

// The window's close request (or an interrupt) becomes WM_CLOSE, an expose WM_PAINT; the
// picture is shown again at once, also while the game waits and draws nothing.
void SdlBackend::handle_window_event(const SDL_Event& event) {
  if (event.type == SDL_QUIT) request_close();
  if (event.type == SDL_RENDER_DEVICE_RESET && texture_ != nullptr) {
    SDL_DestroyTexture(texture_);  // its contents are lost: the next flip makes and fills a new one
    texture_ = nullptr;
    texture_width_ = texture_height_ = 0;
  }
  if (event.type != SDL_WINDOWEVENT) return;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
      request_close();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      invalidate_window(game_window());
      borders_dirty_ = true;
      if (texture_ != nullptr) show_texture();
      break;
    default:
      break;
  }
}

void SdlBackend::handle_key_event(const SDL_Event& event) {
  if (event.type == SDL_KEYDOWN) keys_.press(game_key(event.key.keysym.scancode));
  if (event.type == SDL_KEYUP) keys_.release(game_key(event.key.keysym.scancode));
}

void SdlBackend::handle_event(const SDL_Event& event) {
  handle_window_event(event);
  handle_key_event(event);
}

void SdlBackend::pump_events() {
  if (!video_started_) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) handle_event(event);
  keys_.pump();
}

bool SdlBackend::key_held(int vk) { return video_started_ && keys_.held(vk); }

void SdlBackend::cursor_visible(bool visible) {
  cursor_shown_ = visible;
  if (video_started_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlBackend::sleep_ms(std::uint32_t milliseconds) { SDL_Delay(milliseconds); }

bool SdlBackend::wait_for_event() {
  while (window_ != nullptr && !close_requested_) {
    if (SDL_WaitEventTimeout(nullptr, idle_ms)) return true;  // leaves the event queued
  }
  return false;
}

// Sleeps until the next event arrives: a waiting game wakes the moment a key goes down and
// otherwise uses almost no processor time. Once the window is closed or asked to close, no key
// can end the wait any more, so the wait ends; the loop then finds the close.
bool SdlBackend::idle_between_polls() {
  if (!video_started_ || !wait_for_event()) return false;
  pump_events();
  return window_ != nullptr && !close_requested_;
}

}  // namespace platform
