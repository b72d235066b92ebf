#include "platform/png.h"

#include <SDL.h>
#include <SDL_image.h>

namespace platform {

bool save_indexed_png(const char* path, int width, int height, const std::uint8_t* pixels,
                      int pitch, const PaletteEntry (&palette)[256]) {
  // The surface only borrows the pixels; SDL never writes through them while saving.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint8_t*>(pixels), width, height, 8, pitch, SDL_PIXELFORMAT_INDEX8);
  if (surface == nullptr) return false;
  SDL_Color colours[256];
  for (int i = 0; i < 256; ++i) {
    colours[i] = SDL_Color{palette[i].red, palette[i].green, palette[i].blue, SDL_ALPHA_OPAQUE};
  }
  const bool saved = SDL_SetPaletteColors(surface->format->palette, colours, 0, 256) == 0 &&
                     IMG_SavePNG(surface, path) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

}  // namespace platform
