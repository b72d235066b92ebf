// Window classes, windows and the message queue of the game's one thread.

#include <memory>
#include <string>
#include <vector>

#include "objects.h"
#include "platform/backend.h"
#include "platform/window.h"
#include "platform/window_events.h"

namespace platform {

WindowManager window_manager;

namespace {

const WindowClassRecord* find_class(const char* name) {
  if (name == nullptr) return nullptr;
  for (const auto& record : window_manager.classes) {
    if (record.name == name) return &record;
  }
  return nullptr;
}

// The first live window whose flag is set, its flag cleared on removal.
Window take_flagged(bool WindowObject::*flag, bool remove) {
  for (const auto& window : window_manager.windows) {
    if (!window->alive || !(window.get()->*flag)) continue;
    if (remove) window.get()->*flag = false;
    return window.get();
  }
  return nullptr;
}

}  // namespace

std::uint16_t register_class(const WindowClass& window_class) {
  if (injected_failure(HookedCall::register_class)) return 0;
  if (window_class.class_name == nullptr || window_class.procedure == nullptr ||
      find_class(window_class.class_name) != nullptr) {
    return 0;
  }
  window_manager.classes.push_back({window_class.class_name, window_class.procedure});
  return static_cast<std::uint16_t>(0xC000 + window_manager.classes.size());
}

bool unregister_class(const char* class_name) {
  for (auto it = window_manager.classes.begin(); it != window_manager.classes.end(); ++it) {
    if (it->name == class_name) {
      window_manager.classes.erase(it);
      return true;
    }
  }
  return false;
}

Window create_window(std::uint32_t /*ex_style*/, const char* class_name, const char* /*title*/,
                     std::uint32_t /*style*/, int /*x*/, int /*y*/, int /*width*/, int /*height*/, Window /*parent*/,
                     void* /*menu*/, void* /*instance*/, void* /*create_data*/) {
  const WindowClassRecord* record = find_class(class_name);
  if (record == nullptr) {
    set_last_error("no such window class");
    return nullptr;
  }
  if (injected_failure(HookedCall::create_window)) {
    set_last_error("the window could not be created");
    return nullptr;
  }
  // The window exists before the backend opens it, so that the backend can report its state.
  window_manager.windows.push_back(std::make_unique<WindowObject>());
  Window window = window_manager.windows.back().get();
  window->procedure = record->procedure;
  if (!backend().open_window()) {  // the backend tells why
    window_manager.windows.pop_back();
    return nullptr;
  }
  if (window->procedure(window, wm_create, 0, 0) == -1) {
    destroy_window(window);
    return nullptr;
  }
  return window;
}

bool destroy_window(Window window) {
  if (!is_window(window)) return false;
  window->procedure(window, wm_destroy, 0, 0);
  window->alive = false;
  backend().close_window();
  return true;
}

Window game_window() {
  for (auto it = window_manager.windows.rbegin(); it != window_manager.windows.rend(); ++it) {
    if ((*it)->alive) return it->get();
  }
  return nullptr;
}

bool is_window(Window window) {
  for (const auto& w : window_manager.windows) {
    if (w.get() == window) return w->alive;
  }
  return false;
}

bool peek_message(Message* out, Window /*filter*/, std::uint32_t /*first*/, std::uint32_t /*last*/,
                  std::uint32_t remove) {
  if (out == nullptr) return false;
  backend().pump_events();
  const bool removing = (remove & pm_remove) != 0;
  if (Window window = take_flagged(&WindowObject::close_requested, removing)) {
    *out = Message{window, wm_close, 0, 0};
    return true;
  }
  if (window_manager.quit_requested) {
    *out = Message{nullptr, wm_quit, static_cast<WParam>(window_manager.quit_code), 0};
    if (removing) window_manager.quit_requested = false;
    return true;
  }
  Window window = take_flagged(&WindowObject::needs_paint, removing);
  if (window == nullptr) return false;
  *out = Message{window, wm_paint, 0, 0};
  return true;
}

bool translate_message(const Message* /*message*/) { return false; }

LResult dispatch_message(const Message* message) {
  if (message == nullptr || !is_window(message->window)) return 0;
  return message->window->procedure(message->window, message->message, message->wparam, message->lparam);
}

LResult send_message(Window window, std::uint32_t message, WParam wparam, LParam lparam) {
  if (!is_window(window)) return 0;
  return window->procedure(window, message, wparam, lparam);
}

void post_quit_message(int exit_code) {
  window_manager.quit_requested = true;
  window_manager.quit_code = exit_code;
}

LResult def_window_proc(Window window, std::uint32_t message, WParam /*wparam*/, LParam /*lparam*/) {
  if (message == wm_close) destroy_window(window);
  return 0;
}

bool begin_paint(Window window, PaintInfo* paint) {
  if (!is_window(window) || paint == nullptr) return false;
  paint->erase = false;
  return true;
}

bool end_paint(Window window, const PaintInfo* /*paint*/) { return is_window(window); }

std::int16_t get_async_key_state(int vk) {
  return backend().key_held(vk) ? static_cast<std::int16_t>(0x8000) : std::int16_t{0};
}

int message_box(Window /*owner*/, const char* text, const char* caption, std::uint32_t /*type*/) {
  backend().message_box(text ? text : "", caption ? caption : "");
  return idok;
}

int show_cursor(bool show) {
  window_manager.cursor_count += show ? 1 : -1;
  backend().cursor_visible(window_manager.cursor_count >= 0);
  return window_manager.cursor_count;
}

void report_close_request() {
  if (Window window = game_window()) window->close_requested = true;
}

void report_expose() {
  if (Window window = game_window()) window->needs_paint = true;
}

void report_focus(bool focused) {
  if (Window window = game_window()) window->focused = focused;
}

void report_shown(bool shown) {
  if (Window window = game_window()) window->shown = shown;
}

void report_pause_key() {
  if (Window window = game_window()) window->paused = !window->paused;
}

void listen_for_pause(PauseListener* listener) { window_manager.pause_listener = listener; }

void report_standing_still(bool standing_still) {
  if (window_manager.pause_listener != nullptr) window_manager.pause_listener->on_pause(standing_still);
}

bool game_paused() {
  const Window window = game_window();
  return window != nullptr && (!window->focused || !window->shown || window->paused);
}

bool paused_by_player() {
  const Window window = game_window();
  return window != nullptr && window->paused;
}

bool session_over() {
  const Window window = game_window();
  return window == nullptr || window->close_requested;
}

}  // namespace platform
