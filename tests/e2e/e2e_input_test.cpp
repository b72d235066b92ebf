// The game answers the keyboard and the window manager: skating, Escape and the close button.

#include "rink_session.h"

namespace e2e {
namespace {

class GameInputTest : public RunningGameTest, public ::testing::WithParamInterface<std::string> {
 protected:
  GameInputTest() : RunningGameTest(picture_width, picture_height, GetParam()) {}

  // The game's window goes away at once, and the game then ends (the sanitizers' checks at exit
  // take their time on a loaded machine).
  void expect_quick_close_and_exit_code_zero(const char* after) {
    EXPECT_TRUE(poll_until(2s, [&] { return !game_window(); })) << "the window still shows two seconds after " << after;
    const std::optional<int> exit_code = wait_for_exit(20s);
    ASSERT_TRUE(exit_code) << "the game still runs twenty seconds after " << after;
    EXPECT_EQ(*exit_code, 0) << game_errors();
  }
};

// Player one's corner: the right-facing skating images searched along the lane where it faces
// off (the computer skater keeps to the far right meanwhile). The left goalie, drawn later,
// hides part of the skater at the start.
std::optional<Point> find_player_one(const Image& picture) {
  static const Bitmap images[] = {load_bitmap(build_file("firstplayerone.bmp").string()),
                                  load_bitmap(build_file("firstplayertwo.bmp").string())};
  const Rect lane{0, 150, 400, 100};
  for (const Bitmap& image : images) {
    if (std::optional<Point> corner = locate(picture, image, lane, 0.75)) return corner;
  }
  return std::nullopt;
}

TEST_P(GameInputTest, HoldingRightSkatesPlayerOneToTheRight) {
  EXPECT_EQ(find_player_one(first_picture_), (Point{100, 200}));
  std::optional<Point> player;
  const bool moved = hold_key_until("Right", [&] {
    player = find_player_one(capture_picture());
    return player && player->x >= 110;
  }, 10s);
  ASSERT_TRUE(moved) << "player one is still at " << (player ? player->x : -1);
  EXPECT_EQ(player->y, 200) << "Right alone keeps the skater on its line";
}

// Player two's skater: the left-facing skating images, which it wears in the second team's
// colours (about a third of its pixels), searched on the right half of the ice.
std::optional<Point> find_player_two(const Image& picture) {
  static const Bitmap images[] = {load_bitmap(build_file("firstplayerthree.bmp").string()),
                                  load_bitmap(build_file("firstplayerfour.bmp").string())};
  const Rect lane{300, 130, 276, 100};
  for (const Bitmap& image : images) {
    if (std::optional<Point> corner = locate(picture, image, lane, 0.6)) return corner;
  }
  return std::nullopt;
}

class TwoPlayerInputTest : public RunningGameTest {
 protected:
  TwoPlayerInputTest() : RunningGameTest(picture_width, picture_height, "software", {"--players", "2"}) {}
};

// Two players at one keyboard: player one holds Right while player two holds F, and each skater
// goes its own way, straight along its line.
TEST_F(TwoPlayerInputTest, KeysOfBothPlayersHeldAtOnceMoveBothSkaters) {
  screen_.key_down("Right");
  screen_.key_down("f");
  std::optional<Point> one, two;
  const bool moved = poll_until(10s, [&] {
    const Image picture = capture_picture();
    one = find_player_one(picture);
    two = find_player_two(picture);
    return one && two && one->x >= 130 && two->x <= 500;
  });
  screen_.key_up("f");
  screen_.key_up("Right");
  ASSERT_TRUE(moved) << "player one at " << (one ? one->x : -1) << ", player two at " << (two ? two->x : -1);
  EXPECT_EQ(one->y, 200);
  EXPECT_EQ(two->y, 180);
}

// A tap far shorter than a frame: the key goes down and up again between two looks at it.
TEST_P(GameInputTest, AQuickTapOfEscapeClosesTheWindowAtOnceAndEndsTheGameWithExitCodeZero) {
  ASSERT_TRUE(screen_.xdotool({"key", "--delay", "0", "Escape"}));
  expect_quick_close_and_exit_code_zero("Escape");
}

TEST_P(GameInputTest, TheWindowManagersCloseRequestEndsTheGameWithExitCodeZero) {
  const std::optional<std::string> window = game_window();
  ASSERT_TRUE(window);
  ASSERT_TRUE(screen_.request_close(*window));
  expect_quick_close_and_exit_code_zero("the close request");
}

INSTANTIATE_TEST_SUITE_P(Renderers, GameInputTest, each_renderer, renderer_name);

}  // namespace
}  // namespace e2e
