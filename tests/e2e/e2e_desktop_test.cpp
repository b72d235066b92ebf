// The desktop comforts as a player meets them: the game in a window of its own (filled, or at
// whole scales when asked), and a match recorded while it is played and replayed to the very
// picture the player saw last.

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
  explicit WindowModeTest(std::vector<std::string> arguments = {"--window"}) : RinkTest(1400, 1050) {
    arguments_ = std::move(arguments);
  }

  void SetUp() override {
    start_game(build_file("rink"), arguments_);
    ASSERT_TRUE(wait_for_rink());
    window_ = game_window().value_or("");
  }

  void resize_to(int width, int height) {
    screen_.resize(window_, width, height);
    ASSERT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_)->width == width; }));
    std::this_thread::sleep_for(300ms);  // a frame or two on the new size
  }

  // The window's picture where it should be: the rink, and black to its left.
  void expect_picture_in_place(const Image& shown, const Rect& where) {
    const std::optional<Rect> area = screen_.window_area(window_);
    ASSERT_TRUE(area);
    const Image screen = capture_screen();
    EXPECT_GT(rink_share(shown.sampled(picture_width, picture_height)), 0.9);
    const Rect left_border{area->x, area->y, where.x - area->x, area->height};
    EXPECT_EQ(screen.count(black, left_border), left_border.width * left_border.height);
  }

  std::vector<std::string> arguments_;
  std::string window_;
};

// With --scale whole, the window's picture keeps the whole scale that fits it, centred, black
// around it.
class WholeScaleWindowTest : public WindowModeTest {
 protected:
  WholeScaleWindowTest() : WindowModeTest({"--window", "--scale", "whole"}) {}

  void expect_whole_scale(int scale) {
    const Rect where = placement();
    EXPECT_EQ(where.width, scale * picture_width);
    const Image shown = capture_screen().region(where);
    EXPECT_TRUE(shown.made_of_blocks(scale));
    expect_picture_in_place(shown, where);
  }
};

TEST_F(WholeScaleWindowTest, OpensAtTwiceThePicturesSizeWithoutCoveringTheScreen) {
  const std::optional<Rect> area = screen_.window_area(window_);
  ASSERT_TRUE(area);
  EXPECT_EQ(area->width, 2 * picture_width);
  EXPECT_EQ(area->height, 2 * picture_height);
  expect_whole_scale(2);
}

TEST_F(WholeScaleWindowTest, KeepsAWholeScaleWhenResized) {
  resize_to(900, 700);
  expect_whole_scale(1);
  resize_to(1390, 1000);
  expect_whole_scale(2);
}

// By default the picture fills the largest 4:3 area of the resized window: 1200 by 900 in a
// window of 1200 by 950, with bars above and below.
TEST_F(WindowModeTest, FillsTheWindowWhenResized) {
  resize_to(1200, 950);
  const std::optional<Rect> area = screen_.window_area(window_);
  ASSERT_TRUE(area);
  const Rect where = placement();
  EXPECT_EQ(where, (Rect{area->x, area->y + 25, 1200, 900}));
  expect_picture_in_place(capture_screen().region(where), where);
  const Rect top_bar{area->x, area->y, 1200, 25};
  EXPECT_EQ(capture_screen().count(black, top_bar), 1200 * 25);
}

TEST_F(WindowModeTest, F11SwitchesToTheFullScreenAndBack) {
  screen_.key_down("F11");
  screen_.key_up("F11");
  EXPECT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_) == Rect{0, 0, 1400, 1050}; }));
  screen_.key_down("F11");
  screen_.key_up("F11");
  EXPECT_TRUE(poll_until(5s, [&] { return screen_.window_area(window_)->width == 2 * picture_width; }));
}

class RecordingTest : public RinkTest, public ::testing::WithParamInterface<int> {};

// Played with the keyboard by the autopilot up to the first goal, D pressed in its wait, then a
// few frames of play before the player turns to another program, which pauses the game, and
// closes it. The autopilot sees the match through the game's twin, which follows the recording
// as it is written: whatever keys came late, it decides on the match as the game has it. In a
// two-player game both players' autopilots share the keyboard, and the recording says it holds a
// two-player session, which rink-replay then plays as one.
TEST_P(RecordingTest, ARecordedMatchReplaysToThePictureThePlayerSawLast) {
  const int players = GetParam();
  const std::filesystem::path keys = work_.path() / "session.keys";
  start_game(build_file("rink"), {"--players", std::to_string(players), "--record", keys.string()});
  ASSERT_TRUE(wait_for_rink());
  ShadowGame twin(keys, players);
  Autopilots pilots(true, players == 2);
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
    hold(x_key_names(pilots.decide(view->match, view->player_two), players));
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
  const std::string recorded = file_text(keys);
  EXPECT_NE(recorded.find("\nD\n"), std::string::npos) << "the recording holds no D";
  EXPECT_EQ(recorded.find("P2") != std::string::npos, players == 2) << "player two's keys are its game's alone";
  EXPECT_EQ(recorded.starts_with("# players 2\n"), players == 2);

  const std::filesystem::path replayed = work_.path() / "replayed.png";
  const CommandResult replay = run_command(
      {build_file("rink-replay").string(), "--picture", replayed.string(), keys.string()}, environment_with({}), 60s);
  ASSERT_EQ(replay.exit_code, 0);
  EXPECT_TRUE(load_png(replayed.string()).pixels == last.pixels)
      << "the replay of the recording ends on another picture than the player saw";
}

INSTANTIATE_TEST_SUITE_P(Players, RecordingTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) { return info.param == 2 ? "Two" : "One"; });

}  // namespace
}  // namespace e2e
