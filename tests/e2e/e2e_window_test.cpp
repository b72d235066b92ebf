// The game's window as a player sees it: the rink scaled to the screen, and the score texts.

#include "rink_session.h"

namespace e2e {
namespace {

constexpr Rgb black = rgb(0, 0, 0);

// A screen that takes the picture twice over, with room to spare on every side.
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

TEST_P(GameWindowTest, CoversTheScreenWithTheRinkScaledByAWholeFactorAndCentred) {
  const Image screen = capture_screen();
  const std::optional<std::string> window = game_window();
  ASSERT_TRUE(window);
  EXPECT_EQ(screen_.window_area(*window), (Rect{0, 0, screen.width, screen.height}))
      << "the window does not cover the screen";
  const Placement placement = placement_on(screen.width, screen.height);
  const Rect area = placement.area;
  ASSERT_EQ(placement.scale, 2);
  ASSERT_EQ(area, (Rect{60, 45, 1280, 960}));
  const int right = area.x + area.width, bottom = area.y + area.height;
  const Rect borders[] = {{0, 0, screen.width, area.y},
                          {0, bottom, screen.width, screen.height - bottom},
                          {0, area.y, area.x, area.height},
                          {right, area.y, screen.width - right, area.height}};
  for (const Rect& border : borders) {
    EXPECT_EQ(screen.count(black, border), border.width * border.height)
        << "border at " << border.x << "," << border.y << " not black";
  }
  const Image shown = screen.region(area);
  EXPECT_TRUE(shown.made_of_blocks(placement.scale)) << "not scaled by nearest pixel";
  EXPECT_GT(rink_share(shown.shrunk(placement.scale)), 0.9);
}

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
