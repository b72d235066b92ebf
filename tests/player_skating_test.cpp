#include "game_fixture.h"

namespace {

using enum SpriteId;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using platform::KeySet;

class SkatingTest : public GameTest {
 protected:
  // Player one stands at (x, y) but is drawn at (7, 9), where the frame captured it.
  void place(int x, int y, int stride, bool puck) {
    match.player_x = x;
    match.player_y = y;
    match.player_stride = stride;
    match.player_has_puck = puck;
    match.player_draw_position = {7, 9};
  }
  bool skate(const KeySet& keys) {
    hold(keys);
    return match.player_has_puck ? player_carry_step(match) : player_skate_step(match);
  }
  auto skater() const {
    return std::tuple(match.player_x, match.player_y, match.player_dx, match.player_dy, match.player_facing);
  }
};

struct RowCase {
  bool puck;
  KeySet keys;
  int x, y, dx, dy, facing;
  SpriteId image;
};

TEST_F(SkatingTest, EachRowAtFullSpeedStoresItsStepMovesFacesAndDraws) {
  const RowCase cases[] = {
      {false, {VK_RIGHT, VK_UP}, 204, 197, 4, -3, 1, firstplayertwo},
      {false, {VK_RIGHT, VK_DOWN}, 206, 206, 6, 6, 1, firstplayertwo},
      {false, {VK_LEFT, VK_DOWN}, 194, 206, -6, 6, 1, firstplayerfour},
      {false, {VK_LEFT, VK_UP}, 194, 194, -6, -6, 1, firstplayerfour},
      {false, {VK_RIGHT, VK_LEFT}, 206, 200, 6, 0, 1, firstplayertwo},  // Right wins over Left
      {false, {VK_LEFT}, 194, 200, -6, 0, 2, firstplayerfour},
      {false, {VK_UP, VK_DOWN}, 200, 194, 0, -6, 3, up1},  // Up wins over Down
      {false, {VK_DOWN}, 200, 206, 0, 6, 4, down1},
      {false, {VK_LEFT, VK_UP, VK_DOWN}, 194, 206, -6, 6, 1, firstplayerfour},
      {true, {VK_RIGHT, VK_UP}, 207, 193, 7, -7, 1, firstplayertwowpuck},
      {true, {VK_RIGHT, VK_DOWN}, 207, 207, 7, 7, 1, firstplayertwowpuck},
      {true, {VK_LEFT, VK_DOWN}, 193, 207, -7, 7, 1, firstplayerfourwpuck},
      {true, {VK_LEFT, VK_UP}, 193, 193, -7, -7, 1, firstplayerfourwpuck},
      {true, {VK_RIGHT, VK_LEFT}, 207, 200, 7, 0, 1, firstplayertwowpuck},
      {true, {VK_LEFT}, 194, 200, 6, 0, 2, firstplayerfourwpuck},  // Left and Up store a magnitude
      {true, {VK_UP, VK_DOWN}, 200, 194, 0, 6, 3, upwithpuck1},
      {true, {VK_DOWN}, 200, 207, 0, 7, 4, downwithpuck1},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(::testing::Message() << "case " << i);
    const RowCase& c = cases[i];
    place(200, 200, 40, c.puck);
    clear_draws();
    EXPECT_TRUE(skate(c.keys));
    EXPECT_EQ(skater(), std::tuple(c.x, c.y, c.dx, c.dy, c.facing));
    EXPECT_EQ(match.player_stride, 41);
    EXPECT_THAT(draws(), ElementsAre(blit_line(c.image, 7, 9)));
  }
}

TEST_F(SkatingTest, SpeedGrowsEveryFiveStridesAndLettingGoKeepsIt) {
  place(100, 200, 0, false);
  std::vector<int> xs;
  for (int frame = 0; frame < 10; ++frame) {
    skate({VK_RIGHT});
    xs.push_back(match.player_x);
  }
  EXPECT_THAT(xs, ElementsAreArray({100, 100, 100, 100, 100, 101, 102, 103, 104, 105}));
  skate({});
  EXPECT_EQ(match.player_stride, 10);
  place(100, 200, 0, false);
  skate({VK_RIGHT, VK_UP});  // a constant step from a standstill
  EXPECT_EQ(skater(), std::tuple(104, 197, 4, -3, 1));
}

struct LimitCase {
  bool puck;
  KeySet keys;
  int x, y, stride, to_x, to_y;
};

TEST_F(SkatingTest, RinkLimitsAndCreasesRefuseMovesButKeepStepAndFacing) {
  const LimitCase cases[] = {
      {false, {VK_DOWN}, 100, 379, 40, 100, 379},  // single keys test the target y,
      {false, {VK_RIGHT, VK_DOWN}, 100, 379, 40, 106, 385},  // diagonals y minus the step
      {false, {VK_RIGHT, VK_DOWN}, 100, 391, 40, 100, 391},
      {false, {VK_RIGHT, VK_UP}, 100, -14, 0, 104, -17},
      {false, {VK_RIGHT, VK_UP}, 100, -15, 0, 100, -15},
      {false, {VK_UP}, 100, -5, 40, 100, -11},
      {false, {VK_UP}, 100, -6, 40, 100, -6},
      {false, {VK_LEFT}, 1, 100, 40, 1, 100},
      {false, {VK_RIGHT}, 582, 100, 40, 582, 100},
      {true, {VK_RIGHT}, 560, 100, 40, 567, 100},
      {true, {VK_RIGHT}, 561, 100, 40, 561, 100},
      {true, {VK_LEFT}, 27, 100, 40, 21, 100},
      {true, {VK_LEFT}, 26, 100, 40, 26, 100},
      {true, {VK_UP}, 100, 6, 40, 100, 6},
      {true, {VK_DOWN}, 100, 378, 40, 100, 378},
      {true, {VK_RIGHT}, 543, 220, 40, 550, 220},   // up to the crease
      {true, {VK_RIGHT}, 544, 220, 40, 544, 220},   // but not into it with the puck,
      {false, {VK_RIGHT}, 544, 220, 40, 550, 220},  // freely without it
      {true, {VK_LEFT, VK_DOWN}, 7, 200, 40, 0, 207},  // the creases leave x 0 and y 290 open
      {true, {VK_DOWN}, 60, 283, 40, 60, 290},
      {true, {VK_DOWN}, 560, 220, 2, 560, 220},     // a carrier standing in a crease is stuck
      {true, {VK_UP}, 60, 294, 40, 60, 288},        // skating up tests one step below, so it
      {true, {VK_UP}, 60, 186, 42, 60, 186},        // enters, and is stopped from outside
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "from " << c.x << "," << c.y << " puck " << c.puck);
    place(c.x, c.y, c.stride, c.puck);
    skate(c.keys);
    EXPECT_EQ(std::pair(match.player_x, match.player_y), std::pair(c.to_x, c.to_y));
    EXPECT_EQ(match.player_stride, c.stride + (c.to_x != c.x || c.to_y != c.y ? 1 : 0));
  }
  EXPECT_EQ(skater(), std::tuple(60, 186, 0, 6, 3));
  EXPECT_EQ(draws().back(), blit_line(upwithpuck1, 7, 9));  // stride 42 kept; 43 would show up3
}

TEST_F(SkatingTest, StandingStillShowsTheFacingAndChangesNothing) {
  const SpriteId with_puck[] = {firstplayertwowpuck, firstplayerfourwpuck, up2, downwithpuck2};
  const SpriteId without[] = {firstplayertwo, firstplayerfour, up2, down2};
  for (int facing = facing_right; facing <= facing_down; ++facing) {
    for (bool puck : {true, false}) {
      place(100, 200, 13, puck);
      match.player_facing = facing;
      EXPECT_TRUE(skate({}));
      EXPECT_EQ(draws().back(), blit_line((puck ? with_puck : without)[facing - 1], 7, 9));
      EXPECT_EQ(skater(), std::tuple(100, 200, 5, 5, facing));
      EXPECT_EQ(match.player_stride, 13);
    }
  }
}

struct FailureCase {
  bool puck;
  KeySet keys;
  int stride;  // before the move
  SpriteId image;
  std::string text, caption;
};

// The cases also walk the pose cycles: by 7 sideways, by 8 up and down.
TEST_F(SkatingTest, AFailedSkatingImageShowsTheMessageOfItsPoseAfterTheMove) {
  const FailureCase cases[] = {
      {true, {VK_RIGHT, VK_UP}, 0, firstplayeronewpuck, "Unable to blit", "eror"},
      {true, {VK_LEFT, VK_DOWN}, 4, firstplayerfourwpuck, "unable to blit", "error"},
      {true, {VK_RIGHT}, 13, firstplayeronewpuck, "Unable to blit1", "eror"},
      {true, {VK_LEFT}, 4, firstplayerfourwpuck, "unable to blit2", "error"},
      {true, {VK_UP}, 2, up3, "unable to blit", "error"},
      {true, {VK_UP}, 5, upwithpuck3, "unable to blit", "error"},
      {true, {VK_DOWN}, 7, downwithpuck1, "Unable to blit", "eror"},
      {true, {VK_DOWN}, 6, downwithpuck2, "unable to blit", "error"},
      {false, {VK_RIGHT, VK_DOWN}, 5, firstplayertwo, "unable to blit", "error"},
      {false, {VK_LEFT}, 6, firstplayerthree, "Unable to blit", "eror"},
      {false, {VK_UP}, 3, up3, "Unable to blit", "eror"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << sprite_name(c.image) << " at stride " << c.stride);
    place(300, 100, c.stride, c.puck);
    platform::testing::clear_failures();
    fail_sprite(c.image);
    backend().clear_messages();
    EXPECT_FALSE(skate(c.keys));
    EXPECT_EQ(match.player_stride, c.stride + 1);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(std::pair(messages()[0].text, messages()[0].caption), std::pair(c.text, c.caption));
  }
}

TEST_F(SkatingTest, KnockedDownCountsDownWhereCapturedAndFailsSilentlyLikeTheIdleImage) {
  place(100, 200, 0, false);
  EXPECT_TRUE(player_down_step(match));
  match.player_down_timer = 2;
  EXPECT_TRUE(player_down_step(match));
  EXPECT_EQ(match.player_down_timer, 1);
  EXPECT_THAT(draws(), ElementsAre(blit_line(playeronedown, 7, 9)));
  fail_sprite(playeronedown);
  fail_sprite(firstplayertwo);
  EXPECT_FALSE(player_down_step(match));
  EXPECT_EQ(match.player_down_timer, 0);
  EXPECT_FALSE(skate({}));
  EXPECT_TRUE(messages().empty());
}

}  // namespace
