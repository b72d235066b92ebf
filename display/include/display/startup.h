#pragma once
// Taking the display, creating every surface the game draws with and loading the bitmaps
// into them; and releasing all of it at the end.

#include <array>

#include "display/bmp.h"
#include "display/display_ops.h"
#include "display/sprites.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "platform/window.h"

struct DrawObserver;

// The display objects of the game; every member is null until created. The main loop owns them.
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
  DrawObserver* observer = nullptr;   // hears start-up's message boxes
  BmpImage bitmap;                    // the one image every bitmap passes through at start-up
  char failed_step[96] = "";          // the step at which start-up failed ("" after a success)
};

// 1 when every step succeeded, 0 at the first step that failed (display.failed_step names it). The
// start palette's random colours are drawn from `random`, the game's generator.
int rink_startup(DisplayContext& display, platform::Random& random);
// Whether the game's data is where bare names are looked for: true when any of its bitmaps is
// there, readable or not. With none of them the game is not installed whole, which no rule of
// the game's covers (a missing bitmap has its own box).
bool game_data_found();
// A canvas of its own for a copy of the match: a back buffer of the screen's size, the display's
// pictures, no screen and no observer. Its back buffer is null when it cannot be made; give it
// back with release_spare before the display goes.
Canvas spare_canvas(const DisplayContext& display);
void release_spare(Canvas& canvas);

// Releases every display object that start-up created; returns 1.
int rink_teardown(DisplayContext& display);

platform::Clipper* make_clipper(const DisplayContext& display, platform::Surface* surface, int count,
                                const platform::Rect* rects);
// Fills the whole surface with one palette index; 1 when the fill was done, else 0.
int fill_surface(platform::Surface* surface, int index);
bool load_image(DisplayContext& display, platform::Surface* surface, const char* file, int width, int height,
                const char* message);
