#include "game_fixture.h"

namespace {

using enum SpriteId;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace std::string_literals;

class ShotTest : public GameTest {
 protected:
  void SetUp() override {
    match.player_has_puck = true;
    match.player_draw_position = {7, 9};
  }
};

struct ReleaseCase {
  int x, y, aim, windup;
  int puck_x, puck_y, puck_dx, puck_dy;
};

TEST_F(ShotTest, ReleaseAimsFromTheStickAtTheGoalWithWindUpSpeed) {
  const ReleaseCase cases[] = {
      {100, 200, aim_centre, 1, 164, 249, 36, -1},  {100, 200, aim_high, 18, 164, 249, 53, -5},
      {240, 200, aim_low, 10, 304, 249, 45, 2},     {300, 100, aim_low, 18, 364, 149, 47, 25},
      {520, 200, aim_centre, 5, 584, 249, -20, -35},  // right of the target: back and up
      {512, 186, aim_centre, 3, 576, 235, 0, 0},      // on the target: the puck stays put
  };
  for (const ReleaseCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "from " << c.x << "," << c.y);
    match.player_x = c.x;
    match.player_y = c.y;
    match.shot_aim = static_cast<std::int16_t>(c.aim);
    match.player_windup = c.windup;
    match.player_has_puck = true;
    match.rgoalie_tracking = false;
    clear_draws();
    EXPECT_TRUE(release_player_shot(match));
    EXPECT_EQ(std::tuple(match.puck_x, match.puck_y, match.puck_dx, match.puck_dy),
              std::tuple(c.puck_x, c.puck_y, c.puck_dx, c.puck_dy));
    EXPECT_EQ(std::tuple(match.player_windup, match.player_has_puck, match.rgoalie_tracking),
              std::tuple(0, false, true));
    EXPECT_THAT(draws(), ElementsAre(puck_line(c.puck_x + c.puck_dx, c.puck_y + c.puck_dy)));
  }
}

TEST_F(ShotTest, AFullWindUpShootsInItsEighteenthFrameWithSpaceStillHeld) {
  hold({VK_SPACE, VK_RIGHT, VK_UP, VK_DOWN});
  for (int frame = 1; frame <= 18; ++frame) {
    EXPECT_TRUE(player_shot_step(match));
    EXPECT_EQ(match.player_has_puck, frame < 18);
  }
  std::vector<std::string> expected;
  for (SpriteId image : {playershootingright1, playershootingright2, playershootingright3, playershootingright4,
                         playershootingright5, playershootingright6}) {
    expected.insert(expected.end(), 3, blit_line(image, 7, 9));
  }
  expected.push_back(puck_line(164 + 53, 249 - 5));  // aimed high: Up wins over Down
  EXPECT_THAT(draws(), ElementsAreArray(expected));
  EXPECT_EQ(match.player_x, 100);  // no skating while winding up
  EXPECT_EQ(match.player_stride, 0);
}

TEST_F(ShotTest, TheLastWindUpFrameAimsAndLettingGoSkatesOneStepThenShoots) {
  EXPECT_TRUE(player_shot_step(match));  // carrying without a wind-up never shoots
  EXPECT_TRUE(match.player_has_puck);
  match.shot_aim = aim_high;
  hold({VK_SPACE});
  player_shot_step(match);
  EXPECT_EQ(match.shot_aim, aim_centre);
  hold({VK_SPACE, VK_DOWN});
  player_shot_step(match);
  EXPECT_EQ(match.shot_aim, aim_low);
  EXPECT_EQ(match.player_windup, 2);
  match.player_stride = 40;
  clear_draws();
  hold({VK_RIGHT});
  EXPECT_TRUE(player_shot_step(match));
  EXPECT_EQ(std::pair(match.puck_x, match.puck_dx), std::pair(107 + 64, 37));  // speed 38
  EXPECT_FALSE(match.player_has_puck);
  EXPECT_THAT(draws(), ElementsAre(blit_line(firstplayertwowpuck, 7, 9), puck_line(171 + 37, 249 + 1)));
}

TEST_F(ShotTest, AFailedWindUpImageShowsAMessageButAFailedPuckAfterTheReleaseDoesNot) {
  fail_sprite(playershootingright2);
  fail_sprite(puck);
  match.player_windup = 4;
  hold({VK_SPACE, VK_UP});
  EXPECT_FALSE(player_shot_step(match));
  EXPECT_EQ(std::pair(match.player_windup, match.shot_aim), std::pair(4, std::int16_t{aim_centre}));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(std::pair(messages()[0].text, messages()[0].caption), std::pair("unable to blit"s, "error"s));
  release_keys();
  EXPECT_FALSE(player_shot_step(match));  // the shot is stored all the same
  EXPECT_EQ(std::tuple(match.player_has_puck, match.rgoalie_tracking, match.puck_dx), std::tuple(false, true, 39));
  EXPECT_EQ(messages().size(), 1u);
}

enum class Outcome { nothing, won, lost };

struct CheckCase {
  bool cpu_has_puck;
  int cpu_x, cpu_y, player_dx, player_dy, cpu_dx, cpu_dy;
  Outcome outcome;
};

TEST_F(ShotTest, BodyCheckNeedsContactAndTheStrictlyFasterSkate) {
  const CheckCase cases[] = {
      {false, 200, 200, 5, 5, 0, 0, Outcome::nothing},  {true, 243, 200, 5, 5, 0, 0, Outcome::nothing},
      {true, 242, 200, 5, 5, 0, 0, Outcome::won},       {true, 157, 200, 5, 5, 0, 0, Outcome::nothing},
      {true, 158, 200, 5, 5, 0, 0, Outcome::won},       {true, 200, 243, 5, 5, 0, 0, Outcome::nothing},
      {true, 200, 242, 5, 5, 0, 0, Outcome::won},       {true, 200, 157, 5, 5, 0, 0, Outcome::nothing},
      {true, 200, 158, 5, 5, 0, 0, Outcome::won},       {true, 200, 200, 3, -3, -3, 3, Outcome::lost},
      {true, 200, 200, 1, 1, 0, 2, Outcome::lost},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "computer at " << c.cpu_x << "," << c.cpu_y);
    static_cast<MatchState&>(match) = MatchState{};
    match.player_x = match.player_y = 200;
    match.player_stride = 8;
    match.cpu_stride = 9;
    match.cpu_windup = 4;
    match.cpu_has_puck = c.cpu_has_puck;
    match.cpu_x = c.cpu_x;
    match.cpu_y = c.cpu_y;
    match.player_dx = c.player_dx;
    match.player_dy = c.player_dy;
    match.cpu_dx = c.cpu_dx;
    match.cpu_dy = c.cpu_dy;
    clear_draws();
    EXPECT_TRUE(player_check_step(match));
    EXPECT_THAT(draws(), ElementsAre(blit_line(c.cpu_has_puck ? playeronecheck : firstplayerone, 7, 9)));
    const bool won = c.outcome == Outcome::won;
    const bool lost = c.outcome == Outcome::lost;
    EXPECT_EQ(std::tuple(match.player_has_puck, match.cpu_has_puck, match.cpu_down_timer, match.cpu_stride,
                         match.cpu_windup),
              std::tuple(won, c.cpu_has_puck && !won, won ? 20 : 0, won ? 0 : 9, won ? 0 : 4));
    EXPECT_EQ(std::tuple(match.player_down_timer, match.player_stride, match.player_x),
              std::tuple(lost ? 20 : 0, lost ? 0 : 8, 200));
  }
}

TEST_F(ShotTest, FailedCheckImageEndsBeforeTheContactTest) {
  fail_sprite(playeronecheck);
  match.player_has_puck = false;
  match.cpu_has_puck = true;
  match.cpu_x = match.player_x;
  match.cpu_y = match.player_y;
  EXPECT_FALSE(player_check_step(match));
  EXPECT_TRUE(match.cpu_has_puck);
  EXPECT_EQ(match.player_down_timer, 0);
  EXPECT_TRUE(messages().empty());
}

}  // namespace
