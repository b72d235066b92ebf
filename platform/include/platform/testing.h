#pragma once
// Controls for tests: make a given call fail, give surfaces a wider pitch, count live objects
// and restart the random sequence.

#include <cstdint>

#include "platform/draw.h"

namespace platform::testing {

enum class Call {
  direct_draw_create,
  query_interface,
  set_cooperative_level,
  set_display_mode,
  create_surface,
  get_attached_surface,
  create_palette,
  set_palette,
  set_entries,
  create_clipper,
  set_clip_list,
  set_clipper,
  lock,
  unlock,
  get_dc,
  flip,
  register_class,
  create_window,
};

// The nth call of this kind from now (1 = the next one) fails, and so do the `times - 1`
// calls of the same kind right after it.
void fail_call(Call call, int nth = 1, int times = 1);
// Every blit whose source is this surface fails, until cleared.
void fail_blits_from(const Surface* source);
// Forgets every planned failure.
void clear_failures();

// Off-screen surfaces created from now on have this many extra bytes per row.
void set_extra_pitch(int bytes);

// Display objects and windows not yet freed.
int live_objects();

// Starts the game's random sequence again from state 1.
void reset_random();

// Forgets the window classes, windows, queued messages and the quit request.
void reset_windows();

// Reads one pixel of a surface (for checking what was drawn).
std::uint8_t pixel(const Surface* surface, int x, int y);
int surface_pitch(const Surface* surface);

}  // namespace platform::testing
