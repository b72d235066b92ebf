// The desktop backend's comforts, driven on SDL's dummy video driver with pushed events and a
// virtual game controller: controllers as keys, letters by meaning, the switch between window
// and full screen, and frames held back while the window has no focus.

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "game_fixture.h"
#include "platform/window_events.h"
#include "screen_game.h"

namespace {

void push(const SDL_Event& event) { ASSERT_EQ(SDL_PushEvent(const_cast<SDL_Event*>(&event)), 1); }

void push_window_event(SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = static_cast<Uint8>(what);
  push(event);
}

void push_key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 modifiers = KMOD_NONE) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym = SDL_Keysym{scancode, sym, modifiers, 0};
  push(event);
}

class ComfortsTest : public ::testing::Test {
 protected:
  explicit ComfortsTest(int players = 1) : game_(platform::SdlOptions{.players = players}) {}
  void SetUp() override { ASSERT_TRUE(game_.started); }

  // The keys the game reads after the next pump.
  std::vector<int> held_after_pump() {
    game_.backend.pump_events();
    std::vector<int> held;
    for (int vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_D, VK_N, VK_P2_LEFT,
                   VK_P2_RIGHT, VK_P2_UP, VK_P2_DOWN, VK_P2_SHOOT, VK_P2_CHECK}) {
      if (game_.backend.key_held(vk)) held.push_back(vk);
    }
    return held;
  }

  ScreenGame game_;
};

// A controller SDL knows, with every button and axis, plugged in while the game runs; unplugged
// when it goes away.
class VirtualPad {
 public:
  VirtualPad() {
    // The dummy driver's window never has the keyboard focus, and SDL drops the controller
    // events of a program without it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_VirtualJoystickDesc pad{};
    pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    pad.naxes = SDL_CONTROLLER_AXIS_MAX;
    pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    pad.name = "virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&pad);
    EXPECT_GE(index, 0) << SDL_GetError();
    joystick_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
    EXPECT_NE(joystick_, nullptr);
  }
  ~VirtualPad() { unplug(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  void unplug() {
    if (joystick_ == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == id) {
        EXPECT_EQ(SDL_JoystickDetachVirtual(index), 0);
      }
    }
  }
  void set_button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void set_axis(SDL_GameControllerAxis axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick_, axis, value); }

 private:
  SDL_Joystick* joystick_ = nullptr;
};

class ControllerTest : public ComfortsTest {
 protected:
  void SetUp() override {
    ComfortsTest::SetUp();
    pad_.emplace();
    EXPECT_EQ(held_after_pump(), std::vector<int>{});
    ASSERT_EQ(game_.backend.controller_count(), 1);
  }
  void TearDown() override { pad_.reset(); }

  void set_button(SDL_GameControllerButton button, bool down) { pad_->set_button(button, down); }
  void set_axis(SDL_GameControllerAxis axis, Sint16 value) { pad_->set_axis(axis, value); }

  std::optional<VirtualPad> pad_;
};

TEST_F(ControllerTest, ButtonsAndTheDPadHoldTheGamesKeys) {
  const struct {
    SDL_GameControllerButton button;
    std::vector<int> keys;
  } mapping[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, {VK_LEFT}},  {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {VK_RIGHT}},
      {SDL_CONTROLLER_BUTTON_DPAD_UP, {VK_UP}},      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, {VK_DOWN}},
      {SDL_CONTROLLER_BUTTON_A, {VK_SPACE}},         {SDL_CONTROLLER_BUTTON_B, {VK_RETURN}},
      {SDL_CONTROLLER_BUTTON_START, {VK_D, VK_N}},   {SDL_CONTROLLER_BUTTON_BACK, {VK_ESCAPE}},
      {SDL_CONTROLLER_BUTTON_X, {}},                 {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, {}},
  };
  for (const auto& [button, keys] : mapping) {
    SCOPED_TRACE(SDL_GameControllerGetStringForButton(button));
    set_button(button, true);
    std::vector<int> want = keys;
    std::sort(want.begin(), want.end());
    std::vector<int> held = held_after_pump();
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held, want);
    set_button(button, false);
    EXPECT_EQ(held_after_pump(), std::vector<int>{});
  }
}

TEST_F(ControllerTest, TheLeftStickHoldsArrowsOutsideItsDeadZone) {
  set_axis(SDL_CONTROLLER_AXIS_LEFTX, 4000);  // resting a little off centre
  set_axis(SDL_CONTROLLER_AXIS_LEFTY, -4000);
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
  set_axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);
  set_axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_LEFT, VK_DOWN}));
  set_axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
  set_axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  EXPECT_EQ(held_after_pump(), std::vector<int>{VK_RIGHT});
  set_axis(SDL_CONTROLLER_AXIS_RIGHTX, -30000);  // the other stick does nothing
  set_axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
}

// A press and release between two frames still counts once, as a key's tap does.
TEST_F(ControllerTest, AQuickPressIsHeldUntilTheNextPump) {
  set_button(SDL_CONTROLLER_BUTTON_B, true);
  SDL_PumpEvents();
  set_button(SDL_CONTROLLER_BUTTON_B, false);
  EXPECT_EQ(held_after_pump(), std::vector<int>{VK_RETURN});
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
}

TEST_F(ControllerTest, UnpluggingWhileHeldLetsItsButtonsGo) {
  set_button(SDL_CONTROLLER_BUTTON_A, true);
  set_axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_SPACE, VK_RIGHT}));
  pad_->unplug();
  SDL_PumpEvents();  // the button's release and the unplugging come in one go
  held_after_pump();
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
  EXPECT_EQ(game_.backend.controller_count(), 0);
}

// D and N are found by the letter on the key, wherever a layout puts it (here D where QWERTY
// has E); the arrows, Space, Return (either Enter) and Escape by where they lie.
TEST_F(ComfortsTest, LettersFollowTheirMeaningAndTheOtherKeysTheirPlace) {
  push_key(SDL_KEYDOWN, SDL_SCANCODE_E, SDLK_d);
  EXPECT_EQ(held_after_pump(), std::vector<int>{VK_D});
  push_key(SDL_KEYDOWN, SDL_SCANCODE_D, SDLK_e);
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
  push_key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_N, SDLK_n);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_SPACE, VK_N}));
  push_key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER);  // as in the page: keypad Enter is Return
  EXPECT_EQ(held_after_pump(), std::vector<int>{VK_RETURN});
}

// Two players at one keyboard: player one on the arrows, Right Shift and Return, player two on
// T F G H, Space and V, each read where it lies; D stays D, and a key that is player two's does
// not also type D on a layout that puts D there (Dvorak's H).
class TwoPlayerComfortsTest : public ComfortsTest {
 protected:
  TwoPlayerComfortsTest() : ComfortsTest(2) {}
};

TEST_F(TwoPlayerComfortsTest, EachPlayerHasKeysOfItsOwnAndDAndNAreShared) {
  const struct {
    SDL_Scancode place;
    SDL_Keycode sym;
    int vk;
  } layout[] = {
      {SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT},      {SDL_SCANCODE_UP, SDLK_UP, VK_UP},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, VK_SPACE}, {SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN},
      {SDL_SCANCODE_F, SDLK_f, VK_P2_LEFT},         {SDL_SCANCODE_H, SDLK_h, VK_P2_RIGHT},
      {SDL_SCANCODE_T, SDLK_t, VK_P2_UP},           {SDL_SCANCODE_G, SDLK_g, VK_P2_DOWN},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, VK_P2_SHOOT}, {SDL_SCANCODE_V, SDLK_v, VK_P2_CHECK},
      {SDL_SCANCODE_D, SDLK_d, VK_D},               {SDL_SCANCODE_H, SDLK_d, VK_P2_RIGHT},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0},        {SDL_SCANCODE_W, SDLK_w, 0},
  };
  for (const auto& [place, sym, vk] : layout) {
    SCOPED_TRACE(SDL_GetScancodeName(place));
    push_key(SDL_KEYDOWN, place, sym);
    EXPECT_EQ(held_after_pump(), vk == 0 ? std::vector<int>{} : std::vector<int>{vk});
  }
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  push_key(SDL_KEYDOWN, SDL_SCANCODE_F, SDLK_f);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_RIGHT, VK_P2_LEFT})) << "both at once";
}

// In a one-player game player two's keys are nobody's.
TEST_F(ComfortsTest, PlayerTwosKeysDoNothingInAOnePlayerGame) {
  for (const auto& [place, sym] : {std::pair(SDL_SCANCODE_T, SDLK_t), {SDL_SCANCODE_V, SDLK_v},
                                   {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT}}) {
    push_key(SDL_KEYDOWN, place, sym);
    EXPECT_EQ(held_after_pump(), std::vector<int>{}) << SDL_GetScancodeName(place);
  }
}

// A controller alone in a two-player game is player two's, player one keeping the keyboard;
// once a second is plugged in, the first is player one's and the second player two's.
TEST_F(TwoPlayerComfortsTest, TheFirstControllerIsPlayerOnesAndTheSecondPlayerTwos) {
  std::optional<VirtualPad> first(std::in_place);
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
  first->set_button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  first->set_button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_P2_LEFT, VK_P2_SHOOT}));

  VirtualPad second;
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_SPACE, VK_LEFT})) << "the first is player one's now";
  second.set_axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
  second.set_button(SDL_CONTROLLER_BUTTON_B, true);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_SPACE, VK_LEFT, VK_P2_UP, VK_P2_CHECK}));
  ASSERT_EQ(game_.backend.controller_count(), 2);
  second.set_button(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_SPACE, VK_LEFT, VK_D, VK_N, VK_P2_UP, VK_P2_CHECK}));

  first->unplug();
  SDL_PumpEvents();
  held_after_pump();
  EXPECT_EQ(held_after_pump(), (std::vector<int>{VK_D, VK_N, VK_P2_UP, VK_P2_CHECK})) << "alone again";
}

TEST_F(ComfortsTest, F11AndAltReturnSwitchBetweenWindowAndFullScreen) {
  ASSERT_TRUE(game_.backend.full_screen());
  push_key(SDL_KEYDOWN, SDL_SCANCODE_F11, SDLK_F11);
  EXPECT_EQ(held_after_pump(), std::vector<int>{});
  EXPECT_FALSE(game_.backend.full_screen());
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
  EXPECT_EQ(held_after_pump(), std::vector<int>{}) << "Alt+Return is no body check";
  EXPECT_TRUE(game_.backend.full_screen());
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN);
  EXPECT_EQ(held_after_pump(), std::vector<int>{VK_RETURN});
  EXPECT_TRUE(game_.backend.full_screen());
}

// While the window has no focus, the pass waits in its pump: no frame runs until the focus
// comes back, or until the window is asked to close.
TEST_F(ComfortsTest, NoFrameRunsWithoutTheFocusUntilItComesBack) {
  push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
  std::atomic<bool> focus_given{false};
  std::thread player([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    focus_given = true;
    push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
  });
  EXPECT_TRUE(game_.run_pass());
  EXPECT_TRUE(focus_given) << "a frame ran while the window had no focus";
  player.join();
  EXPECT_FALSE(platform::game_paused());
  // The wait took its event and left SDL's poll sentinel behind it: the next pump still takes
  // what came after.
  push_key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  EXPECT_EQ(held_after_pump(), std::vector<int>{VK_RIGHT});
}

TEST_F(ComfortsTest, AMinimisedGameEndsWhenItsWindowIsClosed) {
  push_window_event(SDL_WINDOWEVENT_MINIMIZED);
  std::thread desktop([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    push_window_event(SDL_WINDOWEVENT_CLOSE);
  });
  EXPECT_TRUE(game_.run_pass());  // the close ends the pause; this pass handles it
  desktop.join();
  EXPECT_FALSE(platform::is_window(game_.display.window));
  EXPECT_FALSE(game_.run_pass());
}

}  // namespace
