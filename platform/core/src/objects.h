#pragma once
// The display objects behind the opaque handles of draw.h, and what the parts of core share.

#include <array>
#include <cstdint>
#include <vector>

#include "damage.h"
#include "platform/draw.h"
#include "platform/gdi.h"
#include "platform/test_hooks.h"

namespace platform {

// Every object starts with one reference; the last release frees it.
struct RefCounted {
  int references = 1;
};

struct DirectDraw : RefCounted {};

struct DirectDraw4 : RefCounted {
  DirectDraw* parent = nullptr;
  Window window = nullptr;  // given with the cooperative level
  bool exclusive = false;
  int mode_width = 0;
  int mode_height = 0;
  bool screen_lost = false;  // a present failed for good; flips show nothing from then on
};

struct Palette : RefCounted {
  std::array<PaletteEntry, 256> entries{};
};

struct Clipper : RefCounted {
  std::vector<Rect> rects;
  bool has_list = false;
};

struct DeviceContext {
  Surface* surface = nullptr;
  ColorRef text_colour = 0;
};

struct Surface : RefCounted {
  int width = 0;
  int height = 0;
  int pitch = 0;
  std::vector<std::uint8_t> memory;
  bool keyed = false;
  ColorKey key{0, 0};
  bool locked = false;
  bool dc_held = false;
  DeviceContext dc;                // lives with the surface, so text needs no allocation
  DirectDraw4* owner = nullptr;    // a primary's display object (one reference)
  Surface* back_buffer = nullptr;  // a primary's attached back buffer (one reference)
  Palette* palette = nullptr;      // one reference
  Clipper* clipper = nullptr;      // one reference
  std::uint64_t serial = 0;        // unique for the life of the program
  std::uint64_t version = 0;       // counts writes onto the surface
  SurfaceDamage damage;
};

// Null in a program that links no platform_testing: a weak reference pulls nothing in.
[[gnu::weak]] extern const TestHooks test_hooks;

inline const TestHooks* hooks() { return &test_hooks; }
inline bool injected_failure(HookedCall call) { return hooks() != nullptr && hooks()->call_fails(call); }
inline bool blits_fail_from(const Surface* source) {
  return hooks() != nullptr && hooks()->blit_fails_from(source);
}
inline int extra_pitch() { return hooks() != nullptr ? hooks()->extra_pitch() : 0; }
inline void count_object(int delta) {
  if (hooks() != nullptr) hooks()->objects_changed(delta);
}

// The newest window still alive; null when none (window.cpp).
Window game_window();

// The palette attached to the primary surface: what the screen shows and what text colours
// are matched against (draw.cpp).
const Palette* display_palette();

// A test's fresh start: the random sequence from state 1 (system.cpp), and no window classes,
// windows, quit request or hidden cursor (window.cpp).
void restart_random();
void forget_windows();

}  // namespace platform
