// The game's window as a player sees it: the rink filling the screen's 4:3 area and sharp, or
// scaled by whole factors when asked, and the score texts.

#include "rink_session.h"

namespace e2e {
namespace {

constexpr Rgb black = rgb(0, 0, 0);

// A 4:3 screen that takes the picture twice over with room to spare: filled at 2.1875 times, sharp.
class GameWindowTest : public RunningGameTest, public ::testing::WithParamInterface<std::string> {
 protected:
  GameWindowTest() : RunningGameTest(1400, 1050, GetParam()) {}

  // Of the rink bitmap's pixels of one colour, the share the picture shows in that colour.
  double colour_kept(const Image& picture, Rgb colour, Rect within) const {
    int in_bitmap = 0, shown = 0;
    for (int y = within.y; y < within.y + within.height; ++y) {
      for (int x = within.x; x < within.x + within.width; ++x) {
        if (rink_.image.at(x, y) != colour) continue;
        ++in_bitmap;
        shown += picture.at(x, y) == colour;
      }
    }
    EXPECT_GT(in_bitmap, 0) << "the rink bitmap has no pixel of colour " << std::hex << colour;
    return in_bitmap == 0 ? 0.0 : static_cast<double>(shown) / in_bitmap;
  }
};

void expect_black(const Image& screen, std::initializer_list<Rect> borders) {
  for (const Rect& border : borders) {
    EXPECT_EQ(screen.count(black, border), border.width * border.height)
        << "border at " << border.x << "," << border.y << " not black";
  }
}

// The same screen with --scale whole: twice the picture, centred, black borders all around.
class WholeScaleTest : public RunningGameTest, public ::testing::WithParamInterface<std::string> {
 protected:
  WholeScaleTest() : RunningGameTest(1400, 1050, GetParam(), {"--scale", "whole"}) {}
};

TEST_P(WholeScaleTest, CoversTheScreenWithTheRinkScaledByAWholeFactorAndCentred) {
  const Image screen = capture_screen();
  const std::optional<std::string> window = game_window();
  ASSERT_TRUE(window);
  EXPECT_EQ(screen_.window_area(*window), (Rect{0, 0, screen.width, screen.height}))
      << "the window does not cover the screen";
  const Rect area = placement_on(screen.width, screen.height, platform::ScaleMode::whole);
  ASSERT_EQ(area, (Rect{60, 45, 1280, 960}));
  const int right = area.x + area.width, bottom = area.y + area.height;
  expect_black(screen, {{0, 0, screen.width, area.y},
                        {0, bottom, screen.width, screen.height - bottom},
                        {0, area.y, area.x, area.height},
                        {right, area.y, screen.width - right, area.height}});
  const Image shown = screen.region(area);
  EXPECT_TRUE(shown.made_of_blocks(2)) << "not scaled by nearest pixel";
  EXPECT_GT(rink_share(shown.sampled(picture_width, picture_height)), 0.9);
}

INSTANTIATE_TEST_SUITE_P(Renderers, WholeScaleTest, each_renderer, renderer_name);

// A laptop's 1440 by 900 screen: the picture fills its height at 1.875 screen pixels per picture
// pixel, with black bars on the sides.
class SharpScreenTest : public RunningGameTest, public ::testing::WithParamInterface<std::string> {
 protected:
  SharpScreenTest() : RunningGameTest(1440, 900, GetParam()) {}
};

// Where two neighbouring picture pixels differ, along a screen row or column through the middle
// of the picture pixels: the screen shows the one colour, at most one pixel that blends them,
// then the other. Counts the picture's changes of colour and those shown otherwise.
struct Edges {
  int seen = 0;
  int smeared = 0;
};

void follow_edge(Edges& edges, Rgb from, Rgb to, int length, const auto& shown_at) {
  if (from == to) return;
  ++edges.seen;
  int blended = 0, reached_to = 0;
  for (int i = 0; i <= length; ++i) {
    const Rgb pixel = shown_at(i);
    const bool after = pixel == to;
    blended += !after && pixel != from;
    if (pixel == from && reached_to > 0) ++blended;  // back to the first colour: no clean edge
    reached_to += after;
  }
  edges.smeared += blended > 1 || reached_to == 0;
}

Edges edges_on_screen(const Image& screen, const Rect& area, const Image& picture) {
  const auto middle = [](int pixel, int picture_size, int screen_size) {
    return static_cast<int>((2LL * pixel + 1) * screen_size / (2LL * picture_size));
  };
  Edges edges;
  for (int y = 0; y < picture_height; ++y) {
    const int row = area.y + middle(y, picture_height, area.height);
    for (int x = 0; x + 1 < picture_width; ++x) {
      const int left = area.x + middle(x, picture_width, area.width);
      const int length = area.x + middle(x + 1, picture_width, area.width) - left;
      follow_edge(edges, picture.at(x, y), picture.at(x + 1, y), length, [&](int i) { return screen.at(left + i, row); });
    }
  }
  for (int x = 0; x < picture_width; ++x) {
    const int column = area.x + middle(x, picture_width, area.width);
    for (int y = 0; y + 1 < picture_height; ++y) {
      const int top = area.y + middle(y, picture_height, area.height);
      const int length = area.y + middle(y + 1, picture_height, area.height) - top;
      follow_edge(edges, picture.at(x, y), picture.at(x, y + 1), length, [&](int i) { return screen.at(column, top + i); });
    }
  }
  return edges;
}

TEST_P(SharpScreenTest, FillsTheHeightWithBarsOnTheSidesAndKeepsEveryEdgeSharp) {
  const Image screen = capture_screen();
  const std::optional<std::string> window = game_window();
  ASSERT_TRUE(window);
  EXPECT_EQ(screen_.window_area(*window), (Rect{0, 0, 1440, 900}));
  const Rect area = placement();
  ASSERT_EQ(area, (Rect{120, 0, 1200, 900}));
  expect_black(screen, {{0, 0, 120, 900}, {1320, 0, 120, 900}});
  EXPECT_LT(screen.count(black, {120, 0, 1, 900}), 100) << "the picture does not begin at x = 120";
  // The rink bitmap's last column is black; the one before it ends 2 screen pixels before.
  EXPECT_LT(screen.count(black, {1317, 0, 1, 900}), 100) << "the picture does not reach x = 1318";
  const Image picture = screen.region(area).sampled(picture_width, picture_height);
  EXPECT_GT(rink_share(picture), 0.9);
  const Edges edges = edges_on_screen(screen, area, picture);
  EXPECT_GT(edges.seen, 5000) << "too few changes of colour to judge";
  EXPECT_EQ(edges.smeared, 0) << "of " << edges.seen << " edges between picture pixels";
}

INSTANTIATE_TEST_SUITE_P(Renderers, SharpScreenTest, each_renderer, renderer_name);

// The ice, its markings and the score band keep the exact colours of the rink bitmap. The
// picture is also the README's screenshot (`make screenshot` copies it).
TEST_P(GameWindowTest, ShowsTheRinkInTheColoursOfItsBitmap) {
  const Image& picture = first_picture_;
  if (renderer_ == "software") {
    EXPECT_TRUE(save_png(picture, build_file("screenshot.png").string()));
  }
  const Rect rink_area{0, 0, picture_width - 1, 450};
  const Rect band_area{0, 450, picture_width - 1, picture_height - 451};
  EXPECT_GT(colour_kept(picture, rgb(236, 243, 249), rink_area), 0.9) << "ice";
  EXPECT_GT(colour_kept(picture, rgb(214, 28, 40), rink_area), 0.9) << "red lines";
  EXPECT_GT(colour_kept(picture, rgb(28, 74, 196), rink_area), 0.9) << "blue lines";
  EXPECT_GT(colour_kept(picture, rgb(12, 14, 22), band_area), 0.8) << "score band";
}

// "Player One Score: 0 " in blue from (10, 450), "Computer Score: 0 " in red from (300, 450).
TEST_P(GameWindowTest, WritesBothScoresInTheirColoursInTheBand) {
  const Image& picture = first_picture_;
  const Rect left{0, 440, 300, picture_height - 440};
  const Rect right{300, 440, picture_width - 300, picture_height - 440};
  const Rgb blue = rgb(0, 0, 255), red = rgb(255, 0, 0);
  EXPECT_GT(picture.count(blue, left), 100);
  EXPECT_EQ(picture.count(blue, right), 0);
  EXPECT_GT(picture.count(red, right), 100);
  EXPECT_EQ(picture.count(red, left), 0);
  const std::optional<Point> blue_text = picture.first_of(blue, left);
  const std::optional<Point> red_text = picture.first_of(red, right);
  ASSERT_TRUE(blue_text && red_text);
  EXPECT_GE(blue_text->x, 10);
  EXPECT_LE(blue_text->x, 13);
  EXPECT_GE(red_text->x, 300);
  EXPECT_LE(red_text->x, 303);
  for (const Point& text : {*blue_text, *red_text}) {
    EXPECT_GE(text.y, 450);
    EXPECT_LE(text.y, 455);
  }
}

INSTANTIATE_TEST_SUITE_P(Renderers, GameWindowTest, each_renderer, renderer_name);

}  // namespace
}  // namespace e2e
