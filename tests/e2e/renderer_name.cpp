// e2e_renderer_name: opens a window the way the game does, on the screen and with the renderer
// its environment names, and prints the name of the renderer SDL really gave it (SDL falls back
// to another one quietly when the one asked for cannot be had).

#include <cstdio>

#include "platform/sdl_backend.h"

int main() {
  platform::SdlBackend screen;
  if (!screen.open_window()) return 1;
  std::puts(screen.renderer_name());
  return 0;
}
