// A frame allocates nothing: every text is formatted into a fixed buffer, every surface exists
// from start-up on. Counted by replacing the global allocation functions in this test program.

#include <SDL2/SDL.h>

#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "app/game_guide.h"
#include "game_fixture.h"
#include "platform/mixer.h"
#include "screen_game.h"

namespace {
bool counting = false;
int allocations = 0;
}  // namespace

// Every form that frees with free() must allocate with malloc(): GoogleTest itself uses the
// nothrow form, which the sanitizer would otherwise serve.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size) {
  if (void* memory = operator new(size, std::nothrow)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace {

TEST_F(GameTest, FramesOfPlayAllocateNothing) {
  match.canvas.observer = nullptr;  // the log itself allocates; the game must not
  const platform::KeySet turns[] = {{VK_RIGHT, VK_DOWN}, {VK_LEFT}, {VK_SPACE, VK_UP}, {}, {VK_RETURN},
                                    {VK_UP},             {VK_ESCAPE}};
  int completed = 0;
  for (int frame = 0; frame < 400; ++frame) {
    hold(turns[(frame / 25) % 7]);
    counting = true;
    completed += play_frame(match);
    counting = false;
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(completed, 400);
}

// The recorded session's key lines, read before anything is counted.
std::vector<platform::KeySet> golden_session() {
  platform::LoadedScript keys = platform::load_key_script(RINK_REPLAY_DATA "/golden.keys");
  EXPECT_TRUE(keys.error.empty()) << keys.error;
  return std::move(keys.lines);
}

// A thousand passes of a real match, goals and their waits for D included.
TEST_F(GameTest, AThousandFramesOfARecordedMatchAllocateNothing) {
  match.canvas.observer = nullptr;
  script(golden_session());
  allocations = 0;
  constexpr int frame_count = 1000;
  int completed = 0;
  for (int frame = 0; frame < frame_count; ++frame) {
    ASSERT_FALSE(backend().script_ended()) << "the session ends before frame " << frame;
    backend().pump_events();  // the main loop's pass takes the next line of keys
    counting = true;
    completed += play_frame(match);
    counting = false;
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(completed, frame_count);
  // Lines beyond one per frame were taken by waits for D: goals were part of the run.
  EXPECT_GT(backend().lines_taken(), static_cast<std::size_t>(frame_count));
}

// On the desktop backend the flip converts and uploads too; the first frames may set up what
// SDL keeps, after that nothing of ours allocates.
TEST(ScreenFrameTest, FramesOnTheDummyScreenAllocateNothingOfOurs) {
  ScreenGame game;
  ASSERT_TRUE(game.started);
  for (int frame = 0; frame < 3; ++frame) play_frame(game.match);
  allocations = 0;
  counting = true;
  for (int frame = 0; frame < 200; ++frame) play_frame(game.match);
  counting = false;
  EXPECT_EQ(allocations, 0);
}

// With what the game tells over the pictures too: the hints follow the skaters every frame, a
// goal's banner comes, and the overlay is drawn into a copy of the picture made once.
TEST(ScreenFrameTest, FramesWithTheGuideOverThePictureAllocateNothingOfOurs) {
  ScreenGame game;
  ASSERT_TRUE(game.started);
  GameGuide guide({&game.backend.overlay(), true, true, std::chrono::minutes(1)}, nullptr);
  guide.on_start(game.match);
  const auto frames = [&](int count) {
    for (int frame = 0; frame < count; ++frame) guide.after_frame(play_frame(game.match));
  };
  frames(3);
  allocations = 0;
  counting = true;
  frames(100);
  guide.on_cue({CueKind::goal, CueWho::player_one, full_strength});
  // The wait shows the banner, then takes the D that is already there.
  SDL_Event d{};
  d.type = SDL_KEYDOWN;
  d.key.keysym = SDL_Keysym{SDL_SCANCODE_D, SDLK_d, KMOD_NONE, 0};
  SDL_PushEvent(&d);
  game.backend.real_waits = true;
  const bool went_on = game.backend.idle_between_polls(VK_D);
  game.backend.real_waits = false;
  frames(100);
  counting = false;
  EXPECT_TRUE(went_on);
  EXPECT_FALSE(game.backend.overlay().empty());
  EXPECT_EQ(allocations, 0);
}

// The audio device's callback will mix under a lock, and frames will start sounds: neither may
// allocate, voices taken over and the mute included.
TEST(MixerAllocationTest, PlayingAndMixingAllocateNothing) {
  const std::vector<std::int16_t> sound(3000, 1000);
  std::vector<std::int16_t> out(1024);
  platform::Mixer mixer;
  allocations = 0;
  counting = true;
  for (int pass = 0; pass < 40; ++pass) {
    mixer.play(sound, 20 + pass);
    mixer.set_muted(pass % 5 == 4);
    mixer.mix(out.data(), static_cast<int>(out.size()));
  }
  counting = false;
  EXPECT_EQ(allocations, 0);
  EXPECT_GT(mixer.voices_playing(), 0);
}

}  // namespace
