#pragma once
// Taking the display, creating every surface the game draws with and loading the bitmaps
// into them; and releasing all of it at the end.

#include <array>

#include "display/bmp.h"
#include "display/sprites.h"
#include "platform/draw.h"
#include "platform/window.h"

// The display objects of the process; every member is null until created.
struct DisplayContext {
  platform::DirectDraw* direct_draw = nullptr;
  platform::DirectDraw4* direct_draw4 = nullptr;
  platform::Surface* primary = nullptr;
  platform::Surface* back_buffer = nullptr;
  platform::Surface* rink = nullptr;
  std::array<platform::Surface*, sprite_count> sprites{};
  // The skater images in the second team's colours, for the second skater; all null when they
  // could not be made, and the second skater then wears the shared images.
  std::array<platform::Surface*, sprite_count> second_team{};
  platform::Palette* palette = nullptr;
  platform::Clipper* clipper = nullptr;
  platform::Window window = nullptr;  // owner of message boxes, receiver of the close request
};

extern DisplayContext display;
// The one image every bitmap passes through at start-up.
extern BmpImage bitmap;

// 1 when every step succeeded, 0 at the first step that failed.
int rink_startup();
// Names the step at which the last start-up failed ("" after a success).
const char* startup_failed_step();
// Whether the game's data is where bare names are looked for: true when any of its bitmaps is
// there, readable or not. With none of them the game is not installed whole, which no rule of
// the game's covers (a missing bitmap has its own box).
bool game_data_found();
// Releases every display object that start-up created; returns 1.
int rink_teardown();

platform::Clipper* make_clipper(platform::Surface* surface, int count, const platform::Rect* rects);
// Fills the whole surface with one palette index; 1 when the fill was done, else 0.
int fill_surface(platform::Surface* surface, int index);
bool load_image(platform::Surface* surface, const char* file, int width, int height, const char* message);
