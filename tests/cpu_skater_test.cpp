// The computer skater's stage, run on its own over the headless display.

#include <tuple>

#include "game_fixture.h"

using ::testing::ElementsAre;
using Sprite = SpriteId;

namespace {

class CpuSkaterTest : public GameTest {
 protected:
  // The skater at (x, y) with the puck free and near it, so that chasing keeps the step.
  void place(int x, int y, int dx = 0, int dy = 0) {
    match.cpu_x = x, match.cpu_y = y, match.cpu_dx = dx, match.cpu_dy = dy;
    match.puck_x = x + 30, match.puck_y = y + 30;
    clear_draws();
  }
  // Player one carrying at (x, y), last step (dx, dy).
  void player_carries(int x, int y, int dx, int dy) {
    match.player_has_puck = true;
    match.player_x = x, match.player_y = y, match.player_dx = dx, match.player_dy = dy;
  }
};

TEST_F(CpuSkaterTest, LiesStillForNineteenFramesAndSkatesOffInTheTwentieth) {
  place(300, 200, 2, 0);
  match.cpu_down_timer = 20;
  for (int frame = 0; frame < 19; ++frame) ASSERT_TRUE(update_cpu_skater(match));
  EXPECT_EQ(draws().size(), 19u);
  EXPECT_EQ(match.cpu_x, 300);
  clear_draws();
  ASSERT_TRUE(update_cpu_skater(match));
  EXPECT_THAT(draws(), ElementsAre(blit_line(Sprite::playeronedown, 300, 200),
                                   blit_line(Sprite::firstplayerone, 300, 200)));
  EXPECT_EQ(match.cpu_x, 302);
}

TEST_F(CpuSkaterTest, StepTurnsRoundAtTheBoardsAndTheImageShowsTheOldPlace) {
  place(615, 42, 6, -3);
  ASSERT_TRUE(update_cpu_skater(match));
  EXPECT_EQ(std::pair(match.cpu_x, match.cpu_y), std::pair(609, 45));
  EXPECT_THAT(draws(), ElementsAre(blit_line(Sprite::firstplayerthree, 615, 42)));
}

TEST_F(CpuSkaterTest, ChasesTheFreePuckAtStrideSpeedNeverZeroNorAboveSix) {
  for (auto [stride, speed] : {std::pair{0, 1}, {29, 5}, {1000, 6}}) {
    place(300, 200);
    match.cpu_stride = stride, match.puck_x = 100, match.puck_y = 400;
    ASSERT_TRUE(update_cpu_skater(match));
    EXPECT_EQ(std::pair(match.cpu_dx, match.cpu_dy), std::pair(-speed, speed)) << stride;
  }
  place(300, 200, 0, -2);
  match.puck_y = 198 + 50;  // exactly 50 below the corner after the step: still near
  ASSERT_TRUE(update_cpu_skater(match));
  EXPECT_EQ(match.cpu_dy, -2);
}

TEST_F(CpuSkaterTest, FasterCheckAfterTheStepTakesThePuckAndShowsOnlyTheCheck) {
  place(300, 200, 3, 0);
  player_carries(345, 242, 2, 2);  // in reach only after the computer's step
  match.player_windup = 7, match.player_stride = 9;
  ASSERT_TRUE(update_cpu_skater(match));
  EXPECT_THAT(draws(), ElementsAre(blit_line(Sprite::playeronecheck, 300, 200)));
  EXPECT_TRUE(match.cpu_has_puck && !match.player_has_puck);
  EXPECT_EQ(std::tuple(match.player_down_timer, match.player_windup, match.player_stride),
            std::tuple(20, 0, 0));
}

TEST_F(CpuSkaterTest, TiedCheckFellsTheComputerAndFortyThreeApartIsNoContact) {
  place(300, 200, 3, -3);
  match.cpu_stride = 12;
  player_carries(330, 180, -3, 3);
  ASSERT_TRUE(update_cpu_skater(match));
  EXPECT_TRUE(match.player_has_puck);
  EXPECT_EQ(match.cpu_down_timer, 20);
  EXPECT_EQ(match.cpu_dx, 1);  // chasing from a cleared stride
  EXPECT_THAT(draws(), ElementsAre(blit_line(Sprite::playeronecheck, 300, 200),
                                   blit_line(Sprite::firstplayerone, 300, 200)));

  for (auto [x, y] : {std::pair{343, 200}, {257, 200}, {300, 243}, {300, 157}}) {
    match.cpu_down_timer = 0;
    place(300, 200);
    player_carries(x, y, 0, 0);  // a check would fell the computer
    ASSERT_TRUE(update_cpu_skater(match));
    EXPECT_EQ(match.cpu_down_timer, 0) << x << "," << y;
    EXPECT_EQ(draws().size(), 1u);  // the skating image only
  }
}

TEST_F(CpuSkaterTest, CarrierStopsToWindUpOnlyBetween51And199) {
  for (auto [x, image] : {std::pair{200, Sprite::firstplayerthreewpuck},
                          {199, Sprite::playershootingleft1},
                          {50, Sprite::firstplayerthree},  // standing: same image as without puck
                          {51, Sprite::playershootingleft1}}) {
    place(x, 180);
    match.cpu_has_puck = true;
    ASSERT_TRUE(update_cpu_skater(match));
    EXPECT_THAT(draws(), ElementsAre(blit_line(image, x, 180)));
  }
}

TEST_F(CpuSkaterTest, SkatingUpWithThePuckBorrowsUp2) {
  for (auto [stride, image] : {std::pair{2, Sprite::up2}, {3, Sprite::upwithpuck1},
                               {7, Sprite::upwithpuck3}}) {
    place(40, 300, 0, -1);  // below the carrying band, level with the goal
    match.cpu_has_puck = true, match.cpu_stride = stride;
    ASSERT_TRUE(update_cpu_skater(match));
    EXPECT_THAT(draws(), ElementsAre(blit_line(image, 40, 300))) << stride;
  }
}

TEST_F(CpuSkaterTest, WindUpTakesSixteenFramesAndTheLastShootsWithoutAStandingImage) {
  place(120, 200, -3, 0);
  match.cpu_has_puck = true, match.cpu_stride = 8;
  std::vector<std::string> images;
  for (int frame = 0; frame < 16; ++frame) {
    clear_draws();
    ASSERT_TRUE(update_cpu_skater(match));
    images.push_back(draws().front());
  }
  EXPECT_EQ(images[2], blit_line(Sprite::playershootingleft1, 117, 200));
  EXPECT_EQ(images[3], blit_line(Sprite::playershootingleft2, 117, 200));
  EXPECT_EQ(images[14], blit_line(Sprite::playershootingleft5, 117, 200));
  EXPECT_THAT(draws(), ElementsAre(blit_line(Sprite::playershootingleft6, 117, 200),
                                   puck_line(107 + match.puck_dx, 249 + match.puck_dy)));
  EXPECT_TRUE(!match.cpu_has_puck && match.lgoalie_tracking && !match.cpu_shot_ready);
  EXPECT_EQ(std::pair(match.cpu_windup, match.cpu_stride), std::pair(0, 0));
}

TEST_F(CpuSkaterTest, ShotAimsAwayFromTheLeftGoalieAndRollsOnlyWhenItCannotTell) {
  struct Shot { int x, y, goalie_y, player_x, puck_x, puck_y, dx, dy; bool rolls; };
  for (const Shot& s : {Shot{199, 150, 200, 100, 189, 199, -49, -6, false},
                        Shot{199, 150, 200, 300, 189, 199, -43, 24, true},
                        Shot{120, 200, 150, 300, 110, 249, -45, 21, false},
                        Shot{100, 300, 230, 300, 90, 349, -12, -48, false},
                        Shot{60, 131, 250, 300, 50, 180, -50, 0, false},
                        Shot{55, 131, 250, 300, 45, 180, 0, 0, false}}) {  // on its target
    place(s.x, s.y);
    match.cpu_has_puck = true, match.cpu_windup = 15;
    match.lgoalie_y = s.goalie_y, match.player_x = s.player_x;
    match.random = {};
    ASSERT_TRUE(update_cpu_skater(match));
    EXPECT_EQ(match.random.next(), s.rolls ? 18467 : 41) << s.x << "," << s.y << "," << s.player_x;
    EXPECT_EQ(std::tuple(match.puck_x, match.puck_y, match.puck_dx, match.puck_dy),
              std::tuple(s.puck_x, s.puck_y, s.dx, s.dy));
    EXPECT_EQ(draws().back(), puck_line(s.puck_x + s.dx, s.puck_y + s.dy));
  }
}

TEST_F(CpuSkaterTest, FailedWindUpImageShowsAMessageOtherFailuresAreSilent) {
  place(120, 200);
  match.cpu_has_puck = true, match.cpu_windup = 15;
  fail_sprite(Sprite::playershootingleft6);
  EXPECT_FALSE(update_cpu_skater(match));
  EXPECT_EQ(draws().back(), "message,\"unable to blit\",\"error\"");
  EXPECT_TRUE(match.cpu_has_puck && !match.cpu_shot_ready);
  EXPECT_EQ(match.cpu_windup, 15);

  platform::testing::clear_failures();
  fail_sprite(Sprite::puck);
  clear_draws();
  EXPECT_FALSE(update_cpu_skater(match));
  EXPECT_TRUE(!match.cpu_has_puck && match.lgoalie_tracking);  // the shot has left all the same

  place(300, 200);
  match.cpu_down_timer = 5;
  fail_sprite(Sprite::playeronedown);
  EXPECT_FALSE(update_cpu_skater(match));
  EXPECT_EQ(match.cpu_down_timer, 4);
  EXPECT_THAT(draws(), ElementsAre(blit_line(Sprite::playeronedown, 300, 200)));
}

}  // namespace
