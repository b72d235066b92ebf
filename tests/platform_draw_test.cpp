// The display stand-in: blits, clipping, scaling, colour keys, locks, flips and text.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/backend.h"
#include "platform/draw.h"
#include "platform/gdi.h"
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

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::clear_failures();
    hooks::set_extra_pitch(0);
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
  }

  void TearDown() override {
    for (Surface* s : extra) release(s);
    release(back);
    release(primary);
    release(dd4);
    release(dd);
    EXPECT_EQ(hooks::live_objects(), 0);
    use_backend(nullptr);
  }

  // An off-screen surface whose pixel (x, y) holds `value(x, y)`, keyed on 117.
  template <typename Value>
  Surface* sprite(int width, int height, Value value) {
    SurfaceDesc desc;
    desc.flags = ddsd_caps | ddsd_width | ddsd_height | ddsd_cksrcblt;
    desc.width = width;
    desc.height = height;
    desc.caps = ddscaps_offscreenplain | ddscaps_videomemory;
    desc.src_color_key = {117, 117};
    Surface* s = nullptr;
    EXPECT_FALSE(failed(create_surface(dd4, desc, &s)));
    SurfaceDesc locked;
    EXPECT_FALSE(failed(lock(s, nullptr, &locked, ddlock_wait)));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) locked.memory[y * locked.pitch + x] = static_cast<std::uint8_t>(value(x, y));
    }
    EXPECT_FALSE(failed(unlock(s, nullptr)));
    extra.push_back(s);
    return s;
  }

  void clip_back_buffer() {
    struct {
      RegionHeader header;
      Rect rect;
    } region{{32, rdh_rectangles, 1, 16, {0, 0, 639, 479}}, {0, 0, 639, 479}};
    Clipper* clipper = nullptr;
    ASSERT_FALSE(failed(create_clipper(dd4, 0, &clipper)));
    ASSERT_FALSE(failed(set_clip_list(clipper, &region.header, 0)));
    ASSERT_FALSE(failed(set_clipper(back, clipper)));
    release(clipper);  // the back buffer keeps its own reference
  }

  Result blit(Surface* from, Rect source, Rect dest, std::uint32_t flags = ddblt_wait | ddblt_keysrc) {
    return blt(back, &dest, from, &source, flags, nullptr);
  }

  void fill_back(std::uint8_t index) {
    BltFx fx;
    fx.fill_color = index;
    ASSERT_FALSE(failed(blt(back, nullptr, nullptr, nullptr, ddblt_colorfill | ddblt_wait, &fx)));
  }

  std::uint8_t at(int x, int y) { return hooks::pixel(back, x, y); }

  RecordingScreen screen;
  DirectDraw* dd = nullptr;
  DirectDraw4* dd4 = nullptr;
  Surface* primary = nullptr;
  Surface* back = nullptr;
  std::vector<Surface*> extra;
};

TEST_F(DrawTest, KeyedBlitSkipsTheKeyAndCopiesTheRest) {
  // Left half transparent, right half colour 9, with the source's last row and column in 50.
  Surface* s = sprite(64, 64, [](int x, int y) { return x == 63 || y == 63 ? 50 : x < 32 ? 117 : 9; });
  fill_back(3);
  ASSERT_FALSE(failed(blit(s, {0, 0, 63, 63}, {100, 100, 163, 163})));
  EXPECT_EQ(at(110, 110), 3);   // transparent: the background stays
  EXPECT_EQ(at(140, 110), 9);
  EXPECT_EQ(at(162, 162), 9);   // last destination pixel of the 63 by 63 area
  EXPECT_EQ(at(163, 120), 3);   // right edge excluded: the source's column 63 never shows
  EXPECT_EQ(at(140, 163), 3);

  ASSERT_FALSE(failed(blit(s, {0, 0, 63, 63}, {300, 100, 363, 163}, ddblt_wait)));
  EXPECT_EQ(at(310, 110), 117);  // without the key flag the key colour is copied
}

TEST_F(DrawTest, WithoutAClipperABlitLeavingTheSurfaceFailsAndWritesNothing) {
  Surface* s = sprite(64, 64, [](int, int) { return 9; });
  fill_back(3);
  for (Rect dest : {Rect{-1, 10, 62, 73}, Rect{600, 10, 663, 73}, Rect{10, -5, 73, 58}, Rect{10, 450, 73, 513}}) {
    EXPECT_TRUE(failed(blit(s, {0, 0, 63, 63}, dest)));
  }
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) ASSERT_EQ(at(x, y), 3) << x << "," << y;
  }
  EXPECT_FALSE(failed(blit(s, {0, 0, 63, 63}, {577, 417, 640, 480})));  // touching the edges is inside
  EXPECT_EQ(at(639, 479), 9);
}

TEST_F(DrawTest, TheClipperCutsSpritesAtEveryEdgeAndKeepsTheSourceAligned) {
  fill_back(200);
  clip_back_buffer();
  // Each pixel tells its source column (low values) or row (high values).
  Surface* by_column = sprite(64, 64, [](int x, int) { return x; });
  Surface* by_row = sprite(64, 64, [](int, int y) { return 64 + y; });
  ASSERT_FALSE(failed(blit(by_column, {0, 0, 63, 63}, {-10, 100, 53, 163})));
  EXPECT_EQ(at(0, 120), 10);  // the left ten columns fell off
  ASSERT_FALSE(failed(blit(by_column, {0, 0, 63, 63}, {600, 200, 663, 263})));
  EXPECT_EQ(at(638, 220), 38);
  ASSERT_FALSE(failed(blit(by_row, {0, 0, 63, 63}, {300, -20, 363, 43})));
  EXPECT_EQ(at(320, 0), 64 + 20);
  ASSERT_FALSE(failed(blit(by_row, {0, 0, 63, 63}, {400, 450, 463, 513})));
  EXPECT_EQ(at(420, 478), 64 + 28);
  ASSERT_FALSE(failed(blit(by_row, {0, 0, 63, 63}, {700, 100, 763, 163})));  // wholly outside: nothing

  for (int y = 0; y < 480; ++y) EXPECT_EQ(at(639, y), 200) << "column 639 at row " << y;
  for (int x = 0; x < 640; ++x) EXPECT_EQ(at(x, 479), 200) << "row 479 at column " << x;
}

TEST_F(DrawTest, ThePuckSquareOfFifteenIsScaledToNineByNearestPixel) {
  clip_back_buffer();
  Surface* puck = sprite(16, 16, [](int x, int y) { return y * 16 + x; });
  fill_back(255);
  ASSERT_FALSE(failed(blit(puck, {0, 0, 15, 15}, {50, 60, 59, 69})));
  const int expected[9] = {0, 2, 4, 5, 7, 9, 10, 12, 14};  // the centre of each of nine cells
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(at(50 + i, 60), expected[i]);
    EXPECT_EQ(at(50, 60 + i), expected[i] * 16);
  }
  EXPECT_EQ(at(59, 60), 255);
  EXPECT_EQ(at(50, 69), 255);
}

TEST_F(DrawTest, BadRectanglesAndBusySurfacesFail) {
  Surface* s = sprite(16, 16, [](int, int) { return 1; });
  EXPECT_TRUE(failed(blit(s, {0, 0, 17, 16}, {0, 0, 17, 16})));   // source larger than its surface
  EXPECT_TRUE(failed(blit(s, {5, 5, 5, 10}, {0, 0, 10, 10})));    // empty source
  EXPECT_TRUE(failed(blit(nullptr, {0, 0, 1, 1}, {0, 0, 1, 1})));
  SurfaceDesc locked;
  ASSERT_FALSE(failed(lock(s, nullptr, &locked, ddlock_wait)));
  EXPECT_TRUE(failed(lock(s, nullptr, &locked, ddlock_wait)));
  EXPECT_TRUE(failed(blit(s, {0, 0, 15, 15}, {0, 0, 15, 15})));
  ASSERT_FALSE(failed(unlock(s, nullptr)));
  EXPECT_TRUE(failed(unlock(s, nullptr)));
  hooks::fail_blits_from(s);
  EXPECT_TRUE(failed(blit(s, {0, 0, 15, 15}, {0, 0, 15, 15})));
  hooks::clear_failures();
  EXPECT_FALSE(failed(blit(s, {0, 0, 15, 15}, {0, 0, 15, 15})));
}

TEST_F(DrawTest, ExtraPitchGivesWiderRowsAndPlannedFailuresCountCalls) {
  hooks::set_extra_pitch(8);
  Surface* s = sprite(64, 4, [](int x, int) { return x; });
  EXPECT_EQ(hooks::surface_pitch(s), 72);
  EXPECT_EQ(hooks::pixel(s, 63, 3), 63);

  hooks::fail_call(hooks::Call::lock, 2);
  SurfaceDesc locked;
  EXPECT_FALSE(failed(lock(s, nullptr, &locked, 0)));
  EXPECT_FALSE(failed(unlock(s, nullptr)));
  EXPECT_TRUE(failed(lock(s, nullptr, &locked, 0)));
  EXPECT_FALSE(failed(lock(s, nullptr, &locked, 0)));  // only the second lock was planned to fail
  EXPECT_FALSE(failed(unlock(s, nullptr)));
}

TEST_F(DrawTest, FlipShowsTheBackBufferThroughThePrimarysPalette) {
  PaletteEntry colours[256] = {};
  colours[7] = {10, 20, 30, pc_nocollapse};
  Palette* palette = nullptr;
  ASSERT_FALSE(failed(create_palette(dd4, ddpcaps_8bit | ddpcaps_allow256, colours, &palette)));
  ASSERT_FALSE(failed(set_palette(primary, palette)));
  fill_back(7);
  hooks::fail_call(hooks::Call::flip, 1, 2);
  EXPECT_TRUE(failed(flip(primary, nullptr, ddflip_wait)));
  EXPECT_TRUE(failed(flip(primary, nullptr, ddflip_wait)));
  EXPECT_EQ(screen.present_count(), 0);
  ASSERT_FALSE(failed(flip(primary, nullptr, ddflip_wait)));
  EXPECT_EQ(screen.present_count(), 1);
  EXPECT_EQ(screen.presented_pixels()[479 * 640 + 639], 7);
  EXPECT_EQ(screen.presented_palette()[7].green, 20);
  release(palette);
}

TEST_F(DrawTest, TextIsDrawnInTheNearestColourWithinItsLineAndClippedToTheSurface) {
  PaletteEntry colours[256] = {};
  colours[40] = {0, 0, 250, 0};  // nearest to pure blue
  colours[41] = {0, 0, 120, 0};
  Palette* palette = nullptr;
  ASSERT_FALSE(failed(create_palette(dd4, ddpcaps_8bit, colours, &palette)));
  ASSERT_FALSE(failed(set_palette(primary, palette)));
  fill_back(0);
  DeviceContext* dc = nullptr;
  ASSERT_FALSE(failed(get_dc(back, &dc)));
  DeviceContext* second = nullptr;
  EXPECT_TRUE(failed(get_dc(back, &second)));
  set_bk_mode(dc, bk_transparent);
  set_text_color(dc, 0xFF0000);
  ASSERT_TRUE(text_out(dc, 10, 450, "Player One Score: 0 ", 20));
  ASSERT_TRUE(text_out(dc, 630, 470, "WWWW", 4));  // runs off the right and bottom edges
  ASSERT_FALSE(failed(release_dc(back, dc)));

  int ink = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const std::uint8_t p = at(x, y);
      if (p == 0) continue;
      EXPECT_EQ(p, 40);
      const bool in_score_line = y >= 450 && y < 466 && x >= 10 && x < 10 + text_width("Player One Score: 0 ", 20);
      EXPECT_TRUE(in_score_line || (x >= 630 && y >= 470)) << x << "," << y;
      ++ink;
    }
  }
  EXPECT_GT(ink, 100);
  release(palette);
}

TEST_F(DrawTest, ReleasingThePrimaryFreesItsBackBufferPaletteAndClipper) {
  clip_back_buffer();
  Palette* palette = nullptr;
  PaletteEntry colours[256] = {};
  ASSERT_FALSE(failed(create_palette(dd4, ddpcaps_8bit, colours, &palette)));
  ASSERT_FALSE(failed(set_palette(primary, palette)));
  release(palette);
  const int before = hooks::live_objects();
  release(back);
  release(primary);
  back = primary = nullptr;
  EXPECT_EQ(hooks::live_objects(), before - 4);  // primary, back buffer, palette, clipper
}

// What a flip tells the screen changed: the parts of the back buffer written since the last flip,
// narrowed to what differs from the picture the screen was handed then.
class FlipChangesTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    rink = sprite(640, 480, [](int, int) { return 3; });
    skater = sprite(8, 8, [](int, int) { return 9; });
  }

  // A frame as the game draws one: the whole rink laid over the back buffer, a sprite over it, a flip.
  void frame(int skater_x) {
    Rect whole{0, 0, 640, 480}, sprite_area{0, 0, 8, 8}, at{skater_x, 100, skater_x + 8, 108};
    ASSERT_FALSE(failed(blt(back, &whole, rink, &whole, ddblt_wait, nullptr)));
    ASSERT_FALSE(failed(blt(back, &at, skater, &sprite_area, ddblt_wait, nullptr)));
    ASSERT_FALSE(failed(flip(primary, nullptr, ddflip_wait)));
  }

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
