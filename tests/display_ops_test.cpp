// The drawing and key operations the frame stages use, over a started headless display.

#include "game_fixture.h"
#include "platform/gdi.h"
#include "platform/system.h"

namespace hooks = platform::testing;

namespace {

class DisplayOpsTest : public GameTest {
 protected:
  // Gives a surface a known picture: the value of `value(x, y)` at every pixel.
  template <typename Value>
  void paint(platform::Surface* surface, int width, int height, Value value) {
    platform::SurfaceDesc locked;
    ASSERT_FALSE(platform::failed(platform::lock(surface, nullptr, &locked, platform::ddlock_wait)));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) locked.memory[y * locked.pitch + x] = static_cast<std::uint8_t>(value(x, y));
    }
    ASSERT_FALSE(platform::failed(platform::unlock(surface, nullptr)));
  }

  std::uint8_t back(int x, int y) { return hooks::pixel(display.back_buffer, x, y); }
};

TEST_F(DisplayOpsTest, TheBackgroundCopyLeavesTheLastColumnAndRowAlone) {
  paint(display.rink, 640, 480, [](int, int) { return 5; });
  paint(display.back_buffer, 640, 480, [](int, int) { return 9; });
  ASSERT_TRUE(blit_background(match.canvas));
  EXPECT_EQ(back(0, 0), 5);
  EXPECT_EQ(back(638, 478), 5);
  EXPECT_EQ(back(639, 10), 9);
  EXPECT_EQ(back(10, 479), 9);
  fail_background();
  EXPECT_FALSE(blit_background(match.canvas));
  EXPECT_THAT(draws(), testing::ElementsAre("background", "background"));
}

TEST_F(DisplayOpsTest, SpritesAreKeyedAndClippedAtTheScreenEdges) {
  platform::Surface* image = display.sprites[sprite_index(SpriteId::up1)];
  paint(image, 64, 64, [](int x, int) { return x < 10 ? sprite_color_key : 30 + x % 10; });
  paint(display.back_buffer, 640, 480, [](int, int) { return 1; });
  ASSERT_TRUE(blit_sprite(match.canvas, SpriteId::up1, 600, 440));  // runs off the right and bottom
  EXPECT_EQ(back(605, 445), 1);                       // transparent column
  EXPECT_EQ(back(615, 445), 35);
  EXPECT_EQ(back(638, 478), 38);
  EXPECT_EQ(back(639, 445), 1);
  EXPECT_EQ(back(615, 479), 1);
  ASSERT_TRUE(blit_sprite(match.canvas, SpriteId::up1, -30, -30));  // and off the left and top
  EXPECT_EQ(back(0, 0), 30);
  EXPECT_EQ(draws()[0], blit_line(SpriteId::up1, 600, 440));
  fail_sprite(SpriteId::up1);
  EXPECT_FALSE(blit_sprite(match.canvas, SpriteId::up1, 100, 100));
}

TEST_F(DisplayOpsTest, ThePuckIsItsCornerOfFifteenScaledToNine) {
  paint(display.sprites[sprite_index(SpriteId::puck)], 16, 16, [](int x, int y) { return x == 15 || y == 15 ? 99 : 20; });
  paint(display.back_buffer, 640, 480, [](int, int) { return 1; });
  ASSERT_TRUE(blit_puck(match.canvas, 300, 250));
  for (int y = 250; y < 259; ++y) {
    for (int x = 300; x < 309; ++x) ASSERT_EQ(back(x, y), 20) << x << "," << y;  // row and column 15 never show
  }
  EXPECT_EQ(back(309, 250), 1);
  EXPECT_EQ(back(300, 259), 1);
  EXPECT_EQ(draws().back(), puck_line(300, 250));
}

TEST_F(DisplayOpsTest, TextKeepsOneDeviceContextUntilThePresent) {
  ASSERT_TRUE(draw_text(match.canvas, 10, 450, colour_blue, "Player One Score: 3 "));
  ASSERT_TRUE(draw_text(match.canvas, 300, 450, colour_red, "Computer Score: 0 "));
  hooks::fail_call(hooks::Call::get_dc);  // a second request would now fail: none is made
  ASSERT_TRUE(draw_text(match.canvas, 300, 463, colour_green, "You Win!!! Press N for new game"));
  present_frame(match.canvas);
  EXPECT_FALSE(draw_text(match.canvas, 10, 465, colour_blue, "Press d to drop the puck"));  // the planned refusal
  ASSERT_TRUE(draw_text(match.canvas, 10, 465, colour_blue, "Press d to drop the puck"));
  present_frame(match.canvas);
  EXPECT_EQ(backend().present_count(), 2);
  EXPECT_THAT(draws(), testing::ElementsAre("text,10,450,0000FF,\"Player One Score: 3 \"",
                                            "text,300,450,FF0000,\"Computer Score: 0 \"",
                                            "text,300,463,00FF00,\"You Win!!! Press N for new game\"", "present",
                                            "text,10,465,0000FF,\"Press d to drop the puck\"",
                                            "text,10,465,0000FF,\"Press d to drop the puck\"", "present"));
}

TEST_F(DisplayOpsTest, APresentRetriesTheFlipUntilItSucceeds) {
  hooks::fail_call(hooks::Call::flip, 1, 3);
  present_frame(match.canvas);
  EXPECT_EQ(backend().present_count(), 1);
}

TEST_F(DisplayOpsTest, ABoxAFrameAsksForWaitsForThePassToEndAndStartUpsBoxesShowAtOnce) {
  ask_message(match.canvas, "Unable to blit", "eror");
  EXPECT_TRUE(backend().messages().empty()) << "shown before the pass ended";
  EXPECT_EQ(draws().back(), "message,\"Unable to blit\",\"eror\"");
  show_asked_message(match.canvas);
  show_asked_message(match.canvas);  // shown once
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, "Unable to blit");
  EXPECT_EQ(messages()[0].caption, "eror");
  show_message(display, "error1", "error", "hockeyrink.bmp: cut short");
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[1].text, "error1");
}

}  // namespace
