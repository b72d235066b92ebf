// The score texts read well against what the rink picture puts behind them: a contrast ratio of
// at least 3:1 by the WCAG formula, against the colour that covers most of each text's line.

#include <algorithm>
#include <cmath>
#include <map>

#include "game_fixture.h"

namespace {

struct Colour {
  int red, green, blue;
  auto operator<=>(const Colour&) const = default;
};

// WCAG's relative luminance of an sRGB colour.
double luminance(const Colour& c) {
  auto linear = [](int channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double contrast(const Colour& a, const Colour& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class ScoreContrastTest : public GameTest {
 protected:
  // Shows both scores at 10, the widest they get (the match ends: N is held for its wait).
  void SetUp() override {
    match.player_score = match.cpu_score = 10;
    hold({VK_N});
    ASSERT_TRUE(finish_frame_and_new_match(match));
  }

  Colour presented(int x, int y) {
    const platform::PaletteEntry& e =
        backend().presented_palette()[backend().presented_pixels()[static_cast<std::size_t>(y) * 640 + x]];
    return {e.red, e.green, e.blue};
  }

  Colour rink(int x, int y) {
    const platform::PaletteEntry& e = backend().presented_palette()[platform::testing::pixel(display.rink, x, y)];
    return {e.red, e.green, e.blue};
  }

  // The ratio of the text in `ink` to the colour that covers most of its line box in the rink
  // picture: rows 450 to 465, from the text's first to its last column.
  double text_contrast(const Colour& ink) {
    int first = 640, last = -1;
    for (int y = 450; y <= 465; ++y) {
      for (int x = 0; x < 640; ++x) {
        if (presented(x, y) != ink) continue;
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
    EXPECT_LE(first, last) << "no text in that colour";
    std::map<Colour, int> covered;
    for (int y = 450; y <= 465; ++y) {
      for (int x = first; x <= last; ++x) ++covered[rink(x, y)];
    }
    const auto most = std::max_element(covered.begin(), covered.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == covered.end() ? 0 : contrast(ink, most->first);
  }
};

TEST_F(ScoreContrastTest, PlayerOnesBlueScoreAndTheComputersRedScoreReadAtThreeToOneOrMore) {
  const double blue = text_contrast({0, 0, 255});
  const double red = text_contrast({255, 0, 0});
  RecordProperty("player_one_contrast", std::to_string(blue));
  RecordProperty("computer_contrast", std::to_string(red));
  std::printf("contrast: Player One Score %.2f:1, Computer Score %.2f:1\n", blue, red);
  EXPECT_GE(blue, 3.0);
  EXPECT_GE(red, 3.0);
}

}  // namespace
