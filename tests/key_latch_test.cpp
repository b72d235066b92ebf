// What a backend with a keyboard hands the game: keys constant between pumps, taps never lost,
// and the message box's shared rules.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/key_latch.h"
#include "platform/message_box_picture.h"

namespace {

using platform::KeyLatch;

TEST(KeyLatchTest, AKeyCountsFromThePumpAfterItWentDownUntilThePumpAfterItCameUp) {
  KeyLatch keys;
  keys.press(platform::vk_right);
  EXPECT_FALSE(keys.held(platform::vk_right)) << "the game sees nothing until the next pump";
  keys.pump();
  EXPECT_TRUE(keys.held(platform::vk_right));
  keys.release(platform::vk_right);
  EXPECT_TRUE(keys.held(platform::vk_right)) << "what the game reads changed between two pumps";
  keys.pump();
  EXPECT_FALSE(keys.held(platform::vk_right));
}

TEST(KeyLatchTest, ATapBetweenTwoPumpsIsHeldForOnePumpOnly) {
  KeyLatch keys;
  keys.press(platform::vk_space);
  keys.release(platform::vk_space);
  keys.pump();
  EXPECT_TRUE(keys.held(platform::vk_space));
  EXPECT_FALSE(keys.held(platform::vk_left));
  keys.pump();
  EXPECT_FALSE(keys.held(platform::vk_space));
}

TEST(KeyLatchTest, LosingTheKeyboardLetsEveryKeyUpButKeepsATapAndIgnoresOtherKeys) {
  KeyLatch keys;
  keys.press(platform::vk_up);
  keys.pump();
  keys.press(platform::vk_d);
  keys.press(0x41);  // 'A': not a key of the game
  keys.release_all();
  keys.pump();
  EXPECT_FALSE(keys.held(platform::vk_up));
  EXPECT_TRUE(keys.held(platform::vk_d));
  EXPECT_FALSE(keys.held(0x41));
  keys.pump();
  EXPECT_FALSE(keys.held(platform::vk_d));
}

// The desktop reads what is held from SDL and gives the latch only the taps.
TEST(KeyLatchTest, TapsCountOnceBesideTheBackendsOwnViewAndTapsABoxTookAreForgotten) {
  KeyLatch keys;
  keys.tap(platform::vk_left);
  keys.pump([](int vk) { return vk == platform::vk_n; });
  EXPECT_TRUE(keys.held(platform::vk_left));
  EXPECT_TRUE(keys.held(platform::vk_n));
  keys.tap(platform::vk_return);
  keys.forget_presses();
  keys.pump([](int) { return false; });
  EXPECT_FALSE(keys.held(platform::vk_left)) << "a tap stuck";
  EXPECT_FALSE(keys.held(platform::vk_return)) << "the box's key reached the game";
  EXPECT_FALSE(keys.held(platform::vk_n));
}

TEST(MessageBoxPictureTest, ShowsOverTheLastPictureOrOverBlackBeforeThereWasOne) {
  const platform::MessageBoxPicture box("error5", "error", 640, 480);
  const std::vector<std::uint32_t> before_any = box.over(platform::TruePicture{});
  ASSERT_EQ(before_any.size(), 640u * 480u);
  EXPECT_EQ(before_any[0], 0u);
  const platform::Rect frame = box.frame();
  EXPECT_NE(before_any[static_cast<std::size_t>(frame.top + 1) * 640 + frame.left + 1], 0u) << "no box drawn";

  const std::vector<std::uint8_t> grey(640 * 480, 7);
  platform::PaletteEntry palette[256]{};
  palette[7] = {0x40, 0x50, 0x60, 0};
  platform::TruePicture last;
  last.update(grey.data(), 640, 480, 640, palette, {true, nullptr, 0});
  const std::vector<std::uint32_t> over_last = box.over(last);
  EXPECT_EQ(over_last[0], 0x405060u);
  EXPECT_EQ(std::count(over_last.begin(), over_last.end(), 0x405060u),
            640 * 480 - (frame.right - frame.left) * (frame.bottom - frame.top));
}

TEST(MessageBoxPictureTest, ReturnSpaceAndEscapeAnswerABoxAndNoOtherKeyDoes) {
  for (const platform::ScriptKey& key : platform::script_keys) {
    const bool answers = key.vk == platform::vk_return || key.vk == platform::vk_space || key.vk == platform::vk_escape;
    EXPECT_EQ(platform::MessageBoxPicture::answered_by(key.vk), answers) << key.name;
  }
}

}  // namespace
