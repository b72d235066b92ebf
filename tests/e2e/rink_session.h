#pragma once
// The game as a player meets it: the real `rink` program on a private X screen, with what a
// test needs to drive it and to read its picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "image.h"
#include "platform/keys.h"
#include "platform/sharp_scaler.h"
#include "process.h"
#include "x_screen.h"

namespace e2e {

constexpr int picture_width = 640;
constexpr int picture_height = 480;
// The title the desktop shows for the game's window: the game's name (the game's own title for
// its window stays inside the window layer).
constexpr const char* game_title = "Rink";

// Where a screen shows the game's picture, centred: filling the largest 4:3 area (the game's
// default) or enlarged by whole factors (--scale whole).
Rect placement_on(int screen_width, int screen_height, platform::ScaleMode scale = platform::ScaleMode::sharp);

// The renderers a desktop gives the game: SDL's software one, and OpenGL wherever there is a
// GL driver (what most desktops get).
inline const auto each_renderer = ::testing::Values(std::string("software"), std::string("opengl"));
inline std::string renderer_name(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

// The keys of a set by the keysym names XScreen presses them by, in a game of `players`.
std::set<std::string> x_key_names(const platform::KeySet& keys, int players = 1);

// A file of the build tree (the program and the bitmaps lie at its top).
std::filesystem::path build_file(const std::string& name);

// What the file holds; empty when it cannot be read.
std::string file_text(const std::filesystem::path& file);

// A fresh directory, removed with everything in it when this goes away.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Each test gets its own X screen and starts the game on it.
class RinkTest : public ::testing::Test {
 protected:
  // A screen of the picture's own size reads back quickest; a larger one shows the scaling.
  explicit RinkTest(int screen_width = picture_width, int screen_height = picture_height,
                    std::string renderer = "software");
  ~RinkTest() override;

  // Whether the renderer can be had on this machine: OpenGL needs a GL driver installed.
  bool renderer_available() const;
  // The renderer SDL gives a window opened as the game opens its own, when the renderer asked
  // for is `renderer_`: SDL would quietly fall back to another one.
  std::string renderer_given() const;
  // The game's environment on this screen, with the renderer under test and `also` (NAME=VALUE).
  Environment game_environment(const std::vector<std::string>& also = {}) const;
  // Starts the program (the build's own, or a copy elsewhere with its bitmaps beside it), with
  // these arguments and variables of the environment; "--scale whole" among the arguments places
  // the picture by whole factors. `rink` is started with --no-hints: nothing over its frames.
  void start_game(const std::filesystem::path& program = build_file("rink"),
                  const std::vector<std::string>& arguments = {}, const std::vector<std::string>& environment = {});
  // The game's window, looked up afresh: SDL may replace the first one while it starts.
  std::optional<std::string> game_window() const;
  // Where the game's window shows the picture, wherever the window lies.
  Rect placement() const;
  // Waits until the game's window shows the rink, gives the window the keyboard and returns
  // that picture; the test has failed when this returns nothing.
  std::optional<Image> wait_for_rink();
  // The whole screen, and the game's picture on it back at 640 by 480.
  Image capture_screen() const { return screen_.capture(); }
  Image picture_of(const Image& screen) const;
  Image capture_picture() const { return picture_of(capture_screen()); }
  // Presses the key and holds it until `done` or `limit`, then lets it go; whether `done` came.
  template <class Done>
  bool hold_key_until(const std::string& key, Done done, Milliseconds limit);
  // The game's exit code once it has ended within `limit`.
  std::optional<int> wait_for_exit(Milliseconds limit) { return game_->wait_for_exit(limit); }
  // What the game wrote on its standard error.
  std::string game_errors() const;

  // Share of the rink bitmap's pixels that the picture shows unchanged, above the score band
  // (the figures and the puck hide the rest).
  double rink_share(const Image& picture) const;

  XScreen screen_;
  std::string renderer_;  // SDL's name of the renderer the game is asked to use
  platform::ScaleMode scale_ = platform::ScaleMode::sharp;  // as the game was started
  TemporaryDirectory work_;
  Bitmap rink_ = load_bitmap(build_file("hockeyrink.bmp").string());
  std::unique_ptr<Process> game_;
};

// A test that begins with the game running and showing the rink.
class RunningGameTest : public RinkTest {
 protected:
  RunningGameTest(int screen_width, int screen_height, std::string renderer, std::vector<std::string> arguments = {})
      : RinkTest(screen_width, screen_height, std::move(renderer)), arguments_(std::move(arguments)) {}

  void SetUp() override {
    if (!renderer_available()) GTEST_SKIP() << "no GL driver is installed here";
    ASSERT_EQ(renderer_given(), renderer_);
    start_game(build_file("rink"), arguments_);
    std::optional<Image> first = wait_for_rink();
    ASSERT_TRUE(first);
    first_picture_ = std::move(*first);
  }

  std::vector<std::string> arguments_;
  Image first_picture_;  // the first that showed the rink
};

template <class Done>
bool RinkTest::hold_key_until(const std::string& key, Done done, Milliseconds limit) {
  screen_.key_down(key);
  const bool reached = poll_until(limit, done);
  screen_.key_up(key);
  return reached;
}

}  // namespace e2e
