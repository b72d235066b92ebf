#include "sdl_presenters.h"

#include <algorithm>
#include <cstring>

namespace platform {

bool wants_accelerated_renderer() {
  const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  return driver == nullptr || std::strcmp(driver, "software") != 0;
}

std::unique_ptr<SdlPresenter> make_presenter(SDL_Window* window, ScaleMode mode) {
  // SDL_CreateRenderer would take the renderer SDL_RENDER_DRIVER names even when it is not
  // accelerated; asked for "software", the window surface draws instead.
  if (wants_accelerated_renderer()) {
    if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) {
      return std::make_unique<RendererPresenter>(renderer, mode);
    }
  }
  // The window system's own memory (shared with the X server), rather than a texture of an
  // OpenGL renderer that SDL would otherwise put behind the surface and scale through.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (const SDL_Surface* surface = SDL_GetWindowSurface(window); surface && surface->format->BytesPerPixel == 4) {
    return std::make_unique<SurfacePresenter>(window, mode);
  }
  if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE)) {
    return std::make_unique<RendererPresenter>(renderer, mode);
  }
  return nullptr;
}

namespace {

// A sprite that stands still is listed twice, where it was and where it is: drawn once.
bool listed_before(const ChangedArea& changed, int index) {
  const Rect& r = changed.rects[index];
  for (int i = 0; i < index; ++i) {
    const Rect& o = changed.rects[i];
    if (o.left == r.left && o.top == r.top && o.right == r.right && o.bottom == r.bottom) return true;
  }
  return false;
}

}  // namespace

// The window surface: the scaler draws into it, and only what it drew is sent to the screen.

bool SurfacePresenter::take_surface(bool& renewed) {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return false;
  renewed = surface != surface_;
  surface_ = surface;
  return true;
}

ScreenPixels SurfacePresenter::screen() const {
  const SDL_PixelFormat& format = *surface_->format;
  return {static_cast<std::uint32_t*>(surface_->pixels), surface_->pitch,
          {format.Rshift, format.Gshift, format.Bshift, format.Amask}};
}

SDL_Point SurfacePresenter::output_size() const {
  SDL_Point size{0, 0};
  SDL_GetWindowSizeInPixels(window_, &size.x, &size.y);
  return size;
}

bool SurfacePresenter::show_everything() {
  const ScreenPixels to = screen();
  scaler_.paint_borders(to);
  scaler_.scale_changed(pixels_, {0, 0, width_, height_}, to);
  return SDL_UpdateWindowSurface(window_) == 0;
}

bool SurfacePresenter::show(const std::uint32_t* pixels, int width, int height, const ChangedArea& changed) {
  pixels_ = pixels;
  width_ = width;
  height_ = height;
  bool renewed = false;
  if (!take_surface(renewed)) return false;
  const bool resized = scaler_.resize(mode_, surface_->w, surface_->h, width, height);
  if (renewed || resized || changed.everything || changed.count > static_cast<int>(sent_.size())) {
    return show_everything();
  }
  int count = 0;
  for (int i = 0; i < changed.count; ++i) {
    if (listed_before(changed, i)) continue;
    const ScreenRect drawn = scaler_.scale_changed(pixels, changed.rects[i], screen());
    if (drawn.width > 0 && drawn.height > 0) sent_[count++] = {drawn.x, drawn.y, drawn.width, drawn.height};
  }
  return count == 0 || SDL_UpdateWindowSurfaceRects(window_, sent_.data(), count) == 0;
}

// After an expose the surface still holds the picture and only needs sending again; a resize
// brings a new surface to draw whole.
bool SurfacePresenter::show_again() {
  if (pixels_ == nullptr) return true;
  bool renewed = false;
  if (!take_surface(renewed)) return false;
  const bool resized = scaler_.resize(mode_, surface_->w, surface_->h, width_, height_);
  return renewed || resized ? show_everything() : SDL_UpdateWindowSurface(window_) == 0;
}

// A renderer: the picture in a texture, updated where it changed, and scaled on the way to the
// window.

RendererPresenter::RendererPresenter(SDL_Renderer* renderer, ScaleMode mode) : renderer_(renderer), mode_(mode) {
  SDL_RendererInfo info;
  keeps_target_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

RendererPresenter::~RendererPresenter() {
  device_reset();
  SDL_DestroyRenderer(renderer_);
}

const char* RendererPresenter::name() const {
  SDL_RendererInfo info;
  return SDL_GetRendererInfo(renderer_, &info) == 0 ? info.name : "";
}

void RendererPresenter::device_reset() {
  if (picture_ != nullptr) SDL_DestroyTexture(picture_);
  if (enlarged_ != nullptr) SDL_DestroyTexture(enlarged_);
  picture_ = enlarged_ = nullptr;
  width_ = height_ = factor_ = 0;
}

SDL_Point RendererPresenter::output_size() const {
  SDL_Point size{0, 0};
  SDL_GetRendererOutputSize(renderer_, &size.x, &size.y);
  return size;
}

ScreenRect RendererPresenter::placement() const {
  if (width_ == 0 || height_ == 0) return {0, 0, 0, 0};
  const SDL_Point size = output_size();
  return mode_ == ScaleMode::sharp ? fill_picture(size.x, size.y, width_, height_)
                                   : fit_picture(size.x, size.y, width_, height_);
}

bool RendererPresenter::make_picture_texture(int width, int height) {
  if (picture_ != nullptr && width == width_ && height == height_) return true;
  device_reset();
  picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (picture_ == nullptr) return false;
  SDL_SetTextureScaleMode(picture_, SDL_ScaleModeNearest);
  width_ = width;
  height_ = height;
  return true;
}

SDL_Texture* RendererPresenter::enlarged(const ScreenRect& placement) {
  const int factor = std::max(1, (placement.width + width_ - 1) / width_);
  const bool whole = placement.width == factor * width_ && placement.height == factor * height_;
  if (mode_ == ScaleMode::whole || whole) return nullptr;
  if (enlarged_ != nullptr && factor == factor_) return enlarged_;
  if (enlarged_ != nullptr) SDL_DestroyTexture(enlarged_);
  enlarged_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, width_ * factor,
                                height_ * factor);
  factor_ = enlarged_ != nullptr ? factor : 0;
  if (enlarged_ != nullptr) SDL_SetTextureScaleMode(enlarged_, SDL_ScaleModeLinear);
  return enlarged_;
}

bool RendererPresenter::upload(const std::uint32_t* pixels, const ChangedArea& changed) {
  if (changed.everything) return SDL_UpdateTexture(picture_, nullptr, pixels, width_ * 4) == 0;
  for (int i = 0; i < changed.count; ++i) {
    const Rect& r = changed.rects[i];
    const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
    const std::uint32_t* first = pixels + static_cast<std::size_t>(r.top) * width_ + r.left;
    if (SDL_UpdateTexture(picture_, &area, first, width_ * 4) != 0) return false;
  }
  return true;
}

bool RendererPresenter::show(const std::uint32_t* pixels, int width, int height, const ChangedArea& changed) {
  const bool fresh = picture_ == nullptr || width != width_ || height != height_;
  if (!make_picture_texture(width, height)) return false;
  return upload(pixels, fresh ? ChangedArea{true, nullptr, 0} : changed) && show_again();
}

// Where the placement is no whole factor, the picture goes up by the next whole factor with
// nearest pixels, then down to the placement smoothly: only the borders between picture pixels
// blend. The enlarged picture is drawn anew each time: a render target may lose its contents.
bool RendererPresenter::show_again() {
  if (picture_ == nullptr) return true;
  const ScreenRect place = placement();
  SDL_Texture* source = picture_;
  if (SDL_Texture* big = enlarged(place)) {
    if (SDL_SetRenderTarget(renderer_, big) != 0 || SDL_RenderCopy(renderer_, picture_, nullptr, nullptr) != 0) {
      return false;
    }
    SDL_SetRenderTarget(renderer_, nullptr);
    source = big;
  }
  if (borders_dirty_ || !keeps_target_) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    borders_dirty_ = false;
  }
  const SDL_Rect target{place.x, place.y, place.width, place.height};
  if (SDL_RenderCopy(renderer_, source, nullptr, &target) != 0) return false;
  SDL_RenderPresent(renderer_);
  return true;
}

}  // namespace platform
