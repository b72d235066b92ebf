// The desktop backend, run on SDL's dummy video driver: frames reach the screen's picture
// exactly, and without a display the window is refused with a reason.

#include <SDL2/SDL.h>

#include <algorithm>

#include "display/bmp.h"
#include "game_fixture.h"
#include "platform/picture.h"
#include "platform/sharp_scaler.h"
#include "process_state.h"
#include "screen_game.h"

namespace {

// The back buffer in 32-bit colour, converted in full through the game's palette.
std::vector<std::uint32_t> back_buffer_in_colour(const DisplayContext& display, const platform::PaletteEntry* palette) {
  platform::SurfaceDesc locked;
  EXPECT_EQ(platform::lock(display.back_buffer, nullptr, &locked, platform::ddlock_wait), platform::ok);
  platform::TruePicture reference;
  reference.convert_everything_always(true);
  reference.update(locked.memory, 640, 480, locked.pitch, palette, {true, nullptr, 0});
  platform::unlock(display.back_buffer, nullptr);
  return {reference.pixels(), reference.pixels() + 640 * 480};
}

TEST(SdlBackendTest, EveryFrameReachesTheScreenAsTheBackBufferShowsIt) {
  BmpImage rink{};
  ASSERT_EQ(read_bmp(&rink, "hockeyrink.bmp"), 1);  // the game's palette comes with the rink
  ScreenGame game;
  ASSERT_TRUE(game.started);
  for (int frame = 0; frame < 150; ++frame) {
    ASSERT_EQ(play_frame(game.match), 1);
    const std::vector<std::uint32_t> expected = back_buffer_in_colour(game.display, rink.palette);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), game.backend.picture().pixels())) << "frame " << frame;
  }
  EXPECT_NE(game.match.cpu_x, MatchState{}.cpu_x);  // the computer skated, so sprites moved
  free_bmp(&rink);
}

void push_window_event(SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = static_cast<Uint8>(what);
  SDL_PushEvent(&event);
}

// The window's surface, drawn whole from the picture by a scaler of its own.
std::vector<std::uint8_t> full_redraw(const SDL_Surface& surface, const std::uint32_t* picture) {
  std::vector<std::uint8_t> screen(static_cast<std::size_t>(surface.pitch) * surface.h);
  platform::SharpScaler scaler;
  scaler.resize(platform::ScaleMode::sharp, surface.w, surface.h, 640, 480);
  const SDL_PixelFormat& format = *surface.format;
  const platform::ScreenPixels pixels{reinterpret_cast<std::uint32_t*>(screen.data()), surface.pitch,
                                      {format.Rshift, format.Gshift, format.Bshift, format.Amask}};
  scaler.paint_borders(pixels);
  scaler.scale_changed(picture, {0, 0, 640, 480}, pixels);
  return screen;
}

// Frames redraw and send only what changed; the window shows what a full redraw of the last
// picture shows, also after its size changed between two frames (its surface made anew) and
// after exposes.
TEST(SdlBackendTest, DrawingOnlyWhatChangedShowsWhatAFullRedrawShows) {
  ScreenGame game;
  ASSERT_TRUE(game.started);
  ASSERT_STREQ(game.backend.renderer_name(), "software");
  SDL_Window* window = game.backend.window();
  for (int frame = 1; frame <= 120; ++frame) {
    if (frame == 50) {
      SDL_SetWindowFullscreen(window, 0);
      SDL_SetWindowSize(window, 1000, 700);
    }
    if (frame == 90) push_window_event(SDL_WINDOWEVENT_EXPOSED);
    ASSERT_EQ(play_frame(game.match), 1);
    if (frame % 10 != 0) continue;
    const SDL_Surface* surface = SDL_GetWindowSurface(window);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->w, frame < 50 ? 1024 : 1000) << "frame " << frame;
    const std::vector<std::uint8_t> expected = full_redraw(*surface, game.backend.picture().pixels());
    const auto* shown = static_cast<const std::uint8_t*>(surface->pixels);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), shown)) << "frame " << frame;
  }
  EXPECT_NE(game.match.cpu_x, MatchState{}.cpu_x);  // the computer skated, so sprites moved
}

TEST(SdlBackendTest, KeysAreUpAndMessagesFallBackToStandardErrorWithoutAScreen) {
  ScreenGame game;
  ASSERT_TRUE(game.started);
  game.backend.pump_events();
  for (int vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_D, VK_N}) {
    EXPECT_FALSE(game.backend.key_held(vk)) << vk;
  }
  // Nobody could answer a box on the dummy screen: the line on standard error is all there is.
  testing::internal::CaptureStderr();
  show_message(game.display, "errory", "error", "goalieleft1.bmp: not an 8-bit bitmap of 64 by 64");
  show_message(game.display, "unable to blit", "error");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "rink: error: errory: goalieleft1.bmp: not an 8-bit bitmap of 64 by 64\n"
            "rink: error: unable to blit\n");
}

void push_key_down(SDL_Scancode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.scancode = key;
  event.key.keysym.sym = SDL_GetKeyFromScancode(key);
  SDL_PushEvent(&event);
}

// Escape in the frame that scores closes the window inside that frame; the wait for D that
// follows can never see a key then, so it ends, and the next pass ends the game.
TEST(SdlBackendTest, EscapeInTheFrameOfAGoalEndsTheWaitForDAndThenTheGame) {
  const HangAlarm hang_fails_the_test(60);  // instead of stopping the run
  ScreenGame game;
  ASSERT_TRUE(game.started);
  game.backend.real_waits = true;
  Match& match = game.match;
  match.puck_x = 560, match.puck_y = 240, match.puck_dx = match.puck_dy = 0;  // at rest in the right net
  push_key_down(SDL_SCANCODE_ESCAPE);
  EXPECT_TRUE(game.run_pass());
  EXPECT_FALSE(platform::is_window(game.display.window));
  EXPECT_EQ(game.match.player_score, 1);
  EXPECT_FALSE(game.run_pass());
}

// Exposes come far faster than a frame handles messages; the close request behind them is
// still handled at the next pass.
TEST(SdlBackendTest, ACloseBehindThreeHundredExposesEndsTheGameAtTheNextPass) {
  ScreenGame game;
  ASSERT_TRUE(game.started);
  for (int i = 0; i < 300; ++i) push_window_event(SDL_WINDOWEVENT_EXPOSED);
  push_window_event(SDL_WINDOWEVENT_CLOSE);
  int passes = 0;
  while (game.run_pass() && passes < 10) ++passes;
  EXPECT_EQ(passes, 1);
}

TEST(SdlBackendTest, WithoutADisplayTheWindowIsRefusedWithTheReason) {
  EnvironmentChange no_display;
  keep_window_class(no_display).unset("DISPLAY").unset("WAYLAND_DISPLAY").unset("SDL_VIDEODRIVER");
  platform::SdlBackend backend;
  EXPECT_FALSE(backend.open_window());
  EXPECT_THAT(platform::last_error(), ::testing::HasSubstr("no display to open"));
}

}  // namespace
