#include <tuple>
#include <type_traits>
#include <utility>

#include "app/main_loop.h"
#include "game_fixture.h"
#include "platform/window.h"

namespace {

using enum SpriteId;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Gt;
using ::testing::IsSupersetOf;
using ::testing::Pair;
using ::testing::StartsWith;

class FrameTest : public GameTest {
 protected:
  // The computer lies on the ice and the puck rests far from everyone: only player one acts.
  void quiet_rink() {
    match.cpu_down_timer = 1000;
    match.puck_x = 320;
    match.puck_y = 60;
    match.puck_dx = match.puck_dy = 0;
  }
};

TEST_F(FrameTest, PlayerOneStartsStandingAndIsDrawnWhereEachFrameFoundIt) {
  EXPECT_EQ(play_frame(match), 1);
  ASSERT_GE(draws().size(), 3u);
  EXPECT_THAT(std::vector(draws().begin(), draws().begin() + 2),
              ElementsAre("background", blit_line(firstplayertwo, 100, 200)));
  EXPECT_EQ(draws().back(), "present");
  EXPECT_EQ(backend().slept_ms(), 100u);
  match.player_stride = 40;
  hold({VK_RIGHT});
  clear_draws();
  play_frame(match);
  EXPECT_EQ(draws()[1], blit_line(firstplayertwo, 100, 200));
  EXPECT_EQ(match.player_x, 106);
  clear_draws();
  play_frame(match);
  EXPECT_EQ(draws()[1], blit_line(firstplayerone, 106, 200));
}

TEST_F(FrameTest, EscapeAsksTheWindowToCloseAndTheFrameStillPresentsAndPauses) {
  platform::WindowClass window_class;
  window_class.procedure = rink_window_proc;
  window_class.class_name = "frame test";
  ASSERT_NE(platform::register_class(window_class), 0);
  display.window = platform::create_window(0, "frame test", "", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  hold({VK_ESCAPE});
  EXPECT_EQ(play_frame(match), 1);
  EXPECT_EQ(draws().back(), "present");
  EXPECT_EQ(backend().slept_ms(), 100u);
  platform::Message message;
  ASSERT_TRUE(platform::peek_message(&message, nullptr, 0, 0, platform::pm_remove));
  EXPECT_EQ(message.message, platform::wm_quit);
}

TEST_F(FrameTest, AFailedBackgroundEndsTheFrameBeforeAnythingElse) {
  fail_background();
  hold({VK_RIGHT});
  EXPECT_EQ(play_frame(match), 0);
  EXPECT_THAT(draws(), ElementsAre("background"));
  EXPECT_EQ(match.player_x, 100);
  EXPECT_EQ(backend().slept_ms(), 0u);
}

TEST_F(FrameTest, AKnockedDownPlayerIgnoresKeysForNineteenFramesAndSkatesInTheTwentieth) {
  quiet_rink();
  match.player_down_timer = 20;
  match.player_stride = 40;
  hold({VK_RIGHT});
  for (int frame = 1; frame <= 20; ++frame) {
    clear_draws();
    EXPECT_EQ(play_frame(match), 1);
    EXPECT_EQ(draws()[1], blit_line(playeronedown, 100, 200));
    EXPECT_EQ(match.player_x, frame < 20 ? 100 : 106);
  }
  EXPECT_EQ(draws()[2], blit_line(firstplayertwo, 100, 200));
}

TEST_F(FrameTest, TheShotFrameLeavesThePuckAtItsStartForTheNextFrame) {
  quiet_rink();
  match.player_has_puck = true;
  match.player_windup = 5;
  EXPECT_EQ(play_frame(match), 1);
  EXPECT_EQ(std::pair(match.puck_x, match.puck_y), std::pair(164, 249));
  EXPECT_THAT(draws(), Contains(StartsWith("puck,")).Times(1));  // the free puck did not move
  EXPECT_THAT(draws(), Contains(puck_line(164 + 40, 249 - 1)));
}

TEST_F(FrameTest, AWonCheckStandsStillAndSkipsTheFreePuck) {
  match.cpu_has_puck = true;
  match.cpu_x = 120;
  match.cpu_y = 210;
  hold({VK_RETURN, VK_RIGHT});
  EXPECT_EQ(play_frame(match), 1);
  EXPECT_EQ(draws()[1], blit_line(playeronecheck, 100, 200));
  EXPECT_TRUE(match.player_has_puck);
  EXPECT_EQ(match.player_x, 100);
  EXPECT_THAT(draws(), Contains(StartsWith("puck,")).Times(0));
}

TEST_F(FrameTest, BothSkatersDownAfterACheckShowTheirTeamsUnderTheSameImagesName) {
  quiet_rink();
  match.player_down_timer = match.cpu_down_timer = 5;
  match.cpu_x = match.cpu_y = 300;
  EXPECT_EQ(play_frame(match), 1);
  EXPECT_THAT(draws(), IsSupersetOf({blit_line(playeronedown, 100, 200), blit_line(playeronedown, 300, 300)}));
  EXPECT_THAT(team_pixels_shown(backend(), 100, 200), Pair(Gt(150), 0));
  EXPECT_THAT(team_pixels_shown(backend(), 300, 300), Pair(0, Gt(150)));
}

// Every field of the match, and those a face-off puts back.
template <class State>
auto all_fields(State& m) {
  return std::tie(m.player_x, m.player_y, m.cpu_x, m.cpu_y, m.lgoalie_x, m.lgoalie_y, m.rgoalie_x, m.rgoalie_y,
                  m.player_dx, m.player_dy, m.accel_x, m.accel_y, m.player_facing, m.puck_dx, m.puck_dy, m.puck_x,
                  m.puck_y, m.cpu_dx, m.cpu_dy, m.player_down_timer, m.cpu_down_timer, m.player_stride,
                  m.cpu_stride, m.lgoalie_readiness, m.rgoalie_readiness, m.player_windup, m.cpu_windup,
                  m.lgoalie_tracking, m.rgoalie_tracking, m.cpu_shot_ready, m.player_has_puck, m.cpu_has_puck,
                  m.shot_aim, m.player_score, m.cpu_score);
}
template <class State>
auto face_off_fields(State& m) {
  return std::tie(m.player_x, m.player_y, m.cpu_x, m.cpu_y, m.lgoalie_x, m.lgoalie_y, m.rgoalie_x, m.rgoalie_y,
                  m.puck_x, m.puck_y, m.puck_dx, m.puck_dy, m.player_down_timer, m.cpu_down_timer, m.player_stride,
                  m.cpu_stride, m.lgoalie_tracking);
}

TEST_F(FrameTest, FaceOffResetSetsExactlyItsFields) {
  MatchState before;
  int value = 1;
  std::apply([&](auto&... field) { ((field = static_cast<std::remove_cvref_t<decltype(field)>>(value++ * 7)), ...); },
             all_fields(before));
  static_cast<MatchState&>(match) = before;
  face_off_reset(match);
  EXPECT_EQ(face_off_fields(match),
            std::tuple(240, 200, 400, 200, 75, 200, 501, 180, 316, 236, 0, 0, 0, 0, 0, 0, false));
  face_off_fields(before) = face_off_fields(match);
  EXPECT_EQ(all_fields(match), all_fields(before));  // nothing else changed
}

}  // namespace
