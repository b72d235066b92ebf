// The desktop comforts as a player meets them: the game in a window of its own, and a match
// recorded while it is played and replayed to the very picture the player saw last.

#include <set>

#include "autopilot.h"
#include "display/display_ops.h"
#include "rink_session.h"
#include "shadow_game.h"

namespace e2e {
namespace {

constexpr Rgb black = rgb(0, 0, 0);

// A screen on which the window takes the picture twice over, with room to spare.
class WindowModeTest : public RinkTest {
 protected:
  WindowModeTest() : RinkTest(1400, 1050) {}

  void SetUp() override {
    start_game(build_file("rink"), {"--window"});
    ASSERT_TRUE(wait_for_rink());
    window_ = game_window().value_or("");
  }

  // The window's picture: at the whole scale that fits it, centred, black around it.
  void expect_whole_scale(int scale) {
    const std::optional<Rect> area = screen_.window_area(window_);
    ASSERT_TRUE(area);
    const Placement where = placement();
    EXPECT_EQ(where.scale, scale);
    const Image screen = capture_screen();
    const Image shown = screen.region(where.area);
    EXPECT_TRUE(shown.made_of_blocks(scale));
    EXPECT_GT(rink_share(shown.shrunk(scale)), 0.9);
    const Rect left_border{area->x, area->y, where.area.x - area->x, area->height};
    EXPECT_EQ(screen.count(black, left_border), left_border.width * left_border.height);
  }

  std::string window_;
};

TEST_F(WindowModeTest, OpensAtTwiceThePicturesSizeWithoutCoveringTheScreen) {
  const std::optional<Rect> area = screen_.window_area(window_);
  ASSERT_TRUE(area);
  EXPECT_EQ(area->width, 2 * picture_width);
  EXPECT_EQ(area->height, 2 * picture_height);
  expect_whole_scale(2);
}

TEST_F(WindowModeTest, KeepsAWholeScaleWhenResized) {
  screen_.resize(window_, 900, 700);
  ASSERT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_)->width == 900; }));
  std::this_thread::sleep_for(300ms);  // a frame or two on the new size
  expect_whole_scale(1);
  screen_.resize(window_, 1390, 1000);
  ASSERT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_)->width == 1390; }));
  std::this_thread::sleep_for(300ms);
  expect_whole_scale(2);
}

TEST_F(WindowModeTest, F11SwitchesToTheFullScreenAndBack) {
  screen_.key_down("F11");
  screen_.key_up("F11");
  EXPECT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_) == Rect{0, 0, 1400, 1050}; }));
  screen_.key_down("F11");
  screen_.key_up("F11");
  EXPECT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_)->width == 2 * picture_width; }));
}

using RecordingTest = RinkTest;

// Played with the keyboard by the autopilot up to the first goal, D pressed in its wait, then a
// few frames of play before the player turns to another program, which pauses the game, and
// closes it. The autopilot sees the match through the game's twin, which follows the recording
// as it is written: whatever keys came late, it decides on the match as the game has it.
TEST_F(RecordingTest, ARecordedMatchReplaysToThePictureThePlayerSawLast) {
  const std::filesystem::path keys = work_.path() / "session.keys";
  start_game(build_file("rink"), {"--record", keys.string()});
  ASSERT_TRUE(wait_for_rink());
  ShadowGame twin(keys);
  Autopilot pilot;
  std::set<std::string> held;
  auto hold = [&](const std::set<std::string>& now) {
    for (const std::string& key : held) {
      if (!now.contains(key)) screen_.key_up(key);
    }
    for (const std::string& key : now) {
      if (!held.contains(key)) screen_.key_down(key);
    }
    held = now;
  };
  std::optional<ShadowGame::View> view = ShadowGame::View{};
  for (int frames = 0; (view = twin.next(frames, 10s)) && !view->waiting && view->frames < 3000;) {
    frames = view->frames;
    hold(x_key_names(pilot.decide(view->match)));
  }
  hold({});
  ASSERT_TRUE(view && view->waiting) << "no goal: the game stopped, or played 3000 frames without one";
  screen_.key_down("d");
  screen_.key_up("d");
  ASSERT_TRUE(twin.next(view->frames + 5, 10s)) << "the game did not go on after D";

  screen_.focus_nothing();
  Image last = capture_picture();
  ASSERT_TRUE(poll_until(10s, [&] {
    std::this_thread::sleep_for(300ms);
    Image now = capture_picture();
    const bool still = now.pixels == last.pixels;
    last = std::move(now);
    return still;
  })) << "the game went on without the focus";
  const std::optional<std::string> window = game_window();
  ASSERT_TRUE(window);
  ASSERT_TRUE(screen_.request_close(*window));
  const std::optional<int> exit_code = wait_for_exit(20s);
  ASSERT_TRUE(exit_code);
  EXPECT_EQ(*exit_code, 0) << game_errors();
  EXPECT_NE(file_text(keys).find("\nD\n"), std::string::npos) << "the recording holds no D";

  const std::filesystem::path replayed = work_.path() / "replayed.png";
  const CommandResult replay = run_command(
      {build_file("rink-replay").string(), "--picture", replayed.string(), keys.string()}, environment_with({}), 60s);
  ASSERT_EQ(replay.exit_code, 0);
  EXPECT_TRUE(load_png(replayed.string()).pixels == last.pixels)
      << "the replay of the recording ends on another picture than the player saw";
}

}  // namespace
}  // namespace e2e
