#include "platform/web_backend.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/input_map.h"
#include "platform/key_script.h"
#include "platform/web_socket.h"
#include "platform/window_events.h"

EM_JS(int, page_has_canvas, (), { return document.getElementById("canvas") ? 1 : 0; });
EM_JS(void, canvas_cursor, (int shown), { document.getElementById("screen").style.cursor = shown ? "" : "none"; });
// `awaits` names the key a wait for D or N wants ("" otherwise), for the page's wait button.
EM_JS(void, page_set_state, (const char* state, const char* awaits), {
  window.rinkStatus.state = UTF8ToString(state);
  window.rinkStatus.awaits = UTF8ToString(awaits);
  if (Module.onRinkState) Module.onRinkState(window.rinkStatus);
});
EM_JS(void, page_set_end_reason, (const char* reason), { window.rinkStatus.reason = UTF8ToString(reason); });
EM_JS(void, page_set_frames, (int frames), { window.rinkStatus.frames = frames; });
// The value of an option in the page's address (?NAME=VALUE): 1 when given and it fits,
// 0 when not given, -1 when too long.
EM_JS(int, page_option, (const char* name, char* value, int size), {
  const found = new URLSearchParams(location.search).get(UTF8ToString(name));
  if (found === null) return 0;
  if (lengthBytesUTF8(found) >= size) return -1;
  stringToUTF8(found, value, size);
  return 1;
});
namespace platform {

namespace {

int placed_code_key(const char* code, int players) {
  for (const PlacedKey& key : placed_keys(players)) {
    if (std::strcmp(code, key.code) == 0) return key.vk;
  }
  return 0;
}

// The game key of a key event in a game of `players` (input_map.h): by the key's place, or by
// the letter it types.
int game_key(const EmscriptenKeyboardEvent& event, int players) {
  if (const int vk = placed_code_key(event.code, players)) return vk;
  return event.key[0] != '\0' && event.key[1] == '\0' ? lettered_key(event.key[0]) : 0;
}

// The game key a touch control names as KeyboardEvent.code would in a one-player game (touch
// plays player one in either game): a placed key, or KeyD, KeyN.
int touch_control_key(const char* code) {
  if (const int vk = placed_code_key(code, 1)) return vk;
  const bool letter = std::strncmp(code, "Key", 3) == 0 && code[3] != '\0' && code[4] == '\0';
  return letter ? lettered_key(code[3]) : 0;
}

WebBackend& backend_of(void* user) { return *static_cast<WebBackend*>(user); }

// The backend whose window is open, for the page's touch controls.
WebBackend* listening = nullptr;

EM_BOOL key_event(int type, const EmscriptenKeyboardEvent* event, void* user) {
  const int vk = game_key(*event, backend_of(user).players());
  const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
  const bool shortcut = event->ctrlKey || event->altKey || event->metaKey;
  if (down && !shortcut && !event->repeat && event->key[0] != '\0' && event->key[1] == '\0' &&
      follow_control_key(event->key[0])) {
    backend_of(user).on_control_key();
    return EM_TRUE;
  }
  // Unknown keys, and the browser's shortcuts, stay the browser's.
  if (vk == 0 || (down && shortcut)) return EM_FALSE;
  backend_of(user).on_key(down, vk, event->repeat);
  return EM_TRUE;  // the page does not scroll on arrows or Space
}

EM_BOOL blur_event(int /*type*/, const EmscriptenFocusEvent* /*event*/, void* user) {
  backend_of(user).on_focus_lost();
  return EM_FALSE;
}

EM_BOOL visibility_event(int /*type*/, const EmscriptenVisibilityChangeEvent* event, void* user) {
  backend_of(user).on_visibility(event->hidden);
  return EM_FALSE;
}

EM_BOOL mouse_event(int /*type*/, const EmscriptenMouseEvent* event, void* user) {
  if (event->button != 0) return EM_FALSE;
  backend_of(user).on_click(static_cast<int>(event->targetX), static_cast<int>(event->targetY));
  return EM_FALSE;
}

EM_BOOL pad_event(int /*type*/, const EmscriptenGamepadEvent* /*event*/, void* user) {
  backend_of(user).on_pad_connected();
  return EM_FALSE;
}

void pad_timer_event(void* user) { backend_of(user).look_at_pads(); }

void listen(WebBackend* backend) {
  listening = backend;
  emscripten_set_gamepadconnected_callback(backend, true, backend ? pad_event : nullptr);
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, backend, true, backend ? key_event : nullptr);
  emscripten_set_keyup_callback(window, backend, true, backend ? key_event : nullptr);
  emscripten_set_blur_callback(window, backend, true, backend ? blur_event : nullptr);
  emscripten_set_visibilitychange_callback(backend, true, backend ? visibility_event : nullptr);
  emscripten_set_mouseup_callback("#screen", backend, true, backend ? mouse_event : nullptr);
}

}  // namespace
}  // namespace platform

// The page's touch controls: a game key, named by its KeyboardEvent.code, pressed (down) or let go.
extern "C" EMSCRIPTEN_KEEPALIVE void rink_touch_key(const char* code, int down) {
  const int vk = platform::touch_control_key(code);
  if (platform::listening != nullptr && vk != 0) platform::listening->on_touch_key(vk, down != 0);
}

namespace platform {

WebBackend::~WebBackend() {
  if (timer_ != 0) emscripten_clear_timeout(timer_);
  close_window();
  set_state("ended");
}

std::optional<std::string> page_address_option(const char* name) {
  std::array<char, longest_page_option> value;
  const int found = page_option(name, value.data(), static_cast<int>(value.size()));
  if (found == 0) return std::nullopt;
  return found > 0 ? std::string(value.data()) : std::string("?");
}

bool WebBackend::load_page_options(std::optional<std::string>& script, ScriptEnd& at_end) {
  char value[512];
  const bool fast = page_option("fast", value, sizeof value) > 0 && std::strcmp(value, "1") == 0;
  const bool takeover = page_option("takeover", value, sizeof value) > 0 && std::strcmp(value, "1") == 0;
  at_end = takeover ? ScriptEnd::hand_over : ScriptEnd::end_game;
  hints_ = !(page_option("hints", value, sizeof value) > 0 && std::strcmp(value, "0") == 0);
  if (page_option("players", value, sizeof value) != 0) {
    asked_players_ = std::strcmp(value, "1") == 0 ? 1 : std::strcmp(value, "2") == 0 ? 2 : 0;
    if (asked_players_ == 0) {
      set_last_error("?players= must be 1 or 2");
      return false;
    }
  }
  players_ = asked_players_ != 0 ? asked_players_ : 1;
  const int play = page_option("play", value, sizeof value);
  if (play < 0) {
    set_last_error("the key script's name is too long");
    return false;
  }
  if (play == 0) return true;
  fast_ = fast;
  script = value;
  return true;
}

bool WebBackend::accept_script(const std::string& name, const LoadedScript& script) {
  std::string error = script.error;
  if (error.empty()) session_players(asked_players_, script.players, players_, error);
  if (!error.empty()) {
    const char* joint = script.unreadable ? " " : ": ";
    set_last_error(("the key script '" + name + "'" + joint + error).c_str());
    return false;
  }
  if (!script.warning.empty()) std::fprintf(stderr, "rink: %s: warning: %s\n", name.c_str(), script.warning.c_str());
  return true;
}

bool WebBackend::open_window() {
  if (window_open_) return false;
  if (!page_has_canvas()) {
    set_last_error("the page has no canvas");
    return false;
  }
  EmscriptenVisibilityChangeEvent visibility;
  if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS) report_shown(!visibility.hidden);
  listen(this);
  window_open_ = true;
  look_at_pads();  // controllers the page knew before the game began
  if (pads_.any()) on_pad_connected();
  set_canvas_cursor(cursor_shown_);
  set_state("running");
  return true;
}

void WebBackend::close_window() {
  if (!window_open_) return;
  listen(nullptr);
  stop_looking_at_pads();
  window_open_ = false;
  keys_.release_all();
  touch_held_ = {};
  set_canvas_cursor(true);
}

bool WebBackend::set_display_mode(int width, int height, int bits_per_pixel) {
  return window_open_ && width == picture_width && height == picture_height && bits_per_pixel == 8;
}

bool WebBackend::present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
                         const ChangedArea& changed) {
  if (!window_open_) return true;  // the game has ended: nothing to show, and no fault
  show_game_picture(picture_.update(pixels, width, height, pitch, palette, changed));
  page_set_frames(++frames_);
  return true;
}

void WebBackend::show_game_picture(const ChangedArea& rewritten) {
  const int width = picture_.width();
  const int height = picture_.height();
  ChangedArea changed = rewritten;
  const std::uint32_t* shown = shown_picture_.compose(picture_.pixels(), width, height, changed);
  const Rect whole{0, 0, width, height};
  if (changed.everything) {
    screen_.show(shown, width, height, &whole, 1);
  } else {
    screen_.show(shown, width, height, changed.rects, changed.count);
  }
}

// Each pass of the message loop takes the keys in force until the next one. (The page's loop
// stands the game still before a pass while the tab is hidden or the player paused it.)
void WebBackend::pump_events() {
  keys_.pump([this](int vk) { return touch_held_.count(vk) != 0 || pads_.holds(vk); });
}

bool WebBackend::key_held(int vk) { return keys_.held(vk); }

// Every frame hides the cursor again: the page's style is touched only when it changes.
void WebBackend::cursor_visible(bool visible) {
  if (visible == cursor_shown_) return;
  cursor_shown_ = visible;
  if (window_open_) set_canvas_cursor(visible);
}

void WebBackend::set_canvas_cursor(bool shown) { canvas_cursor(shown ? 1 : 0); }

void WebBackend::sleep_ms(std::uint32_t /*milliseconds*/) {}

bool WebBackend::idle_between_polls(int /*awaited_vk*/) {
  if (!window_open_) return false;
  pump_events();
  set_state("running");
  return true;
}

void WebBackend::set_state(const char* state, int awaited_vk) {
  if (std::strcmp(state, state_) == 0 && awaited_vk == awaited_vk_) return;
  state_ = state;
  awaited_vk_ = awaited_vk;
  const char awaits[2] = {static_cast<char>(awaited_vk == vk_d || awaited_vk == vk_n ? awaited_vk : 0), '\0'};
  page_set_state(state, awaits);
}

void WebBackend::report_end(const char* reason) { page_set_end_reason(reason); }

// Keys go to the game as they come; a message box answered by one masks it (modal_box.h).
void WebBackend::on_key(bool down, int vk, bool repeat) {
  if (!down) {
    keys_.release(vk);
    return;
  }
  keys_.press(vk);
  inputs_.push({InputEvent::Kind::key_down, vk, repeat});
  wake();
}

// A pause that begins must be looked at now, also by a game resting in a wait.
void WebBackend::on_control_key() { wake(); }

void WebBackend::press(int vk) {
  keys_.tap(vk);
  inputs_.push({InputEvent::Kind::key_down, vk, false});
  wake();
}

void WebBackend::on_touch_key(int vk, bool down) {
  if (key_slot(vk) < 0) return;
  if (!down) {
    touch_held_.erase(vk);
    return;
  }
  touch_held_.insert(vk);
  press(vk);
}

void WebBackend::on_pad_connected() {
  if (pad_timer_ == 0) pad_timer_ = emscripten_set_interval(pad_timer_event, pad_look_ms, this);
}

// Looked at until the last controller went away.
void WebBackend::look_at_pads() {
  const KeySet pressed = pads_.look(players_);
  for (const int vk : game_keys) {
    if (pressed.count(vk) != 0) press(vk);
  }
  if (!pads_.any()) stop_looking_at_pads();
}

void WebBackend::stop_looking_at_pads() {
  if (pad_timer_ != 0) emscripten_clear_interval(pad_timer_);
  pad_timer_ = 0;
}

void WebBackend::on_focus_lost() { keys_.release_all(); }

void WebBackend::on_visibility(bool hidden) {
  report_shown(!hidden);
  wake();
}

// From the canvas's place on the page into the picture.
void WebBackend::on_click(int x, int y) {
  double shown_width = 0, shown_height = 0;
  const EMSCRIPTEN_RESULT sized = emscripten_get_element_css_size("#screen", &shown_width, &shown_height);
  if (sized != EMSCRIPTEN_RESULT_SUCCESS || shown_width <= 0 || shown_height <= 0) return;
  const int picture_x = static_cast<int>(x * picture_width / shown_width);
  const int picture_y = static_cast<int>(y * picture_height / shown_height);
  inputs_.push({InputEvent::Kind::click, 0, false, picture_x, picture_y});
  wake();
}

void WebBackend::InputQueue::push(const InputEvent& input) {
  if (count_ == capacity) return;
  inputs_[(first_ + count_++) % capacity] = input;
}

InputEvent WebBackend::InputQueue::take() {
  if (count_ == 0) return {};
  const InputEvent input = inputs_[first_];
  first_ = (first_ + 1) % capacity;
  --count_;
  return input;
}

}  // namespace platform
