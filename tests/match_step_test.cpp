// The match as one value that steps: a frame that reaches a wait stops there and goes on at the
// pass that brings its key, and a copy of the match stepped again with the same keys comes to the
// same fields and the same picture, from any pass of a recorded match.

#include <array>
#include <cstring>
#include <vector>

#include "game_fixture.h"

namespace {

using ::testing::ElementsAre;

// The puck at rest in the right net: the next frame is a goal.
void puck_in_right_net(Match& match) {
  match.puck_x = 560, match.puck_y = 240, match.puck_dx = match.puck_dy = 0;
}

class MatchStepTest : public GameTest {};

TEST_F(MatchStepTest, AGoalStopsTheFrameAfterItsPresentUntilAPassBringsD) {
  puck_in_right_net(match);
  EXPECT_EQ(step(match, {}), PassEnd::waiting);
  EXPECT_EQ(awaited_key(match), VK_D);
  EXPECT_EQ(draws().back(), "present");
  EXPECT_EQ(draws()[draws().size() - 2], R"(text,10,465,0000FF,"Press d to drop the puck")");
  EXPECT_EQ(match.player_score, 0);  // the goal counts after the wait
  clear_draws();
  const Match waiting = match;
  for (const PassKeys keys : {PassKeys{}, PassKeys{{VK_N, VK_RIGHT}, {}}, PassKeys{{}, {VK_P2_SHOOT}}}) {
    EXPECT_EQ(step(match, keys), PassEnd::waiting);
  }
  EXPECT_TRUE(draws().empty()) << "a waiting pass draws nothing";
  EXPECT_EQ(static_cast<const MatchState&>(match), static_cast<const MatchState&>(waiting));
  // D from player two's set counts as well; the rest of the frame runs with this pass's keys.
  EXPECT_EQ(step(match, {{}, {VK_D, VK_P2_LEFT}}), PassEnd::frame_done);
  EXPECT_EQ(match.player_score, 1);
  EXPECT_EQ(std::pair(match.puck_x, match.puck_y), std::pair(316, 236));  // faced off
  EXPECT_EQ(awaited_key(match), 0);
  EXPECT_EQ(draws().back(), "present");
  EXPECT_NE(draws().front(), "background") << "the frame went on; it did not start again";
}

TEST_F(MatchStepTest, AWaitForAKeyThePassAlreadyHoldsIsOverAtOnce) {
  puck_in_right_net(match);
  match.player_score = 9;
  EXPECT_EQ(step(match, {{VK_D}, {}}), PassEnd::waiting);  // the goal went on, the match end waits
  EXPECT_EQ(awaited_key(match), VK_N);
  EXPECT_EQ(match.player_score, 10);
  EXPECT_EQ(step(match, {{VK_N}, {}}), PassEnd::frame_done);
  EXPECT_EQ(std::pair(match.player_score, match.cpu_score), std::pair(0, 0));
  EXPECT_EQ(step(match, {{VK_D, VK_N}, {}}), PassEnd::frame_done);
}

TEST_F(MatchStepTest, AWaitGivenUpFinishesTheFrameWithTheLastKeysAndAFailedDrawEndsIt) {
  puck_in_right_net(match);
  ASSERT_EQ(step(match, {}), PassEnd::waiting);
  EXPECT_EQ(give_up_waiting(match), PassEnd::frame_done);
  EXPECT_EQ(match.player_score, 1);
  fail_background();
  EXPECT_EQ(step(match, {}), PassEnd::frame_failed);
  EXPECT_EQ(match.progress, FrameProgress{}) << "the next pass starts a frame";
}

// The recorded session stepped pass by pass (one line of keys each, as the main loop takes them).
// Copies of the match, with its picture, are kept from before and after each of the last eight
// passes. Each copy from before a pass is stepped again through the seven passes after it, and
// after each of them must come out as the straight run did: every pass is stepped again from one
// to eight passes back.
class RollbackTest : public GameTest {
 public:
  static constexpr std::size_t depth = 8;

 protected:
  void SetUp() override {
    for (Match& copy : before_) copy.canvas = spare_canvas(display);
    for (Match& copy : after_) copy.canvas = spare_canvas(display);
    replayed_.canvas = spare_canvas(display);
    match.canvas.observer = nullptr;  // the log is not what is compared here
  }
  void TearDown() override {
    for (Match& copy : before_) release_spare(copy.canvas);
    for (Match& copy : after_) release_spare(copy.canvas);
    release_spare(replayed_.canvas);
  }

  // Steps the copy from before pass FIRST again through pass LAST (whose keys are lines[LAST]),
  // comparing it after each pass with the straight run. The copy's picture is spoiled first: what
  // it shows after must come from the restore.
  void step_again(const std::vector<platform::KeySet>& lines, std::size_t first, std::size_t last) {
    fill_surface(replayed_.canvas.back_buffer, static_cast<int>(first % 251));
    restore(replayed_, before_[first % depth]);
    for (std::size_t pass = first; pass <= last; ++pass) {
      step(replayed_, split_keys(lines[pass]));
      const Match& straight = after_[pass % depth];
      ASSERT_TRUE(same_play(replayed_, straight)) << "pass " << pass << " stepped again from " << first;
      ASSERT_TRUE(platform::testing::same_pixels(replayed_.canvas.back_buffer, straight.canvas.back_buffer))
          << "pass " << pass << " stepped again from " << first;
    }
  }

  std::array<Match, depth> before_;
  std::array<Match, depth> after_;
  Match replayed_;
};

TEST_F(RollbackTest, EveryPassOfTheGoldenSessionSteppedAgainFromOneToEightPassesBackComesOutTheSame) {
  const std::vector<platform::KeySet> lines = platform::load_key_script(RINK_REPLAY_DATA "/golden.keys").lines;
  ASSERT_GT(lines.size(), 3000u);
  int waits = 0;
  for (std::size_t pass = 0; pass < lines.size(); ++pass) {
    restore(before_[pass % depth], match);
    waits += step(match, split_keys(lines[pass])) == PassEnd::waiting;
    restore(after_[pass % depth], match);
    if (pass + 1 >= depth) {
      ASSERT_NO_FATAL_FAILURE(step_again(lines, pass + 1 - depth, pass));
    }
  }
  // The last passes, stepped again from fewer than eight back.
  for (std::size_t first = lines.size() + 1 - depth; first < lines.size(); ++first) {
    ASSERT_NO_FATAL_FAILURE(step_again(lines, first, lines.size() - 1));
  }
  EXPECT_GT(waits, 20) << "the session's goals and their waits were rolled back over too";
  EXPECT_GT(match.player_score + match.cpu_score, 0);
}

}  // namespace
