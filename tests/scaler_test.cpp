// The picture brought onto screens of every size: where it lands, that it stays sharp, and that
// drawing only what changed gives the screen a full redraw would.

#include <gmock/gmock.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/random.h"
#include "platform/sharp_scaler.h"
#include "platform/system.h"
#include "platform/testing.h"

namespace {

using platform::ScaleMode;

constexpr std::uint32_t untouched = 0xDEADBEEF;

MATCHER_P4(Placed, x, y, width, height, "") {
  return arg.x == x && arg.y == y && arg.width == width && arg.height == height;
}

// The test's own sequence: the same pictures and rectangles on every run.
platform::Random sequence;
std::uint32_t random_colour() { return (sequence.next() << 9 ^ sequence.next()) & 0xFFFFFFu; }

struct Picture {
  Picture(int w, int h) : width(w), pixels(static_cast<std::size_t>(w) * h) {
    std::generate(pixels.begin(), pixels.end(), random_colour);
  }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  int width;
  std::vector<std::uint32_t> pixels;
};

// Its rows are padded beyond the screen's width, so that a write past a row's end shows.
struct Screen {
  Screen(const platform::SharpScaler& scaler, int w, int h, platform::PixelFormat f = platform::xrgb8888)
      : stride(w + 3), format(f), pixels(static_cast<std::size_t>(stride) * h, untouched) {
    scaler.paint_borders({pixels.data(), stride * 4, format});
  }
  platform::ScreenRect draw(const platform::SharpScaler& scaler, const Picture& picture, platform::Rect changed) {
    return scaler.scale_changed(picture.pixels.data(), changed, {pixels.data(), stride * 4, format});
  }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * stride + x]; }
  int stride;
  platform::PixelFormat format;
  std::vector<std::uint32_t> pixels;
};

TEST(ScalerPlacement, FillsTheLargest4By3AreaOrTakesWholeFactors) {
  EXPECT_THAT(platform::fill_picture(1440, 900, 640, 480), Placed(120, 0, 1200, 900));
  EXPECT_THAT(platform::fill_picture(1366, 768, 640, 480), Placed(171, 0, 1024, 768));
  EXPECT_THAT(platform::fill_picture(3840, 2160, 640, 480), Placed(480, 0, 2880, 2160));
  EXPECT_THAT(platform::fill_picture(1280, 1024, 640, 480), Placed(0, 32, 1280, 960));
  EXPECT_THAT(platform::fill_picture(2559, 1599, 640, 480), Placed(213, 0, 2132, 1599));
  EXPECT_THAT(platform::fill_picture(320, 200, 640, 480), Placed(27, 0, 266, 200));
  platform::SharpScaler scaler;
  EXPECT_TRUE(scaler.resize(ScaleMode::whole, 1440, 900, 640, 480));
  EXPECT_THAT(scaler.placement(), Placed(400, 210, 640, 480));
  EXPECT_FALSE(scaler.resize(ScaleMode::whole, 1440, 900, 640, 480));
}

// Along one axis, the picture pixels a screen pixel may show: the one under its centre, or the
// two beside a border between picture pixels less than half a screen pixel from the centre.
std::pair<int, int> under(int screen_pixel, int screen_size, int picture_size) {
  const long long unit = 2LL * screen_size;  // the centre, in 1 / unit picture pixels
  const long long centre = (2LL * screen_pixel + 1) * picture_size;
  const auto border = static_cast<int>((centre + screen_size) / unit);
  if (std::abs(centre - border * unit) < picture_size) return {border - 1, border};
  return {static_cast<int>(centre / unit), static_cast<int>(centre / unit)};
}

// Every picture pixel is a hard edge here, as the rink's lines are. A screen pixel whose centre
// lies half a pixel or more from the borders shows its picture pixel exactly; only the one screen
// pixel on a border mixes its neighbours (four at a corner). Whole factors mix nothing.
TEST(SharpScaler, OnlyTheScreenPixelOnABorderBetweenPicturePixelsBlends) {
  const Picture picture(640, 480);
  for (auto [mode, width, height] : {std::tuple{ScaleMode::sharp, 1440, 900},
                                     {ScaleMode::sharp, 1366, 768},
                                     {ScaleMode::sharp, 1920, 1080},
                                     {ScaleMode::sharp, 2559, 1599},
                                     {ScaleMode::sharp, 1280, 960},
                                     {ScaleMode::whole, 1920, 1080}}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height << (mode == ScaleMode::whole ? " whole" : ""));
    platform::SharpScaler scaler;
    scaler.resize(mode, width, height, 640, 480);
    const platform::ScreenRect place = scaler.placement();
    Screen screen(scaler, width, height);
    screen.draw(scaler, picture, {0, 0, 640, 480});
    long long pure_rows = 0, pure_columns = 0, mixed_on_one_border = 0;
    for (int y = 0; y < place.height; ++y) {
      const auto [top, bottom] = under(y, place.height, 480);
      pure_rows += top == bottom;
      for (int x = 0; x < place.width; ++x) {
        const auto [left, right] = under(x, place.width, 640);
        const std::uint32_t shown = screen.at(place.x + x, place.y + y);
        pure_columns += y == 0 && left == right;
        if (left == right && top == bottom) {
          ASSERT_EQ(shown, picture.at(left, top)) << x << "," << y;
          continue;
        }
        const std::array ends{picture.at(left, top), picture.at(right, top), picture.at(left, bottom),
                              picture.at(right, bottom)};
        for (int shift : {0, 8, 16}) {
          const auto channel = [shift](std::uint32_t pixel) { return pixel >> shift & 0xFF; };
          const auto [low, high] =
              std::minmax({channel(ends[0]), channel(ends[1]), channel(ends[2]), channel(ends[3])});
          ASSERT_TRUE(channel(shown) >= low && channel(shown) <= high) << x << "," << y;
        }
        mixed_on_one_border += (top == bottom && shown != ends[0] && shown != ends[1]) ||
                               (left == right && shown != ends[0] && shown != ends[2]);
      }
    }
    // Enlarged k = ceil(scale) times first, a border's blend spans scale / k of a screen pixel:
    // that share of the borders shows a screen pixel that truly mixes, across rows and columns
    // alike (nearly: the screen pixels' centres fall on a few places of a picture pixel only).
    const double scale = place.width / 640.0, factor = std::ceil(scale);
    const double borders = pure_rows * 639.0 + pure_columns * 479.0;
    EXPECT_NEAR(mixed_on_one_border / borders, scale == factor ? 0 : scale / factor, 0.08);
  }
}

// Pictures changed in random rectangles, round after round, on screens that enlarge, shrink, use
// whole factors or another channel order. Each round draws only what the change reaches, its
// place on the screen grown by one pixel, and the screen then shows what a full redraw shows.
TEST(SharpScaler, DrawingOnlyTheChangesShowsWhatAFullRedrawShows) {
  sequence = {};
  const platform::PixelFormat abgr{0, 8, 16, 0xFF000000};
  for (auto [mode, width, height, format] : {std::tuple{ScaleMode::sharp, 150, 90, platform::xrgb8888},
                                             {ScaleMode::sharp, 157, 111, abgr},
                                             {ScaleMode::sharp, 40, 33, platform::xrgb8888},
                                             {ScaleMode::whole, 200, 150, platform::xrgb8888}}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    platform::SharpScaler scaler;
    scaler.resize(mode, width, height, 64, 48);
    const platform::ScreenRect place = scaler.placement();
    Picture picture(64, 48);
    Screen partial(scaler, width, height, format), full = partial, probe = partial;
    partial.draw(scaler, picture, {0, 0, 64, 48});
    for (int y = 0; y < height; ++y) {  // the borders and the picture cover the screen, and no more
      for (int x = 0; x < partial.stride; ++x) ASSERT_EQ(partial.at(x, y) == untouched, x >= width) << x << "," << y;
    }
    for (int round = 0; round < 300; ++round) {
      const int left = sequence.next() % 64, top = sequence.next() % 48;
      const int right = left + 1 + sequence.next() % (64 - left);
      const int bottom = top + 1 + sequence.next() % (48 - top);
      for (int y = top; y < bottom; ++y) std::generate_n(&picture.pixels[y * 64 + left], right - left, random_colour);
      const platform::ScreenRect drawn = partial.draw(scaler, picture, {left, top, right, bottom});
      EXPECT_LE(drawn.width, (right - left) * place.width / 64 + 3);
      EXPECT_LE(drawn.height, (bottom - top) * place.height / 48 + 3);
      std::fill(probe.pixels.begin(), probe.pixels.end(), untouched);
      probe.draw(scaler, picture, {left, top, right, bottom});
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < probe.stride; ++x) {
          const bool inside = x >= drawn.x && x < drawn.x + drawn.width && y >= drawn.y && y < drawn.y + drawn.height;
          ASSERT_EQ(probe.at(x, y) == untouched, !inside) << "round " << round << " at " << x << "," << y;
        }
      }
      full.draw(scaler, picture, {0, 0, 64, 48});
      ASSERT_EQ(partial.pixels, full.pixels) << "round " << round;
    }
    if (format.red_shift == 0) {  // the other channel order holds the same colours
      const std::uint32_t colour = picture.at(0, 0);
      EXPECT_EQ(full.at(place.x, place.y), 0xFF000000 | colour >> 16 | (colour & 0xFF00) | (colour & 0xFF) << 16);
      EXPECT_EQ(full.at(0, 0), 0xFF000000);  // an opaque black border
    }
  }
}

}  // namespace
