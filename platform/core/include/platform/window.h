#pragma once
// The window-manager stand-in: one window class registry, windows, a message queue for the
// game's thread, synchronous sends, key state, message boxes and the cursor.

#include <cstdint>

namespace platform {

struct WindowObject;
using Window = WindowObject*;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using WindowProc = LResult (*)(Window, std::uint32_t, WParam, LParam);

constexpr std::uint32_t wm_create = 0x0001;
constexpr std::uint32_t wm_destroy = 0x0002;
constexpr std::uint32_t wm_paint = 0x000F;
constexpr std::uint32_t wm_close = 0x0010;
constexpr std::uint32_t wm_quit = 0x0012;

constexpr std::uint32_t cs_vredraw = 0x1;
constexpr std::uint32_t cs_hredraw = 0x2;
constexpr std::uint32_t cs_dblclks = 0x8;
constexpr std::uint32_t cs_owndc = 0x20;

constexpr std::uint32_t ws_popup = 0x80000000;
constexpr std::uint32_t ws_visible = 0x10000000;

constexpr int idi_application = 32512;
constexpr int idc_arrow = 32512;
constexpr int black_brush = 4;

constexpr std::uint32_t pm_remove = 0x1;
constexpr std::uint32_t mb_ok = 0x0;
constexpr int idok = 1;

// Only the name and the procedure count; the rest is accepted and ignored (see core's README).
struct WindowClass {
  std::uint32_t style = 0;
  WindowProc procedure = nullptr;
  void* instance = nullptr;
  int icon = 0;              // system resource numbers
  int cursor = 0;
  int background_brush = 0;  // stock object number
  const char* class_name = nullptr;
  int small_icon = 0;
};

struct Message {
  Window window = nullptr;
  std::uint32_t message = 0;
  WParam wparam = 0;
  LParam lparam = 0;
};

struct PaintInfo {
  bool erase = false;
};

// Returns a non-zero class atom, or 0 on failure.
std::uint16_t register_class(const WindowClass& window_class);
bool unregister_class(const char* class_name);

// Sends WM_CREATE before it returns; null on failure. One window of the picture's size opens,
// whatever the size, place and styles asked for.
Window create_window(std::uint32_t ex_style, const char* class_name, const char* title, std::uint32_t style,
                     int x, int y, int width, int height, Window parent, void* menu, void* instance,
                     void* create_data);
// Sends WM_DESTROY, then forgets the window.
bool destroy_window(Window window);
bool is_window(Window window);

// Takes the next message of the thread: a close request from outside, then the quit request,
// then a paint of a window that needs one (window_events.h tells how a backend reports the close
// request and the need to paint). Nothing is ever posted, and the window and range filters are
// accepted and ignored: with one window and these few messages they would select nothing else.
bool peek_message(Message* out, Window filter, std::uint32_t first, std::uint32_t last, std::uint32_t remove);
bool translate_message(const Message* message);
LResult dispatch_message(const Message* message);
LResult send_message(Window window, std::uint32_t message, WParam wparam, LParam lparam);
void post_quit_message(int exit_code);
// Destroys the window on WM_CLOSE; returns 0 for everything.
LResult def_window_proc(Window window, std::uint32_t message, WParam wparam, LParam lparam);
bool begin_paint(Window window, PaintInfo* paint);
bool end_paint(Window window, const PaintInfo* paint);

// Bit 15 is set while the key is held.
std::int16_t get_async_key_state(int vk);

int message_box(Window owner, const char* text, const char* caption, std::uint32_t type);

// Returns the new display count; the cursor shows while it is 0 or more.
int show_cursor(bool show);

}  // namespace platform
