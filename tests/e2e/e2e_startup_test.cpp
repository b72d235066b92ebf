// Start-up as a player meets it: a missing picture file, and no display at all.

#include <gmock/gmock.h>

#include <algorithm>

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
// core fonts, and standard error keeps the text. The screen is a laptop's, on which the picture
// fills the height at no whole factor, so that a click finds OK through the scaling.
class StartupTest : public RinkTest, public ::testing::WithParamInterface<std::string> {
 protected:
  StartupTest() : RinkTest(1440, 900, GetParam()) {}

  void SetUp() override {
    if (!renderer_available()) GTEST_SKIP() << "no GL driver is installed here";
    ASSERT_EQ(renderer_given(), renderer_);
    copy_game_without(work_.path(), puck_.file);
  }

  // Starts the game with these arguments and waits for its box.
  void start_with_box(const std::vector<std::string>& arguments = {}) {
    start_game(work_.path() / "rink", arguments);
    const bool shown = poll_until(10s, [&] { return shows_the_box(); });
    ASSERT_TRUE(shown) << "no box reading \"" << puck_.message << "\"; the game's errors: " << game_errors();
    // The box keeps the game's text; standard error names the file and the reason too.
    EXPECT_THAT(game_errors(), ::testing::HasSubstr(std::string("rink: error: ") + puck_.message + ": " + puck_.file +
                                                    ": not found\n"));
  }

  bool shows_the_box() const {
    try {
      return capture_picture().pixels == box_over_black(box_).pixels;
    } catch (const std::runtime_error&) {
      return false;  // no window yet
    }
  }

  // The middle of the OK button on the screen. The game fills the screen, so this is known
  // before its window exists.
  Point ok_on_screen() const {
    const Rect where = placement_on(1440, 900);
    const platform::Rect& ok = box_.ok_button();
    return {where.x + (ok.left + ok.right) / 2 * where.width / picture_width,
            where.y + (ok.top + ok.bottom) / 2 * where.height / picture_height};
  }

  void tap(const std::string& key) {
    screen_.key_down(key);
    screen_.key_up(key);
  }

  // The game runs on: the rink shows, and the computer skater moves on it.
  void expect_the_game_runs_on() {
    const std::optional<Image> first = wait_for_rink();
    ASSERT_TRUE(first) << (game_->running() ? "the game did not run on" : "the game ended");
    EXPECT_TRUE(poll_until(5s, [&] { return capture_picture().pixels != first->pixels; }))
        << "the picture stands still";
    EXPECT_TRUE(game_->running()) << "the game ended; its errors: " << game_errors();
  }

  const SpriteEntry& puck_ = sprite_entry(SpriteId::puck);
  const platform::MessageBoxPicture box_{puck_.message, box_caption, picture_width, picture_height};
};

// Without a window manager and without giving the game the focus, as a new player would.
TEST_P(StartupTest, ReturnAnswersTheBoxAtOnceAndTheGameRunsOn) {
  start_with_box();
  tap("Return");
  EXPECT_TRUE(wait_for_rink()) << "the game did not run on";
}

// The pointer lies on OK before the game starts: the click alone answers the box.
TEST_P(StartupTest, AClickOnOkAnswersTheBox) {
  const Point ok = ok_on_screen();
  screen_.move_pointer(ok.x, ok.y);
  start_with_box();
  ASSERT_TRUE(screen_.xdotool({"click", "1"}));
  EXPECT_TRUE(wait_for_rink()) << "the game did not run on";
}

// Pointer moves, a click beside OK, a key the box does not take and the focus going away and
// coming back: the box stays, unchanged, until Return answers it.
TEST_P(StartupTest, TheBoxHoldsThroughMovesClicksOtherKeysAndFocusChanges) {
  start_with_box();
  const Point ok = ok_on_screen();
  screen_.move_pointer(ok.x + 100, ok.y - 60);
  screen_.move_pointer(ok.x, ok.y);
  screen_.move_pointer(10, 10);
  ASSERT_TRUE(screen_.xdotool({"click", "1"}));
  tap("a");
  screen_.focus_nothing();
  const std::optional<std::string> window = game_window();
  ASSERT_TRUE(window);
  screen_.focus(*window);
  EXPECT_FALSE(poll_until(2s, [&] { return !shows_the_box(); })) << "the box went away unanswered";
  EXPECT_TRUE(game_->running());
  tap("Return");
  EXPECT_TRUE(wait_for_rink()) << "the box did not take Return after all that";
}

// Escape answers the box and is the box's: it does not end the game.
TEST_P(StartupTest, EscapeOnTheBoxDoesNotEndTheGame) {
  start_with_box();
  tap("Escape");
  expect_the_game_runs_on();
}

// Return held down on the box answers it and never reaches the game, not even while it stays
// down for frames after: the game's own recording of the keys it read holds no Return.
TEST_P(StartupTest, ReturnOnTheBoxDoesNotBodyCheck) {
  const std::filesystem::path keys = work_.path() / "session.keys";
  start_with_box({"--record", keys.string()});
  screen_.key_down("Return");
  const bool frames_ran = wait_for_rink() && poll_until(10s, [&] {
    const std::string recorded = file_text(keys);
    return std::count(recorded.begin(), recorded.end(), '\n') > 10;
  });
  screen_.key_up("Return");
  ASSERT_TRUE(frames_ran) << "the game did not run on; its errors: " << game_errors();
  const std::string recorded = file_text(keys);
  EXPECT_THAT(recorded, ::testing::Not(::testing::HasSubstr("Return"))) << "the game read the box's Return";
  EXPECT_TRUE(game_->running());
}

INSTANTIATE_TEST_SUITE_P(Renderers, StartupTest, each_renderer, renderer_name);

// The game alone, with none of its data where it looks: one box and one line that name where it
// looked, and once the box is answered the game ends with code 1, showing no rink.
class MissingDataTest : public RinkTest {};

TEST_F(MissingDataTest, OneBoxOneLineThenExitCodeOne) {
  std::filesystem::copy_file(build_file("rink"), work_.path() / "rink");
  start_game(work_.path() / "rink");
  const std::string caption = "the game's data folder is missing";
  const std::string prefix = "rink: " + caption + ": ";
  // (A machine without a sound device adds its own line about that.)
  const auto fault_line = [&] {
    const std::string errors = game_errors();
    const std::size_t start = errors.find(prefix);
    return start == std::string::npos ? std::string() : errors.substr(start, errors.find('\n', start) + 1 - start);
  };
  ASSERT_TRUE(poll_until(10s, [&] { return !fault_line().empty(); })) << "no line; the game's errors: " << game_errors();
  const std::string line = fault_line();
  EXPECT_EQ(line.rfind(prefix + "none of the game's pictures is in ", 0), 0u) << line;
  EXPECT_NE(line.find(work_.path().string()), std::string::npos) << line;
  EXPECT_THAT(game_errors(), ::testing::Not(::testing::HasSubstr(".bmp"))) << "a box for a picture";
  EXPECT_THAT(game_errors(), ::testing::Not(::testing::HasSubstr(".wav"))) << "a line for a sound";
  // The box says what the line says.
  const platform::MessageBoxPicture box(line.substr(prefix.size(), line.size() - prefix.size() - 1).c_str(),
                                        caption.c_str(), picture_width, picture_height);
  const auto shows_the_box = [&] {
    try {
      return capture_picture().pixels == box_over_black(box).pixels;
    } catch (const std::runtime_error&) {
      return false;  // no window yet
    }
  };
  EXPECT_TRUE(poll_until(10s, shows_the_box)) << "the box does not show the line's text";
  screen_.key_down("Return");
  screen_.key_up("Return");
  const std::optional<int> exit_code = wait_for_exit(10s);
  ASSERT_TRUE(exit_code) << "the game runs on after its box";
  EXPECT_EQ(*exit_code, 1);
  EXPECT_THAT(game_errors(), ::testing::Not(::testing::HasSubstr(".bmp"))) << "a box for a picture after the first";
}

// With nowhere to show a window, the game says so in one line and fails: with no display named,
// and with an X display named that is not there (where SDL, after X11, would try Wayland, whose
// library complains about XDG_RUNTIME_DIR on a line of its own before the game's).
TEST(StartupWithoutDisplay, EndsWithOneLineOnStandardErrorAndExitCodeOne) {
  const TemporaryDirectory work;
  const std::string absent_x = "DISPLAY=" + (work.path() / "no-x-server").string() + ":0";
  // (What the libraries under SDL keep to the end is no concern of this test's lines.)
  const std::string no_leak_check = "ASAN_OPTIONS=detect_leaks=0";
  for (const std::vector<std::string>& set :
       {std::vector<std::string>{no_leak_check}, std::vector<std::string>{no_leak_check, absent_x}}) {
    SCOPED_TRACE(set.size() == 1 ? "no display" : absent_x);
    const std::filesystem::path errors = work.path() / "stderr.txt";
    Process game({.argv = {build_file("rink").string()},
                  .environment = environment_with(set, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER",
                                                        "XDG_RUNTIME_DIR"}),
                  .stderr_path = errors.string()});
    const std::optional<int> exit_code = game.wait_for_exit(10s);
    ASSERT_TRUE(exit_code) << "the game still runs after ten seconds";
    EXPECT_EQ(*exit_code, 1);
    const std::string message = file_text(errors);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "not one line: " << message;
    EXPECT_EQ(message.rfind("rink: ", 0), 0u) << message;
    EXPECT_NE(message.find("display"), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace e2e
