#include "game_fixture.h"

namespace {
using enum SpriteId;
using GoaliesTest = GameTest;

TEST_F(GoaliesTest, AGoalieHeadsWhereTheCarrierItWatchesCallsFor) {
  struct Case { bool right; int x, y, target; };  // the right goalie watches player one
  const Case cases[] = {{false, 85, 241, 350},  {false, 85, 239, 150},  {false, 85, 240, 250},
                        {false, 100, 120, 150}, {false, 150, 30, 150},  {false, 150, 50, 180},
                        {false, 179, 279, 220}, {false, 179, 280, 250}, {false, 180, 300, 200},
                        {true, 551, 241, 350},  {true, 550, 241, 250},  {true, 461, 300, 250},
                        {true, 460, 300, 200}};
  for (const Case& c : cases) {
    match.player_has_puck = c.right;
    match.cpu_has_puck = !c.right;
    (c.right ? match.player_x : match.cpu_x) = c.x;
    (c.right ? match.player_y : match.cpu_y) = c.y;
    (c.right ? match.cpu_x : match.player_x) = c.right ? 40 : 600;  // beside the other net, puckless
    (c.right ? match.cpu_y : match.player_y) = 300;
    for (int frame = 0; frame < 25; ++frame) ASSERT_TRUE(update_goalies(match));
    EXPECT_EQ(c.right ? match.rgoalie_y : match.lgoalie_y, c.target) << c.x << "," << c.y;
    EXPECT_EQ(c.right ? match.lgoalie_y : match.rgoalie_y, 200);
  }
}

TEST_F(GoaliesTest, AFollowingGoalieChasesThePucksNextHeightOrStandsSetAndGetsReady) {
  struct Case { bool right; int goalie_y, puck_y, puck_dy, moved_to; SpriteId image; };
  const Case cases[] = {{false, 200, 210, 10, 190, goalieleft1}, {false, 190, 220, 0, 190, goalieleft2},
                        {false, 200, 264, 0, 200, goalieleft2},  {false, 200, 260, 5, 210, goalieleft1},
                        {false, 140, 40, 0, 140, goalieleft2},   {false, 210, 440, 0, 210, goalieleft2},
                        {true, 180, 236, 0, 180, goalieright2}};  // at the face-off
  for (const Case& c : cases) {
    int& goalie_y = c.right ? match.rgoalie_y : match.lgoalie_y;
    const int& readiness = c.right ? match.rgoalie_readiness : match.lgoalie_readiness;
    const int readiness_before = readiness;
    match.lgoalie_tracking = match.rgoalie_tracking = true;
    goalie_y = c.goalie_y, match.puck_y = c.puck_y, match.puck_dy = c.puck_dy;
    ASSERT_TRUE(update_goalies(match));
    EXPECT_EQ(goalie_y, c.moved_to) << c.goalie_y << " aiming at " << c.puck_y + c.puck_dy;
    const bool set = c.image == goalieleft2 || c.image == goalieright2;
    EXPECT_EQ(readiness, readiness_before + (set ? 1 : 0));
    EXPECT_EQ(draws().at(draws().size() - (c.right ? 1 : 2)), blit_line(c.image, c.right ? 501 : 75, c.goalie_y));
  }
}

TEST_F(GoaliesTest, AFailedDrawStopsAPositioningGoalieButNotAFollowingOne) {
  fail_sprite(goalieleft1);
  match.lgoalie_y = match.rgoalie_y = 350;
  EXPECT_FALSE(update_goalies(match));
  EXPECT_EQ(match.lgoalie_y, 350);  // a positioning goalie is drawn before it moves
  EXPECT_EQ(match.rgoalie_y, 350);  // the right goalie's turn never came
  match.lgoalie_tracking = true;
  EXPECT_FALSE(update_goalies(match));
  EXPECT_EQ(match.lgoalie_y, 340);  // up towards the load-time puck
}
}  // namespace
