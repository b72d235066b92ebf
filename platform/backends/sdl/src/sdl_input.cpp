#include "sdl_input.h"

#include "platform/input_map.h"

namespace platform {

namespace {

// The game key of a key of the keyboard in a game of `players` (input_map.h), or 0.
int keyboard_key(const SDL_Keysym& key, int players) {
  if (const int vk = placed_key(key.scancode, players)) return vk;
  return key.sym >= 'a' && key.sym <= 'z' ? lettered_key(static_cast<char>(key.sym)) : 0;
}

// Alt+Return switches the window, and is no body check.
bool window_chord(const SDL_Keysym& key) {
  return (key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER) && (key.mod & KMOD_ALT) != 0;
}

// SDL's names of the buttons, by their place (input_map.h).
bool pad_button(Uint8 button, PadButton& place) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: place = PadButton::south; return true;
    case SDL_CONTROLLER_BUTTON_B: place = PadButton::east; return true;
    case SDL_CONTROLLER_BUTTON_X: place = PadButton::west; return true;
    case SDL_CONTROLLER_BUTTON_Y: place = PadButton::north; return true;
    case SDL_CONTROLLER_BUTTON_BACK: place = PadButton::back; return true;
    case SDL_CONTROLLER_BUTTON_START: place = PadButton::start; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: place = PadButton::dpad_up; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: place = PadButton::dpad_down; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: place = PadButton::dpad_left; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: place = PadButton::dpad_right; return true;
    default: return false;
  }
}

// An axis from -1 to 1.
double stick_position(Sint16 value) { return value / 32767.0; }

}  // namespace

bool SdlInput::switches_screen_mode(const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN || event.key.repeat) return false;
  return event.key.keysym.scancode == SDL_SCANCODE_F11 || window_chord(event.key.keysym);
}

void SdlInput::follow_control_key(const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN || event.key.repeat || (event.key.keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI))) return;
  const SDL_Keycode sym = event.key.keysym.sym;
  if (sym >= 'a' && sym <= 'z') platform::follow_control_key(static_cast<char>(sym));
}

int SdlInput::press(int vk) {
  latch_.tap(vk);
  return vk;
}

int SdlInput::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      const int vk = keyboard_key(event.key.keysym, players_);
      return vk == 0 || event.key.repeat || window_chord(event.key.keysym) ? 0 : press(vk);
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
  PadButton place{};
  int vks[2] = {};
  const int count = pad != nullptr && pad_button(event.button, place) ? pad_button_keys(place, vks) : 0;
  for (int i = 0; i < count; ++i) pad->buttons[key_slot(vks[i])] = down;
  if (!down || count == 0) return 0;
  const int player = player_of(*pad);
  for (int i = 1; i < count; ++i) press(pad_key(vks[i], player));
  return press(pad_key(vks[0], player));
}

// The left stick past its dead zone holds the arrows of its direction.
int SdlInput::stick(const SDL_ControllerAxisEvent& event) {
  Pad* pad = find_pad(event.which);
  const bool across = event.axis == SDL_CONTROLLER_AXIS_LEFTX;
  if (pad == nullptr || (!across && event.axis != SDL_CONTROLLER_AXIS_LEFTY)) return 0;
  const int lower = across ? vk_left : vk_up, upper = across ? vk_right : vk_down;
  bool& holds_lower = pad->stick[key_slot(lower)];
  bool& holds_upper = pad->stick[key_slot(upper)];
  const bool was_lower = holds_lower, was_upper = holds_upper;
  const int arrow = stick_arrow(stick_position(event.value), lower, upper);
  holds_lower = arrow == lower;
  holds_upper = arrow == upper;
  if (holds_lower && !was_lower) return press(pad_key(lower, player_of(*pad)));
  if (holds_upper && !was_upper) return press(pad_key(upper, player_of(*pad)));
  return 0;
}

// Controllers count in the order of their places, which a new one takes from the first free.
int SdlInput::player_of(const Pad& pad) const {
  int number = 0;
  for (const Pad& other : pads_) {
    if (&other == &pad) break;
    number += other.controller != nullptr;
  }
  return pad_player(number, pad_count(), players_);
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

bool SdlInput::keyboard_holds(int vk) const {
  const Uint8* keyboard = SDL_GetKeyboardState(nullptr);
  if (vk == vk_return && (SDL_GetModState() & KMOD_ALT) != 0) return false;  // the window's chord
  for (const PlacedKey& key : placed_keys(players_)) {
    if (key.vk == vk && keyboard[key.usb_usage] != 0) return true;
  }
  for (const LetteredKey& key : lettered_keys) {
    const SDL_Scancode at = SDL_GetScancodeFromKey(key.letter);
    if (key.vk == vk && keyboard[at] != 0 && placed_key(at, players_) == 0) return true;
  }
  return false;
}

void SdlInput::take_snapshot() {
  KeySet on_pads;
  for (const Pad& pad : pads_) {
    if (pad.controller == nullptr) continue;
    const int player = player_of(pad);
    for (int slot = 0; slot < game_key_count; ++slot) {
      if (pad.buttons[slot] || pad.stick[slot]) on_pads.insert(pad_key(game_keys[slot], player));
    }
  }
  latch_.pump([&](int vk) { return on_pads.count(vk) != 0 || keyboard_holds(vk); });
}

bool SdlInput::held(int vk) const { return latch_.held(vk); }

}  // namespace platform
