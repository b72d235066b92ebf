// Start-up as a player meets it: a missing picture file, and no display at all.

#include "display/sprites.h"
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

using StartupTest = RinkTest;

// The puck's file is missing: its box names the problem, Return dismisses it and the game
// carries on without that picture.
TEST_F(StartupTest, AMissingPictureShowsItsMessageAndTheGameRunsOn) {
  const SpriteEntry& puck = sprite_entry(SpriteId::puck);
  copy_game_without(work_.path(), puck.file);
  screen_.move_pointer(0, 0);  // off the box's button, which the pointer would light up
  start_game(work_.path() / "rink");

  // Found by its title: the caption is right.
  const std::optional<std::string> box = screen_.wait_for_window(box_caption, 10s);
  ASSERT_TRUE(box) << "no message box captioned \"error\"; the game's errors: " << game_errors();
  const Image shown = screen_.capture_window(*box);

  screen_.focus(*box);
  screen_.key_down("Return");
  screen_.key_up("Return");
  EXPECT_TRUE(poll_until(5s, [&] { return screen_.windows_titled(box_caption).empty(); }))
      << "Return did not dismiss the box";
  EXPECT_TRUE(wait_for_rink()) << "the game did not run on";

  // The same box drawn for the text and caption the game should have used.
  Process reference({.argv = {build_file("e2e_message_box").string(), box_caption, puck.message},
                     .environment = screen_.environment()});
  const std::optional<std::string> reference_box = screen_.wait_for_window(box_caption, 10s);
  ASSERT_TRUE(reference_box);
  const Image expected = screen_.capture_window(*reference_box);
  EXPECT_EQ(shown.width, expected.width);
  EXPECT_EQ(shown.height, expected.height);
  EXPECT_TRUE(shown.pixels == expected.pixels) << "the box does not read \"" << puck.message << '"';
}

// With nowhere to show a window, the game says so in one line and fails.
TEST(StartupWithoutDisplay, EndsWithOneLineOnStandardErrorAndExitCodeOne) {
  const TemporaryDirectory work;
  const std::filesystem::path errors = work.path() / "stderr.txt";
  Process game({.argv = {build_file("rink").string()},
                .environment = environment_with({}, {"DISPLAY", "WAYLAND_DISPLAY",
                                                     "SDL_VIDEODRIVER"}),
                .stderr_path = errors.string()});
  const std::optional<int> exit_code = game.wait_for_exit(5s);
  ASSERT_TRUE(exit_code) << "the game still runs after five seconds";
  EXPECT_EQ(*exit_code, 1);
  const std::string message = file_text(errors);
  ASSERT_FALSE(message.empty());
  EXPECT_EQ(message.find('\n'), message.size() - 1) << "not one line: " << message;
  EXPECT_NE(message.find("display"), std::string::npos) << message;
}

}  // namespace
}  // namespace e2e
