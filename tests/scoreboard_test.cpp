#include <string>
#include <vector>

#include "game_fixture.h"

namespace {
using ScoreboardTest = GameTest;

std::string text_line(int x, int y, const char* rgb, const std::string& text) {
  return "text," + std::to_string(x) + "," + std::to_string(y) + "," + rgb + ",\"" + text + "\"";
}

TEST_F(ScoreboardTest, ShowsTheScoresAndAtTenTheResultThenWaitsForNAndClearsOnlyTheScores) {
  struct Case { int player, cpu; const char* result; };
  const Case cases[] = {{9, 3, nullptr},
                        {10, 4, "You Win!!! Press N for new game"},
                        {7, 10, "Sorry, you lose. Press N for new game"},
                        {11, 3, "You Win!!! Press N for new game"}};  // goals counted in failed frames
  match.puck_x = 123;
  for (const Case& c : cases) {
    match.player_score = c.player, match.cpu_score = c.cpu;
    clear_draws();
    release_keys();
    script({{}, {VK_D}, {VK_N}});
    ASSERT_TRUE(finish_frame_and_new_match(match));
    std::vector<std::string> expected{
        text_line(10, 450, "0000FF", "Player One Score: " + std::to_string(c.player) + " "),
        text_line(300, 450, "FF0000", "Computer Score: " + std::to_string(c.cpu) + " ")};
    if (c.result != nullptr) expected.push_back(text_line(300, 463, "00FF00", c.result));
    expected.emplace_back("present");
    EXPECT_EQ(draws(), expected);
    const bool over = c.result != nullptr;
    EXPECT_EQ(backend().lines_taken(), over ? 3u : 0u);  // held on the picture until N
    EXPECT_EQ(match.player_score, over ? 0 : c.player);
    EXPECT_EQ(match.cpu_score, over ? 0 : c.cpu);
    EXPECT_EQ(match.puck_x, 123);
  }
}

TEST_F(ScoreboardTest, ARefusedDeviceContextEndsTheFrameBeforeAnythingIsShown) {
  match.player_score = 10;
  hold({VK_N});
  fail_text();
  EXPECT_FALSE(finish_frame_and_new_match(match));
  EXPECT_THAT(draws(), ::testing::ElementsAre(text_line(10, 450, "0000FF", "Player One Score: 10 ")));
  EXPECT_EQ(match.player_score, 10);  // the next frame that completes ends the match
}
}  // namespace
