#include "sdl_input.h"

#include <iterator>

#include "platform/keys.h"

namespace platform {

namespace {

// The game's keys in the order of their slots.
constexpr int slot_keys[] = {vk_return, vk_escape, vk_space, vk_left, vk_up, vk_right, vk_down, vk_d, vk_n};
static_assert(std::size(slot_keys) == SdlInput::key_count);
constexpr int slot_return = 0, slot_escape = 1, slot_space = 2, slot_left = 3, slot_up = 4, slot_right = 5,
              slot_down = 6, slot_d = 7, slot_n = 8;

// Arrows, Space, Return and Escape are read where they lie on the keyboard; D and N by the
// letter printed on the key, so that they are found on any layout.
constexpr SDL_Scancode placed_keys[] = {SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE,
                                        SDL_SCANCODE_LEFT,   SDL_SCANCODE_UP,     SDL_SCANCODE_RIGHT,
                                        SDL_SCANCODE_DOWN};
constexpr SDL_Keycode lettered_keys[] = {SDLK_d, SDLK_n};
constexpr int first_letter_slot = slot_d;

// A resting stick never holds a direction.
constexpr int stick_dead_zone = 8000;

int slot_of(int vk) {
  for (int slot = 0; slot < SdlInput::key_count; ++slot) {
    if (slot_keys[slot] == vk) return slot;
  }
  return -1;
}

int keyboard_slot(const SDL_Keysym& key) {
  for (int slot = 0; slot < static_cast<int>(std::size(placed_keys)); ++slot) {
    if (placed_keys[slot] == key.scancode) return slot;
  }
  for (int i = 0; i < static_cast<int>(std::size(lettered_keys)); ++i) {
    if (lettered_keys[i] == key.sym) return first_letter_slot + i;
  }
  return -1;
}

// Alt+Return switches the window, and is no body check.
bool window_chord(const SDL_Keysym& key) {
  return key.scancode == SDL_SCANCODE_RETURN && (key.mod & KMOD_ALT) != 0;
}

// The game key of a controller button: Start drops the puck and starts a new match alike.
int button_slots(Uint8 button, int (&slots)[2]) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: slots[0] = slot_left; return 1;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: slots[0] = slot_right; return 1;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: slots[0] = slot_up; return 1;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: slots[0] = slot_down; return 1;
    case SDL_CONTROLLER_BUTTON_A: slots[0] = slot_space; return 1;
    case SDL_CONTROLLER_BUTTON_B: slots[0] = slot_return; return 1;
    case SDL_CONTROLLER_BUTTON_BACK: slots[0] = slot_escape; return 1;
    case SDL_CONTROLLER_BUTTON_START: slots[0] = slot_d, slots[1] = slot_n; return 2;
    default: return 0;
  }
}

}  // namespace

int SdlInput::press(int slot) {
  latch_.tap(slot_keys[slot]);
  return slot_keys[slot];
}

int SdlInput::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      const int slot = keyboard_slot(event.key.keysym);
      return slot < 0 || event.key.repeat || window_chord(event.key.keysym) ? 0 : press(slot);
    }
    case SDL_CONTROLLERDEVICEADDED:
      open_pad(event.cdevice.which);
      return 0;
    case SDL_CONTROLLERDEVICEREMOVED:
      close_pad(event.cdevice.which);
      return 0;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      return button(event.cbutton, event.type == SDL_CONTROLLERBUTTONDOWN);
    case SDL_CONTROLLERAXISMOTION:
      return stick(event.caxis);
    default:
      return 0;
  }
}

int SdlInput::button(const SDL_ControllerButtonEvent& event, bool down) {
  Pad* pad = find_pad(event.which);
  int slots[2] = {};
  const int count = button_slots(event.button, slots);
  if (pad == nullptr || count == 0) return 0;
  for (int i = 0; i < count; ++i) pad->buttons[slots[i]] = down;
  if (!down) return 0;
  for (int i = 1; i < count; ++i) press(slots[i]);
  return press(slots[0]);
}

// The left stick past its dead zone holds the arrows of its direction.
int SdlInput::stick(const SDL_ControllerAxisEvent& event) {
  Pad* pad = find_pad(event.which);
  const bool across = event.axis == SDL_CONTROLLER_AXIS_LEFTX;
  if (pad == nullptr || (!across && event.axis != SDL_CONTROLLER_AXIS_LEFTY)) return 0;
  const int lower = across ? slot_left : slot_up, upper = across ? slot_right : slot_down;
  const bool was_lower = pad->stick[lower], was_upper = pad->stick[upper];
  pad->stick[lower] = event.value < -stick_dead_zone;
  pad->stick[upper] = event.value > stick_dead_zone;
  if (pad->stick[lower] && !was_lower) return press(lower);
  if (pad->stick[upper] && !was_upper) return press(upper);
  return 0;
}

void SdlInput::open_pad(int device_index) {
  SDL_GameController* controller = SDL_GameControllerOpen(device_index);
  if (controller == nullptr) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (find_pad(id) != nullptr) {  // told twice (present at start, then its own event)
    SDL_GameControllerClose(controller);
    return;
  }
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr) continue;
    pad = Pad{controller, id, {}, {}};
    return;
  }
  SDL_GameControllerClose(controller);  // more controllers than players could ever use
}

void SdlInput::close_pad(SDL_JoystickID id) {
  if (Pad* pad = find_pad(id)) {
    SDL_GameControllerClose(pad->controller);
    *pad = Pad{};
  }
}

void SdlInput::close_pads() {
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr) close_pad(pad.id);
  }
}

SdlInput::Pad* SdlInput::find_pad(SDL_JoystickID id) {
  for (Pad& pad : pads_) {
    if (pad.controller != nullptr && pad.id == id) return &pad;
  }
  return nullptr;
}

int SdlInput::pad_count() const {
  int count = 0;
  for (const Pad& pad : pads_) count += pad.controller != nullptr;
  return count;
}

bool SdlInput::keyboard_holds(int slot) const {
  const Uint8* keyboard = SDL_GetKeyboardState(nullptr);
  if (slot < first_letter_slot) {
    const bool alt_return = slot == slot_return && (SDL_GetModState() & KMOD_ALT) != 0;
    return keyboard[placed_keys[slot]] != 0 && !alt_return;
  }
  return keyboard[SDL_GetScancodeFromKey(lettered_keys[slot - first_letter_slot])] != 0;
}

void SdlInput::take_snapshot() {
  latch_.pump([this](int vk) {
    const int slot = slot_of(vk);
    bool held = keyboard_holds(slot);
    for (const Pad& pad : pads_) held = held || pad.buttons[slot] || pad.stick[slot];
    return held;
  });
}

bool SdlInput::held(int vk) const { return latch_.held(vk); }

}  // namespace platform
