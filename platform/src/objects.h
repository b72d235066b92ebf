#pragma once
// The display objects behind the opaque handles of draw.h, and what the platform's parts share.

#include <array>
#include <cstdint>
#include <vector>

#include "damage.h"
#include "font.h"
#include "platform/draw.h"
#include "platform/gdi.h"
#include "platform/testing.h"

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
  int bk_mode = bk_opaque;
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

// Failure injection and counters (testing.cpp).
bool injected_failure(testing::Call call);
bool blits_fail_from(const Surface* source);
int extra_pitch();
void count_object(int delta);

// Records why a call failed (draw.cpp).
void set_last_error(const char* text);

// The newest window still alive, where outside events are posted; null when none (window.cpp).
Window game_window();
// No window is alive, or the game's is asked to close: the player's session is over.
bool game_window_closing();

// The palette attached to the primary surface: what the screen shows and what text colours
// are matched against (draw.cpp).
const Palette* display_palette();

}  // namespace platform
