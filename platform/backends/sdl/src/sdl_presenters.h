#pragma once
// How the picture reaches the game's window: through the window's own surface, where the game's
// scaler redraws only what changed and only that is sent to the screen (the path where nothing
// else scales, as under a plain X server), or through an accelerated SDL renderer, which scales
// on the graphics card.

#include <SDL2/SDL.h>

#include <array>
#include <cstdint>
#include <memory>

#include "platform/backend.h"
#include "platform/sharp_scaler.h"

namespace platform {

class SdlPresenter {
 public:
  virtual ~SdlPresenter() = default;

  // "software" for the window surface, else SDL's name of the renderer ("opengl"...).
  virtual const char* name() const = 0;
  // Shows `pixels` (0x00RRGGBB, rows of `width` without gaps), redrawing `changed` or, after the
  // window changed, all of it. The pixels must stay valid until the next show: an expose or a
  // resize draws them again.
  virtual bool show(const std::uint32_t* pixels, int width, int height, const ChangedArea& changed) = 0;
  // Shows the last picture again, after an expose or a resize.
  virtual bool show_again() = 0;
  // The window changed its size: its surface or target is to be laid out anew.
  virtual void window_resized() = 0;
  // The renderer lost what it kept on the graphics card.
  virtual void device_reset() {}
  // Where the picture lies, in the window's pixels (not points: on a scaled display they differ).
  virtual ScreenRect placement() const = 0;
  virtual SDL_Point output_size() const = 0;
};

// The presenter for the window: an accelerated renderer where there is one and SDL_RENDER_DRIVER
// asks for nothing else, else the window surface (a 32-bit one), else SDL's software renderer.
// Nothing when none of them can be had; SDL's error says why.
std::unique_ptr<SdlPresenter> make_presenter(SDL_Window* window, ScaleMode mode);

// Whether the window will try an accelerated renderer first: such a window is made for OpenGL
// from the start, so that SDL need not make it again for the renderer.
bool wants_accelerated_renderer();

class SurfacePresenter : public SdlPresenter {
 public:
  SurfacePresenter(SDL_Window* window, ScaleMode mode) : window_(window), mode_(mode) {}

  const char* name() const override { return "software"; }
  bool show(const std::uint32_t* pixels, int width, int height, const ChangedArea& changed) override;
  bool show_again() override;
  void window_resized() override { surface_ = nullptr; }
  ScreenRect placement() const override { return scaler_.placement(); }
  SDL_Point output_size() const override;

 private:
  // The window's surface, got again after a resize made the last one invalid; false when there
  // is none. `renewed` tells that the whole window is to be drawn.
  bool take_surface(bool& renewed);
  ScreenPixels screen() const;
  bool show_everything();

  SDL_Window* window_;
  ScaleMode mode_;
  SDL_Surface* surface_ = nullptr;
  SharpScaler scaler_;
  const std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::array<SDL_Rect, 64> sent_{};  // a frame's changed rectangles on the screen
};

class RendererPresenter : public SdlPresenter {
 public:
  RendererPresenter(SDL_Renderer* renderer, ScaleMode mode);
  ~RendererPresenter() override;
  RendererPresenter(const RendererPresenter&) = delete;
  RendererPresenter& operator=(const RendererPresenter&) = delete;

  const char* name() const override;
  bool show(const std::uint32_t* pixels, int width, int height, const ChangedArea& changed) override;
  bool show_again() override;
  void window_resized() override { borders_dirty_ = true; }
  void device_reset() override;
  ScreenRect placement() const override;
  SDL_Point output_size() const override;

 private:
  bool make_picture_texture(int width, int height);
  // The picture enlarged by a whole factor with nearest pixels, to be brought down to the
  // placement's size smoothly; nothing when the placement is a whole factor itself.
  SDL_Texture* enlarged(const ScreenRect& placement);
  bool upload(const std::uint32_t* pixels, const ChangedArea& changed);

  SDL_Renderer* renderer_;
  ScaleMode mode_;
  SDL_Texture* picture_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  SDL_Texture* enlarged_ = nullptr;
  int factor_ = 0;
  // A software renderer keeps its picture between presents, so its borders need clearing only
  // after the window changed; other renderers clear every frame.
  bool keeps_target_ = false;
  bool borders_dirty_ = true;
};

}  // namespace platform
