#include <array>
#include <utility>

#include "game_fixture.h"

namespace {
using Puck = std::array<int, 4>;  // x, y, dx, dy

class FreePuckTest : public GameTest {
 protected:
  bool fly(Puck from) {
    match.puck_x = from[0], match.puck_y = from[1], match.puck_dx = from[2], match.puck_dy = from[3];
    return update_free_puck(match);
  }
  Puck puck() const { return {match.puck_x, match.puck_y, match.puck_dx, match.puck_dy}; }
};

TEST_F(FreePuckTest, BouncesOffBoardsAndGoalSidesKeepingAQuarterThenMovesAndIsDrawn) {
  const std::array<Puck, 2> flights[] = {
      {{{480, 430, 20, 20}, {500, 425, 20, -5}}},  {{{600, 300, 30, 0}, {593, 300, -7, 0}}},
      {{{618, 300, 3, 0}, {618, 300, 0, 0}}},      {{{30, 300, -10, 0}, {20, 300, -10, 0}}},
      {{{60, 170, 5, 12}, {59, 167, -1, -3}}},     {{{60, 285, 0, -4}, {60, 286, 0, 1}}},
      {{{580, 175, 0, 4}, {580, 174, 0, -1}}},
      {{{40, 175, -30, 8}, {39, 173, -1, -2}}},  // only the board bounce brings it over the goal
  };
  for (const auto& [from, to] : flights) {
    ASSERT_TRUE(fly(from));
    EXPECT_EQ(puck(), to) << ::testing::PrintToString(from);
    EXPECT_EQ(draws().back(), puck_line(to[0], to[1]));
  }
}

TEST_F(FreePuckTest, APuckInsideANetWaitsForDThenCountsAndFacesOff) {
  match.rgoalie_tracking = true;
  script({{VK_N}, {VK_D}});
  ASSERT_TRUE(fly({545, 230, 10, 0}));
  EXPECT_EQ(backend().lines_taken(), 2u);
  EXPECT_THAT(draws(), ::testing::ElementsAre(puck_line(555, 230), R"(text,10,465,0000FF,"Press d to drop the puck")",
                                              "present"));
  EXPECT_EQ(puck(), (Puck{316, 236, 0, 0}));
  EXPECT_EQ(match.rgoalie_y, 180);
  EXPECT_TRUE(match.rgoalie_tracking);  // the right goalie keeps following through a goal
  const std::array<int, 4> resting[] = {  // x, y, then the running scores of player one and the computer
      {551, 191, 2, 0}, {600, 280, 3, 0}, {550, 240, 3, 0}, {601, 240, 3, 0}, {560, 190, 3, 0},
      {560, 281, 3, 0}, {22, 191, 3, 1},  {89, 280, 3, 2},  {21, 240, 3, 2},  {90, 240, 3, 2}};
  for (const auto& [x, y, player, cpu] : resting) {
    ASSERT_TRUE(fly({x, y, 0, 0}));
    EXPECT_EQ(std::pair(match.player_score, match.cpu_score), std::pair(player, cpu)) << x << "," << y;
  }
}

TEST_F(FreePuckTest, NoGoalCountsWhenTheTextOrThePuckCannotBeDrawn) {
  hold({VK_D});
  fail_text();
  EXPECT_FALSE(fly({545, 230, 10, 0}));
  EXPECT_THAT(draws(), ::testing::Not(::testing::Contains("present")));
  fail_sprite(SpriteId::puck);
  EXPECT_FALSE(fly(puck()));
  EXPECT_EQ(puck(), (Puck{565, 230, 10, 0}));
  EXPECT_EQ(match.player_score, 0);
}

TEST_F(FreePuckTest, ASkaterOnItsFeetTakesThePuckAtItsBladeAndPlayerOneComesFirst) {
  match.player_x = match.cpu_x = 240;
  match.player_y = match.cpu_y = 200;
  const std::array<int, 3> cases[] = {{252, 236, 1}, {303, 249, 1}, {251, 240, 0},
                                      {304, 240, 0}, {260, 235, 0}, {260, 250, 0}};
  for (const auto& [x, y, taken] : cases) {
    match.player_has_puck = false;
    fly({x, y, 0, 0});
    EXPECT_EQ(match.player_has_puck, taken == 1) << x << "," << y;
    EXPECT_FALSE(match.cpu_has_puck);
  }
  match.player_has_puck = false;
  match.player_down_timer = 1;
  fly({260, 240, 0, 0});
  EXPECT_TRUE(match.cpu_has_puck);
}

TEST_F(FreePuckTest, AGoalieRollsInEachFrameThePuckLiesBeforeItAndStopsFollowing) {
  match.random = {};  // the rolls come out 11, 17, 4, ... (mod 30)
  match.lgoalie_readiness = 17;
  match.lgoalie_tracking = match.rgoalie_tracking = true;
  fly({105, 221, 0, 0});  // just above the left goalie's reach: no roll
  fly({125, 222, -20, 0});
  EXPECT_EQ(puck(), (Puck{105, 222, 4, 0}));  // 11 < 17: turned back, keeping a fifth
  EXPECT_FALSE(match.lgoalie_tracking);
  fly(puck());
  EXPECT_EQ(puck(), (Puck{109, 222, 4, 0}));  // 17: no save
  EXPECT_TRUE(match.rgoalie_tracking);
  fly({590, 240, -40, 0});  // roll 4 against readiness 0
  EXPECT_EQ(puck(), (Puck{550, 240, -40, 0}));
  EXPECT_FALSE(match.rgoalie_tracking);
}
}  // namespace
