// Start-up as a player meets it: a missing picture file, and no display at all.

#include <gmock/gmock.h>

#include "display/sprites.h"
#include "platform/message_box_picture.h"
#include "rink_session.h"

namespace e2e {
namespace {

constexpr const char* box_caption = "error";

// A copy of the program with every bitmap but one beside it.
void copy_game_without(const std::filesystem::path& directory, const std::string& missing) {
  namespace fs = std::filesystem;
  fs::copy_file(build_file("rink"), directory / "rink");
  fs::copy_file(build_file("hockeyrink.bmp"), directory / "hockeyrink.bmp");
  for (const SpriteEntry& entry : sprite_catalogue) {
    if (entry.file != missing) fs::copy_file(build_file(entry.file), directory / entry.file);
  }
}

// The picture of a box over a screen that showed nothing yet.
Image box_over_black(const platform::MessageBoxPicture& box) {
  Image picture{picture_width, picture_height, std::vector<Rgb>(picture_width * picture_height, 0)};
  box.draw_over(picture.pixels.data());
  return picture;
}

// The puck's file is missing: the game shows its box in its own window, on a screen without X
// core fonts, and standard error keeps the text.
class StartupTest : public RinkTest, public ::testing::WithParamInterface<std::string> {
 protected:
  StartupTest() : RinkTest(picture_width, picture_height, GetParam()) {}

  void SetUp() override {
    if (!renderer_available()) GTEST_SKIP() << "no GL driver is installed here";
    ASSERT_EQ(renderer_given(), renderer_);
    copy_game_without(work_.path(), puck_.file);
    start_game(work_.path() / "rink");
    const Image expected = box_over_black(box_);
    const bool shown = poll_until(10s, [&] {
      try {
        return capture_picture().pixels == expected.pixels;
      } catch (const std::runtime_error&) {
        return false;  // no window yet
      }
    });
    ASSERT_TRUE(shown) << "no box reading \"" << puck_.message << "\"; the game's errors: " << game_errors();
    EXPECT_THAT(game_errors(), ::testing::HasSubstr(std::string("rink: error: ") + puck_.message + "\n"));
  }

  const SpriteEntry& puck_ = sprite_entry(SpriteId::puck);
  const platform::MessageBoxPicture box_{puck_.message, box_caption, picture_width, picture_height};
};

// Without a window manager and without giving the game the focus, as a new player would.
TEST_P(StartupTest, ReturnAnswersTheBoxAtOnceAndTheGameRunsOn) {
  screen_.key_down("Return");
  screen_.key_up("Return");
  EXPECT_TRUE(wait_for_rink()) << "the game did not run on";
}

TEST_P(StartupTest, AClickOnOkAnswersTheBox) {
  const Placement where = placement();
  const platform::Rect& ok = box_.ok_button();
  screen_.move_pointer(where.area.x + (ok.left + ok.right) / 2 * where.scale,
                       where.area.y + (ok.top + ok.bottom) / 2 * where.scale);
  ASSERT_TRUE(screen_.xdotool({"click", "1"}));
  EXPECT_TRUE(wait_for_rink()) << "the game did not run on";
}

INSTANTIATE_TEST_SUITE_P(Renderers, StartupTest, each_renderer, renderer_name);

// With nowhere to show a window, the game says so in one line and fails.
TEST(StartupWithoutDisplay, EndsWithOneLineOnStandardErrorAndExitCodeOne) {
  const TemporaryDirectory work;
  const std::filesystem::path errors = work.path() / "stderr.txt";
  Process game({.argv = {build_file("rink").string()},
                .environment = environment_with({}, {"DISPLAY", "WAYLAND_DISPLAY",
                                                     "SDL_VIDEODRIVER"}),
                .stderr_path = errors.string()});
  const std::optional<int> exit_code = game.wait_for_exit(10s);
  ASSERT_TRUE(exit_code) << "the game still runs after ten seconds";
  EXPECT_EQ(*exit_code, 1);
  const std::string message = file_text(errors);
  ASSERT_FALSE(message.empty());
  EXPECT_EQ(message.find('\n'), message.size() - 1) << "not one line: " << message;
  EXPECT_NE(message.find("display"), std::string::npos) << message;
}

}  // namespace
}  // namespace e2e
