#pragma once
// The display objects behind the opaque handles of draw.h, and what the parts of core share.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "damage.h"
#include "platform/draw.h"
#include "platform/gdi.h"
#include "platform/test_hooks.h"
#include "platform/window.h"
#include "platform/window_events.h"

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

struct WindowObject {
  WindowProc procedure = nullptr;
  bool alive = true;
  bool close_requested = false;
  bool needs_paint = false;
  bool focused = true;
  bool shown = true;
  bool paused = false;  // by the player
};

struct WindowClassRecord {
  std::string name;
  WindowProc procedure;
};

// The window manager of the game's one thread (window.cpp); a test starts afresh from an empty one.
struct WindowManager {
  std::vector<WindowClassRecord> classes;
  // Windows stay allocated after their destruction, so a stale handle is still safe to test.
  std::vector<std::unique_ptr<WindowObject>> windows;
  // The queue holds no posted messages: nothing posts any. Close requests and paints are flags on
  // their window, so they are never lost or repeated, and the quit request is one flag too.
  bool quit_requested = false;
  int quit_code = 0;
  int cursor_count = 0;
  PauseListener* pause_listener = nullptr;
};
extern WindowManager window_manager;

}  // namespace platform
