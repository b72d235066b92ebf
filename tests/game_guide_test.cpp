// What the game tells over its pictures: the overlay drawn within the picture only, the banners
// of the game's waits (who scored or won, the score, the key that goes on), and the start's
// hints over a running game until the first game key or their time.

#include <gtest/gtest.h>

#include <vector>

#include "app/game_guide.h"
#include "app/main_loop.h"
#include "display/display_ops.h"
#include "display/startup.h"
#include "platform/headless.h"
#include "platform/overlay.h"
#include "platform/testing.h"
#include "sim/match_state.h"

namespace {

constexpr int width = 640, height = 480;
constexpr std::uint32_t ground = 0x808080;

std::vector<std::uint32_t> drawn(const platform::Overlay& overlay) {
  std::vector<std::uint32_t> picture(width * height, ground);
  overlay.draw_over(picture.data(), width, height);
  return picture;
}

std::vector<std::uint32_t> banner_alone(const char* text) {
  platform::Overlay overlay;
  overlay.set_banner(text);
  return drawn(overlay);
}

// A driver that plays only its seat's player, as online play does.
struct SeatedDriver : MatchDriver {
  LoopRest pass(Match& /*match*/, LoopObserver* /*observer*/) override { return {}; }
  int own_player() const override { return seat; }
  int seat = 0;
};

struct Heard : CueObserver {
  void on_cue(const Cue& cue) override { kinds.push_back(cue.kind); }
  std::vector<CueKind> kinds;
};

class GuideBannerTest : public ::testing::Test {
 protected:
  void cue(GameGuide& guide, CueKind kind, CueWho who = CueWho::nobody) { guide.on_cue({kind, who, full_strength}); }

  Match match;
  platform::Overlay overlay_;
  Heard heard_;
};

// A goal is told before it counts, so the banner counts it; the face-off takes it away. The
// scorer's side comes first in the score.
TEST_F(GuideBannerTest, GoalsAndWinsNameTheSideTheScoreAndTheKeyThatGoesOn) {
  GameGuide guide({&overlay_, true}, &heard_);
  guide.on_start(match);
  match.player_score = 2;
  match.cpu_score = 2;
  cue(guide, CueKind::goal, CueWho::player_one);
  EXPECT_EQ(drawn(overlay_), banner_alone("Player One scores: 3\u20132 \u00B7 D drops the puck"));
  cue(guide, CueKind::face_off);
  EXPECT_TRUE(overlay_.empty());
  cue(guide, CueKind::goal, CueWho::second_skater);
  EXPECT_EQ(drawn(overlay_), banner_alone("Computer scores: 3\u20132 \u00B7 D drops the puck"));
  match.player_score = 10;
  match.cpu_score = 7;
  cue(guide, CueKind::match_won, CueWho::player_one);
  EXPECT_EQ(drawn(overlay_), banner_alone("Player One wins 10\u20137 \u00B7 N starts a new match"));
  cue(guide, CueKind::new_match);
  EXPECT_TRUE(overlay_.empty());

  match.two_players = true;
  cue(guide, CueKind::match_won, CueWho::second_skater);
  EXPECT_EQ(drawn(overlay_), banner_alone("Player Two wins 7\u201310 \u00B7 N starts a new match"));
  // Every cue went on to the sounds, in order.
  EXPECT_EQ(heard_.kinds, (std::vector<CueKind>{CueKind::goal, CueKind::face_off, CueKind::goal, CueKind::match_won,
                                                 CueKind::new_match, CueKind::match_won}));
}

// A played script's keys are not the viewer's: no hints, and banners that name no key.
TEST_F(GuideBannerTest, APlayedScriptGetsNoHintsAndBannersWithoutKeys) {
  GameGuide guide({&overlay_, true, false}, &heard_);
  guide.on_start(match);
  EXPECT_TRUE(overlay_.empty());
  cue(guide, CueKind::goal, CueWho::player_one);
  EXPECT_EQ(drawn(overlay_), banner_alone("Player One scores: 1\u20130"));
}

// --no-hints (the page's ?hints=0) leaves the picture as the game draws it, also in the waits.
TEST_F(GuideBannerTest, NoHintsLeavesTheBannersOutToo) {
  GameGuide guide({&overlay_, false}, &heard_);
  guide.on_start(match);
  EXPECT_TRUE(overlay_.empty());
  cue(guide, CueKind::goal, CueWho::player_one);
  cue(guide, CueKind::match_won, CueWho::player_one);
  EXPECT_TRUE(overlay_.empty());
  EXPECT_EQ(heard_.kinds, (std::vector<CueKind>{CueKind::goal, CueKind::match_won}));
}

// Online each keyboard plays one skater with a one-player game's keys: player one's hints are
// those of a one-player game, and player two's mark the second skater alone. A game that starts
// before the relay has given its seat (the page's) shows them once it has.
TEST_F(GuideBannerTest, OnlineTheHintsMarkOnlyTheSkaterOfThisKeyboard) {
  match.player_x = 100, match.player_y = 300, match.cpu_x = 480, match.cpu_y = 300;
  const auto hints = [&](bool two_players, int own_player) {
    platform::Overlay overlay;
    match.two_players = two_players;
    SeatedDriver driver;
    driver.seat = own_player;
    GameGuide guide({.overlay = &overlay}, nullptr, &driver);
    guide.on_start(match);
    return drawn(overlay);
  };
  EXPECT_EQ(hints(true, 1), hints(false, 0));
  const std::vector<std::uint32_t> second = hints(true, 2);
  const auto marked = [&](int left, int right) {
    for (int y = 200; y < 400; ++y) {
      for (int x = left; x < right; ++x) {
        if (second[static_cast<std::size_t>(y * width + x)] != ground) return true;
      }
    }
    return false;
  };
  EXPECT_FALSE(marked(60, 240)) << "player one's skater is not this keyboard's";
  EXPECT_TRUE(marked(380, 560));
  EXPECT_NE(second, hints(true, 0));

  SeatedDriver driver;
  driver.seat = -1;
  platform::Overlay overlay;
  GameGuide guide({.overlay = &overlay}, nullptr, &driver);
  guide.on_start(match);
  guide.after_frame(1);
  EXPECT_TRUE(overlay.empty()) << "hints before the seat is known";
  driver.seat = 2;
  guide.after_frame(1);
  EXPECT_EQ(drawn(overlay), second);
}

TEST(Overlay, DrawsOnlyInsideThePictureAndTellsEachChangeOnce) {
  platform::Overlay overlay;
  EXPECT_FALSE(overlay.take_change());
  overlay.set_banner("Arrows skate \u00B7 a line far wider than the small picture it is drawn over");
  overlay.set_marker(0, 2, 3, "You");
  overlay.set_marker(1, 95, 60, "2");
  overlay.set_arrow(0, 90, 40, 50);
  overlay.set_arrow(1, 5, 45, -50);
  EXPECT_TRUE(overlay.take_change());
  overlay.set_banner("Arrows skate \u00B7 a line far wider than the small picture it is drawn over");
  EXPECT_FALSE(overlay.take_change()) << "the same banner again is no change";

  // A 100 by 50 picture inside guard rows and a guard margin: nothing may reach them.
  constexpr int small_width = 100, small_height = 50, guard = 1000;
  std::vector<std::uint32_t> memory(guard + small_width * small_height + guard, ground);
  overlay.draw_over(memory.data() + guard, small_width, small_height);
  EXPECT_TRUE(std::all_of(memory.begin(), memory.begin() + guard, [](std::uint32_t p) { return p == ground; }));
  EXPECT_TRUE(std::all_of(memory.end() - guard, memory.end(), [](std::uint32_t p) { return p == ground; }));
  EXPECT_GT(std::count(memory.begin(), memory.end(), platform::overlay_body_colour), 500);

  overlay.clear();
  EXPECT_TRUE(overlay.empty());
  EXPECT_TRUE(overlay.take_change());
  EXPECT_EQ(drawn(overlay), std::vector<std::uint32_t>(width * height, ground));
}

// Over the running game: the hints follow the skater while no game key comes, then go.
class GuideHintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::testing::reset_windows();
    platform::use_backend(&screen_);
  }
  void TearDown() override { platform::use_backend(nullptr); }

  // Runs the game over the script; whether the overlay was up after each frame.
  std::vector<bool> shown_after_frames(std::vector<platform::KeySet> lines, std::chrono::milliseconds hints_for) {
    struct Watch : LoopObserver {
      Watch(GameGuide& guide, platform::Overlay& overlay) : guide(guide), overlay(overlay) {}
      void on_start(Match& match) override {
        guide.on_start(match);
        EXPECT_FALSE(overlay.empty()) << "no hints at the start";
      }
      void after_frame(int result) override {
        guide.after_frame(result);
        shown.push_back(!overlay.empty());
      }
      GameGuide& guide;
      platform::Overlay& overlay;
      std::vector<bool> shown;
    };
    Heard heard;
    GameGuide guide({&overlay_, true, true, hints_for}, &heard);
    Watch watch(guide, overlay_);
    screen_.load_script(std::move(lines));
    EXPECT_EQ(win_main(nullptr, {1, &watch, &guide, nullptr}), 0);
    return watch.shown;
  }

  platform::HeadlessBackend screen_;
  platform::Overlay overlay_;
};

TEST_F(GuideHintsTest, GoAtTheFirstGameKey) {
  EXPECT_EQ(shown_after_frames({{}, {}, {VK_DOWN}, {}}, std::chrono::minutes(1)),
            (std::vector<bool>{true, true, false, false}));
}

TEST_F(GuideHintsTest, GoWhenTheirTimeIsUp) {
  EXPECT_EQ(shown_after_frames({{}, {}}, std::chrono::milliseconds(0)), (std::vector<bool>{false, false}));
}

}  // namespace
