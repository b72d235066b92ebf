#pragma once
// Controls for tests, through the hooks core consults (test_hooks.h): make a given call fail,
// give surfaces a wider pitch, count live objects; and a fresh start of the random sequence and
// the windows, and reads of what a surface holds. Only tests link this; the game never does.

#include <cstdint>

#include "platform/draw.h"
#include "platform/test_hooks.h"

namespace platform::testing {

using Call = HookedCall;

// The nth call of this kind from now (1 = the next one) fails, and so do the `times - 1`
// calls of the same kind right after it.
void fail_call(Call call, int nth = 1, int times = 1);
// Every blit whose source is this surface fails, until cleared.
void fail_blits_from(const Surface* source);
// Forgets every planned failure.
void clear_failures();

// Off-screen surfaces created from now on have this many extra bytes per row.
void set_extra_pitch(int bytes);

// Display objects not yet freed.
int live_objects();

// Forgets the window classes, windows, queued messages, the quit request and the cursor's count.
void reset_windows();

// Reads one pixel of a surface (for checking what was drawn).
std::uint8_t pixel(const Surface* surface, int x, int y);
int surface_pitch(const Surface* surface);
// Whether two surfaces of the same size hold the same picture (their pitches aside).
bool same_pixels(const Surface* a, const Surface* b);

}  // namespace platform::testing
