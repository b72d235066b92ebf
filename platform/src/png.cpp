#include "platform/png.h"

#include <SDL.h>
#include <SDL_image.h>

namespace platform {

bool save_indexed_png(const char* path, int width, int height, const std::uint8_t* pixels,
                      int pitch, const PaletteEntry (&palette)[256], int transparent_index) {
  // The surface only borrows the pixels; SDL never writes through them while saving.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint8_t*>(pixels), width, height, 8, pitch, SDL_PIXELFORMAT_INDEX8);
  if (surface == nullptr) return false;
  SDL_Color colours[256];
  for (int i = 0; i < 256; ++i) {
    colours[i] = SDL_Color{palette[i].red, palette[i].green, palette[i].blue, SDL_ALPHA_OPAQUE};
  }
  bool saved = SDL_SetPaletteColors(surface->format->palette, colours, 0, 256) == 0;
  if (saved && transparent_index >= 0 && transparent_index < 256) {
    // Indexed PNGs keep no colour key, so a see-through picture is saved with an alpha channel.
    SDL_SetColorKey(surface, SDL_TRUE, static_cast<Uint32>(transparent_index));
    SDL_Surface* with_alpha = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGBA32, 0);
    saved = with_alpha != nullptr && IMG_SavePNG(with_alpha, path) == 0;
    SDL_FreeSurface(with_alpha);
  } else {
    saved = saved && IMG_SavePNG(surface, path) == 0;
  }
  SDL_FreeSurface(surface);
  return saved;
}

}  // namespace platform
