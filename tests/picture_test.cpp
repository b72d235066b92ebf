// The screen's picture: where it sits on screens of every size, and the 32-bit copy that a flip
// brings up to date by converting only what changed.

#include <algorithm>

#include "app/main_loop.h"
#include "game_fixture.h"
#include "platform/key_script.h"
#include "platform/picture.h"

namespace {

using platform::ChangedArea;
using platform::fit_picture;
using platform::PaletteEntry;
using platform::TruePicture;

MATCHER_P4(Placed, x, y, width, height, "") {
  return arg.x == x && arg.y == y && arg.width == width && arg.height == height;
}

TEST(FitPicture, TakesTheLargestWholeFactorCentredWithBorders) {
  EXPECT_THAT(fit_picture(640, 480, 640, 480), Placed(0, 0, 640, 480));
  EXPECT_THAT(fit_picture(1920, 1080, 640, 480), Placed(320, 60, 1280, 960));
  EXPECT_THAT(fit_picture(1280, 1024, 640, 480), Placed(0, 32, 1280, 960));
  EXPECT_THAT(fit_picture(3840, 2160, 640, 480), Placed(640, 120, 2560, 1920));
  EXPECT_THAT(fit_picture(1366, 768, 640, 480), Placed(363, 144, 640, 480));
}

TEST(FitPicture, ShrinksToFitAScreenSmallerThanThePicture) {
  EXPECT_THAT(fit_picture(320, 240, 640, 480), Placed(0, 0, 320, 240));
  EXPECT_THAT(fit_picture(600, 800, 640, 480), Placed(0, 175, 600, 450));
  EXPECT_THAT(fit_picture(800, 400, 640, 480), Placed(133, 0, 533, 400));
}

TEST(TruePictureTest, ConvertsEverythingAgainWhenThePaletteChanges) {
  std::vector<std::uint8_t> indices(4 * 2, 1);
  PaletteEntry palette[256] = {};
  palette[1] = {0x12, 0x34, 0x56, 0};
  TruePicture picture;
  EXPECT_TRUE(picture.update(indices.data(), 4, 2, 4, palette, {true, nullptr, 0}).everything);
  EXPECT_EQ(picture.pixels()[7], 0x123456u);

  const platform::Rect corner{0, 0, 1, 1};
  const ChangedArea only_corner{false, &corner, 1};
  indices[0] = indices[5] = 0;  // the second write lies outside the changed area: not converted
  EXPECT_FALSE(picture.update(indices.data(), 4, 2, 4, palette, only_corner).everything);
  EXPECT_EQ(picture.pixels()[0], 0u);
  EXPECT_EQ(picture.pixels()[5], 0x123456u);

  palette[1] = {0xAB, 0xCD, 0xEF, 0};
  EXPECT_TRUE(picture.update(indices.data(), 4, 2, 4, palette, only_corner).everything);
  EXPECT_EQ(picture.pixels()[5], 0u);
  EXPECT_EQ(picture.pixels()[6], 0xABCDEFu);
}

// Keeps two pictures of every flip, one converted in full and one from the changed area only.
class ComparingBackend : public platform::HeadlessBackend {
 public:
  ComparingBackend() { full_.convert_everything_always(true); }

  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override {
    HeadlessBackend::present(pixels, width, height, pitch, palette, changed);
    partial_.update(pixels, width, height, pitch, palette, changed);
    full_.update(pixels, width, height, pitch, palette, changed);
    if (!changed.everything) ++partial_updates_;
    const std::size_t size = static_cast<std::size_t>(width) * height;
    if (!std::equal(partial_.pixels(), partial_.pixels() + size, full_.pixels())) ++differing_presents_;
    return true;
  }

  int partial_updates_ = 0;
  int differing_presents_ = 0;

 private:
  TruePicture partial_;
  TruePicture full_;
};

TEST(TruePictureTest, ConvertingOnlyTheChangesShowsWhatAFullConversionShows) {
  platform::LoadedScript script = platform::load_key_script(RINK_REPLAY_DATA "/golden.keys");
  ASSERT_GT(script.lines.size(), 800u);
  script.lines.resize(800);  // goals, checks, saves and new score texts all happen by then

  ComparingBackend backend;
  reset_game(backend);
  backend.load_script(script.lines);
  EXPECT_EQ(win_main(nullptr), 0);
  platform::use_backend(nullptr);

  EXPECT_GT(backend.present_count(), 750);
  EXPECT_GT(backend.partial_updates_, backend.present_count() * 9 / 10);
  EXPECT_EQ(backend.differing_presents_, 0);
}

}  // namespace
