// What a flip tells the screen changed: the parts of the back buffer written since the last flip,
// narrowed to what differs from the picture the screen was handed then.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/backend.h"
#include "platform/draw.h"
#include "platform/headless.h"
#include "platform/testing.h"

using namespace platform;
namespace hooks = platform::testing;

namespace {

using Edges = std::array<int, 4>;  // left, top, right, bottom

// Keeps the changed area of the last picture presented.
class RecordingScreen : public HeadlessBackend {
 public:
  bool present(const std::uint8_t* pixels, int width, int height, int pitch, const PaletteEntry* palette,
               const ChangedArea& changed) override {
    everything = changed.everything;
    rects.clear();
    for (int i = 0; i < changed.count; ++i) {
      const Rect& r = changed.rects[i];
      rects.push_back({r.left, r.top, r.right, r.bottom});
    }
    return HeadlessBackend::present(pixels, width, height, pitch, palette, changed);
  }

  bool everything = false;
  std::vector<Edges> rects;
};

// A frame as the game draws one: the whole rink laid over the back buffer, a sprite over it, a flip.
class FlipChangesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::clear_failures();
    use_backend(&screen);
    ASSERT_FALSE(failed(direct_draw_create(&dd)));
    ASSERT_FALSE(failed(query_direct_draw4(dd, &dd4)));
    ASSERT_FALSE(failed(set_cooperative_level(dd4, nullptr, 0x53)));
    ASSERT_FALSE(failed(set_display_mode(dd4, 640, 480, 8, 0, 0)));
    SurfaceDesc desc;
    desc.flags = ddsd_caps | ddsd_backbuffercount;
    desc.back_buffer_count = 1;
    desc.caps = ddscaps_primarysurface | ddscaps_flip | ddscaps_complex;
    ASSERT_FALSE(failed(create_surface(dd4, desc, &primary)));
    ASSERT_FALSE(failed(get_attached_surface(primary, ddscaps_backbuffer, &back)));
    rink = filled(640, 480, 3);
    skater = filled(8, 8, 9);
  }

  void TearDown() override {
    release(skater);
    release(rink);
    release(back);
    release(primary);
    release(dd4);
    release(dd);
    EXPECT_EQ(hooks::live_objects(), 0);
    use_backend(nullptr);
  }

  Surface* filled(int width, int height, std::uint8_t index) {
    SurfaceDesc desc;
    desc.flags = ddsd_caps | ddsd_width | ddsd_height;
    desc.width = width;
    desc.height = height;
    desc.caps = ddscaps_offscreenplain | ddscaps_videomemory;
    Surface* s = nullptr;
    EXPECT_FALSE(failed(create_surface(dd4, desc, &s)));
    BltFx fx;
    fx.fill_color = index;
    EXPECT_FALSE(failed(blt(s, nullptr, nullptr, nullptr, ddblt_colorfill | ddblt_wait, &fx)));
    return s;
  }

  void frame(int skater_x) {
    Rect whole{0, 0, 640, 480}, sprite{0, 0, 8, 8}, at{skater_x, 100, skater_x + 8, 108};
    ASSERT_FALSE(failed(blt(back, &whole, rink, &whole, ddblt_wait, nullptr)));
    ASSERT_FALSE(failed(blt(back, &at, skater, &sprite, ddblt_wait, nullptr)));
    ASSERT_FALSE(failed(flip(primary, nullptr, ddflip_wait)));
  }

  RecordingScreen screen;
  DirectDraw* dd = nullptr;
  DirectDraw4* dd4 = nullptr;
  Surface* primary = nullptr;
  Surface* back = nullptr;
  Surface* rink = nullptr;
  Surface* skater = nullptr;
};

TEST_F(FlipChangesTest, ASpriteDrawnAgainWhereItWasIsNoChangeAndAMovedOneChangesOnlyWhereItDiffers) {
  frame(100);
  EXPECT_TRUE(screen.everything);
  frame(100);
  EXPECT_FALSE(screen.everything);
  EXPECT_EQ(screen.rects, std::vector<Edges>{});
  // Two pixels to the right: the two columns it left show the rink again, the two it took show it.
  frame(102);
  EXPECT_FALSE(screen.everything);
  EXPECT_EQ(screen.rects, (std::vector<Edges>{{100, 100, 102, 108}, {108, 100, 110, 108}}));
  EXPECT_EQ(screen.presented_pixels()[104 * 640 + 101], 3);
  EXPECT_EQ(screen.presented_pixels()[104 * 640 + 109], 9);
}

TEST_F(FlipChangesTest, AfterALockOrAChangedBaseEverythingIsHandedOn) {
  frame(100);
  frame(100);
  SurfaceDesc locked;
  ASSERT_FALSE(failed(lock(back, nullptr, &locked, ddlock_wait)));
  locked.memory[0] = 9;  // a lock may write anywhere
  ASSERT_FALSE(failed(unlock(back, nullptr)));
  ASSERT_FALSE(failed(flip(primary, nullptr, ddflip_wait)));
  EXPECT_TRUE(screen.everything);
  EXPECT_EQ(screen.presented_pixels()[0], 9);

  // The rink laid over a back buffer whose contents are unknown: everything again.
  frame(300);
  EXPECT_TRUE(screen.everything);
  frame(300);
  EXPECT_EQ(screen.rects, std::vector<Edges>{});
  frame(100);
  EXPECT_EQ(screen.rects, (std::vector<Edges>{{300, 100, 308, 108}, {100, 100, 108, 108}}));
}

}  // namespace
