// A controller in the standard layout holds the same game keys on every backend: its buttons by
// their place, its left stick past the dead zone, diagonals included, for the player it plays.
#include <gtest/gtest.h>

#include <array>

#include "platform/input_map.h"
#include "platform/keys.h"

namespace platform {
namespace {

constexpr int button_count = 17;  // a standard gamepad's buttons, the guide button last

KeySet keys_with(std::initializer_list<PadButton> pressed, double x = 0, double y = 0, int player = 1) {
  std::array<int, button_count> buttons{};
  for (const PadButton button : pressed) buttons[static_cast<int>(button)] = 1;
  return standard_pad_keys(buttons.data(), button_count, x, y, player);
}

TEST(PadMapping, ButtonsHoldTheirKeysAndStartHoldsBothRestarts) {
  EXPECT_EQ(keys_with({}), KeySet{});
  EXPECT_EQ(keys_with({PadButton::south, PadButton::east}), (KeySet{vk_space, vk_return}));
  EXPECT_EQ(keys_with({PadButton::start}), (KeySet{vk_d, vk_n}));
  EXPECT_EQ(keys_with({PadButton::back}), KeySet{vk_escape});
  EXPECT_EQ(keys_with({PadButton::dpad_left, PadButton::dpad_up}), (KeySet{vk_left, vk_up}));
  EXPECT_EQ(keys_with({PadButton::west, PadButton::north}), KeySet{}) << "west and north hold nothing";
}

TEST(PadMapping, TheStickHoldsArrowsOnlyPastTheDeadZone) {
  EXPECT_EQ(keys_with({}, stick_dead_zone, -stick_dead_zone), KeySet{});
  EXPECT_EQ(keys_with({}, 0.2, 0.9), KeySet{vk_down});
  EXPECT_EQ(keys_with({}, -0.7, -0.7), (KeySet{vk_left, vk_up}));
  EXPECT_EQ(keys_with({PadButton::south}, 1.0, 0.3), (KeySet{vk_right, vk_down, vk_space}));
}

TEST(PadMapping, PlayerTwosControllerSkatesShootsAndChecksAsPlayerTwo) {
  EXPECT_EQ(keys_with({PadButton::south, PadButton::east}, -0.9, 0.9, 2),
            (KeySet{vk_p2_shoot, vk_p2_check, vk_p2_left, vk_p2_down}));
  EXPECT_EQ(keys_with({PadButton::start, PadButton::back}, 0, 0, 2), (KeySet{vk_d, vk_n, vk_escape}));
}

TEST(PadMapping, AShortButtonListReadsNoFurther) {
  const int pressed[] = {1, 0};  // a controller that reports two buttons only
  EXPECT_EQ(standard_pad_keys(pressed, 2, 0, 0, 1), KeySet{vk_space});
}

}  // namespace
}  // namespace platform
