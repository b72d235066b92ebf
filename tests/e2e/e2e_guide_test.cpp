// What the game tells over its pictures, as a player sees it on the screen: which skater is
// whose with an arrow to the net to attack and the keys in a line, until the first game key;
// nothing of it with --no-hints; and all of it legible from the sofa.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/overlay.h"
#include "rink_session.h"

namespace e2e {
namespace {

constexpr Rgb panel = platform::overlay_body_colour;
constexpr Rect top_band{0, 0, picture_width, 40};

// WCAG's contrast ratio of two colours.
double luminance(Rgb colour) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour >> 16 & 0xFF) + 0.7152 * channel(colour >> 8 & 0xFF) + 0.0716 * channel(colour & 0xFF);
}
double contrast(Rgb a, Rgb b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How well what is written in `box` reads: the contrast between its commonest colour (the
// ground) and the colour that stands out most from it among those covering a few pixels.
double legibility(const Image& picture, Rect box) {
  std::map<Rgb, int> counts;
  for (int y = box.y; y < box.y + box.height; ++y) {
    for (int x = box.x; x < box.x + box.width; ++x) ++counts[picture.at(x, y)];
  }
  const Rgb ground = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  double best = 1;
  for (const auto& [colour, count] : counts) {
    if (count >= 20) best = std::max(best, contrast(colour, ground));
  }
  return best;
}

// The box of the overlay's dark panel within `area`: from its first to its last dark pixel.
std::optional<Rect> panel_in(const Image& picture, Rect area) {
  int left = area.x + area.width, top = area.y + area.height, right = -1, bottom = -1;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      if (picture.at(x, y) != panel) continue;
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return std::nullopt;
  return Rect{left, top, right - left + 1, bottom - top + 1};
}

class GuideTest : public RinkTest {
 protected:
  void start(const std::vector<std::string>& arguments = {}) {
    // The rink's own colours hold none of the overlay's dark: what shows it is the overlay.
    ASSERT_EQ(rink_.image.count(panel, {0, 0, picture_width, picture_height}), 0);
    start_game(build_file("e2e_guided_rink"), arguments);
    ASSERT_TRUE(wait_for_rink()) << game_errors();
  }

  bool shows_keys() const { return capture_picture().count(panel, top_band) > 2000; }
};

TEST_F(GuideTest, ShowsWhoIsWhoTheNetAndTheKeysLegiblyUntilTheFirstGameKey) {
  start();
  ASSERT_TRUE(poll_until(10s, [&] { return shows_keys(); })) << "no line of keys at the top";
  const Image picture = capture_picture();
  const std::optional<Rect> line = panel_in(picture, top_band);
  ASSERT_TRUE(line);
  EXPECT_GE(legibility(picture, *line), 4.5);
  // The marker over player one's skater (which starts at the left, by its goalie) and the arrow
  // from it to the right, to the net it attacks.
  const std::optional<Rect> marker = panel_in(picture, {60, 140, 150, 60});
  ASSERT_TRUE(marker) << "no marker over player one's skater";
  EXPECT_GE(legibility(picture, *marker), 4.5);
  const std::optional<Rect> arrow = panel_in(picture, {160, 200, 120, 70});
  ASSERT_TRUE(arrow) << "no arrow beside the skater";
  EXPECT_GT(arrow->width, 3 * arrow->height) << "the arrow runs along the rows";
  save_png(picture, (work_.path() / "hints.png").string());

  EXPECT_TRUE(hold_key_until("Right", [&] { return capture_picture().count(panel, top_band) == 0; }, 10s))
      << "the hints stayed after a game key";
  const Image after = capture_picture();
  EXPECT_EQ(after.count(panel, {0, 0, picture_width, picture_height}), 0) << "a marker or arrow stayed";
}

TEST_F(GuideTest, TwoPlayersAreMarkedOneAndTwo) {
  start({"--players", "2"});
  ASSERT_TRUE(poll_until(10s, [&] { return shows_keys(); }));
  const Image picture = capture_picture();
  EXPECT_TRUE(panel_in(picture, {60, 140, 150, 60})) << "no marker over player one";
  EXPECT_TRUE(panel_in(picture, {500, 120, 140, 60})) << "no marker over player two";
  EXPECT_TRUE(panel_in(picture, {420, 190, 110, 70})) << "no arrow to player two's net, on the left";
}

TEST_F(GuideTest, NoHintsShowsNothingOverThePicture) {
  start({"--no-hints"});
  for (int look = 0; look < 5; ++look) {
    ASSERT_EQ(capture_picture().count(panel, {0, 0, picture_width, picture_height}), 0) << "look " << look;
  }
}

}  // namespace
}  // namespace e2e
