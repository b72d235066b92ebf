// What a backend with a keyboard hands the game: keys constant between pumps, taps never lost,
// and the message box's shared rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "platform/key_latch.h"
#include "platform/message_box_picture.h"
#include "platform/modal_waits.h"

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

// A box answered with Return held on the keyboard while a controller's button holds Return too:
// the game sees no Return until both are let go, then a new press counts again.
TEST(KeyLatchTest, AMaskedKeyStaysUpForTheGameUntilEverySourceLetsItGo) {
  KeyLatch keys;
  bool pad_holds_return = true;
  const auto pad = [&](int vk) { return vk == platform::vk_return && pad_holds_return; };
  keys.press(platform::vk_return);
  keys.press(platform::vk_left);
  keys.pump(pad);
  ASSERT_TRUE(keys.held(platform::vk_return));
  keys.mask_until_released(platform::vk_return);
  EXPECT_FALSE(keys.held(platform::vk_return)) << "the rest of the frame still saw it";
  keys.pump(pad);
  EXPECT_FALSE(keys.held(platform::vk_return));
  EXPECT_TRUE(keys.held(platform::vk_left)) << "only the masked key is hidden";
  keys.release(platform::vk_return);
  keys.pump(pad);
  EXPECT_FALSE(keys.held(platform::vk_return)) << "the controller still holds it";
  pad_holds_return = false;
  keys.pump(pad);
  EXPECT_FALSE(keys.held(platform::vk_return));
  keys.press(platform::vk_return);
  keys.pump(pad);
  EXPECT_TRUE(keys.held(platform::vk_return)) << "a new press after the release is the game's";
}

// A screen whose inputs are given in advance; it keeps every picture it was asked to show.
class ScriptedScreen : public platform::PlayerScreen {
 public:
  explicit ScriptedScreen(std::deque<platform::InputEvent> inputs) : inputs_(std::move(inputs)) {}

  bool show_picture(const std::uint32_t* pixels, int width, int height) override {
    shown.emplace_back(pixels, pixels + static_cast<std::size_t>(width) * height);
    return true;
  }
  platform::InputEvent next_input(int) override {
    if (inputs_.empty()) {
      ADD_FAILURE() << "the box waits for more than was given";
      return {platform::InputEvent::Kind::window_gone};
    }
    const platform::InputEvent input = inputs_.front();
    inputs_.pop_front();
    return input;
  }

  std::vector<std::vector<std::uint32_t>> shown;
  std::size_t inputs_left() const { return inputs_.size(); }

 private:
  std::deque<platform::InputEvent> inputs_;
};

using Kind = platform::InputEvent::Kind;

TEST(ModalBoxTest, OnlyAnAnsweringKeyEndsTheBoxAndTheGameNeverSeesIt) {
  const platform::MessageBoxPicture box("error5", "error", 640, 480);
  const platform::Rect& ok = box.ok_button();
  ScriptedScreen screen({{Kind::none},
                         {Kind::key_down, 0x41},                       // 'A'
                         {Kind::key_down, platform::vk_left},          // a key of the game
                         {Kind::key_down, platform::vk_return, true},  // held from before the box
                         {Kind::click, 0, false, ok.left - 1, ok.top},
                         {Kind::key_down, platform::vk_escape},
                         {Kind::key_down, platform::vk_space}});
  KeyLatch keys;
  keys.tap(platform::vk_left);  // as the desktop's input does with every key that goes down
  keys.tap(platform::vk_escape);
  platform::run_message_box(screen, keys, platform::TruePicture{}, "error5", "error");
  EXPECT_EQ(screen.inputs_left(), 1u) << "not answered by Escape alone";
  ASSERT_EQ(screen.shown.size(), 2u);
  EXPECT_EQ(screen.shown[0], box.over(platform::TruePicture{}));
  EXPECT_EQ(screen.shown[1], std::vector<std::uint32_t>(640 * 480, 0)) << "the box stayed on the screen";
  keys.pump([](int vk) { return vk == platform::vk_escape; });  // still held after the box
  EXPECT_FALSE(keys.held(platform::vk_escape)) << "the box's Escape reached the game";
  EXPECT_FALSE(keys.held(platform::vk_left)) << "a key pressed on the box reached the game as a tap";
}

TEST(ModalBoxTest, AClickOnOkAnswersAndTheLastPictureComesBackWhileAClosedWindowEndsTheWait) {
  const std::vector<std::uint8_t> grey(640 * 480, 7);
  platform::PaletteEntry palette[256]{};
  palette[7] = {0x40, 0x50, 0x60, 0};
  platform::TruePicture last;
  last.update(grey.data(), 640, 480, 640, palette, {true, nullptr, 0});
  const platform::Rect ok = platform::MessageBoxPicture("error1", "error", 640, 480).ok_button();
  KeyLatch keys;
  ScriptedScreen clicked({{Kind::click, 0, false, ok.right - 1, ok.bottom - 1}});
  platform::run_message_box(clicked, keys, last, "error1", "error");
  ASSERT_EQ(clicked.shown.size(), 2u);
  EXPECT_TRUE(std::equal(clicked.shown[1].begin(), clicked.shown[1].end(), last.pixels()));

  ScriptedScreen closed({{Kind::window_gone}});
  platform::run_message_box(closed, keys, last, "error1", "error");
  EXPECT_EQ(closed.shown.size(), 1u) << "a window that is gone shows nothing more";
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
  for (const int vk : platform::game_keys) {
    const bool answers = vk == platform::vk_return || vk == platform::vk_space || vk == platform::vk_escape;
    EXPECT_EQ(platform::MessageBoxPicture::answered_by(vk), answers) << vk;
  }
}

}  // namespace
