// The player's own keys on the desktop, driven on SDL's dummy video driver with pushed events:
// M silences the mixer and brings it back, also while the game waits; P stands the game still
// with "Paused" over its last picture and the sound held, and the game goes on after a second
// P. Neither is a key of the game's.

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include "game_fixture.h"
#include "platform/sound_output.h"
#include "platform/window_events.h"
#include "screen_game.h"

namespace {

void push_letter(SDL_Keycode letter) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym = SDL_Keysym{SDL_GetScancodeFromKey(letter), letter, KMOD_NONE, 0};
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

bool all_silent(const std::vector<std::int16_t>& samples) {
  return std::all_of(samples.begin(), samples.end(), [](std::int16_t s) { return s == 0; });
}

class PlayerKeysTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(game_.started); }
  void TearDown() override { platform::use_sound_output(nullptr); }

  // The keys of the game held after the next pump.
  int game_keys_held() {
    game_.backend.pump_events();
    int held = 0;
    for (int vk : {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_D, VK_N}) {
      held += game_.backend.key_held(vk);
    }
    return held;
  }

  ScreenGame game_;
};

TEST_F(PlayerKeysTest, MSilencesTheMixerAndBringsItBackAlsoWhileTheGameWaits) {
  platform::SdlAudio& audio = game_.backend.sound();
  platform::use_sound_output(&audio);
  const int tone = audio.add_sound("tone", std::vector<std::int16_t>(20000, 10000));
  audio.play(tone, 100);
  std::vector<std::int16_t> out(256);
  auto mix = [&] {
    audio.mix(out.data(), static_cast<int>(out.size()));
    return out;
  };
  EXPECT_FALSE(all_silent(mix()));

  push_letter('m');
  EXPECT_EQ(game_keys_held(), 0) << "M reached the game";
  EXPECT_TRUE(audio.muted());
  EXPECT_TRUE(all_silent(mix()));

  // In the wait for D, M is followed and the wait goes on until D.
  game_.backend.real_waits = true;
  push_letter('m');
  push_letter('d');
  EXPECT_TRUE(game_.backend.idle_between_polls(VK_D));
  EXPECT_TRUE(game_.backend.key_held(VK_D));
  EXPECT_FALSE(audio.muted());
  EXPECT_FALSE(all_silent(mix()));
}

TEST_F(PlayerKeysTest, PStandsTheGameStillWithPausedShownAndTheSoundHeldUntilPAgain) {
  platform::HeadlessBackend sound;  // writes down the holds
  platform::use_sound_output(&sound);
  ASSERT_TRUE(game_.run_pass());
  const platform::TruePicture shown = game_.backend.picture();
  const std::vector<std::uint32_t> last(shown.pixels(), shown.pixels() + 640 * 480);
  const MatchState before = game_.match;

  push_letter('p');
  std::vector<std::uint32_t> while_paused;
  std::atomic<bool> resumed{false};
  std::thread player([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    while_paused = game_.backend.last_shown();
    push_letter('d');  // a key pressed while paused never reaches the game
    resumed = true;
    push_letter('p');
  });
  EXPECT_TRUE(game_.run_pass());
  player.join();
  EXPECT_TRUE(resumed) << "a frame ran while paused";
  EXPECT_FALSE(platform::game_paused());
  EXPECT_EQ(sound.holds(), (std::vector<bool>{true, false}));

  // "Paused" in a box in the middle of the last picture, and nothing else changed.
  ASSERT_EQ(while_paused.size(), last.size());
  int changed = 0, left = 640, right = 0, top = 480, bottom = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (while_paused[y * 640 + x] == last[y * 640 + x]) continue;
      ++changed;
      left = std::min(left, x), right = std::max(right, x + 1), top = std::min(top, y), bottom = std::max(bottom, y + 1);
    }
  }
  EXPECT_GT(changed, 1000);
  EXPECT_LE(right - left, 120);
  EXPECT_LE(bottom - top, 50);
  EXPECT_NEAR(left + right, 640, 1);  // in the middle
  EXPECT_NEAR(top + bottom, 480, 1);
  EXPECT_TRUE(game_.backend.last_shown() == last) << "the notice stayed after the pause";

  // The pass after the pause ran its frame, without the D pressed meanwhile.
  const Match& now = game_.match;
  EXPECT_NE(std::tie(now.player_x, now.cpu_x, now.puck_x), std::tie(before.player_x, before.cpu_x, before.puck_x));
  EXPECT_EQ(game_keys_held(), 0);
}

// The player's pause is no wait of the game's: Escape quits from it, and the loop ends with the
// quit request at its next pass, as after Escape in play.
TEST_F(PlayerKeysTest, EscapeWhilePausedEndsTheGame) {
  ASSERT_TRUE(game_.run_pass());
  push_letter('p');
  std::thread player([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    push_letter(SDLK_ESCAPE);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (!platform::session_over()) push_letter('p');  // a pause that Escape left on ends, failing the test
  });
  const bool ran = game_.run_pass();
  player.join();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(platform::session_over());
  EXPECT_FALSE(game_.run_pass()) << "the loop did not take the quit request";
}

}  // namespace
