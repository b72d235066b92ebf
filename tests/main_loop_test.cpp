// The shell: window class and window, start-up, one message and one frame per pass, the exit.

#include <algorithm>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "build_tree.h"
#include "game_fixture.h"
#include "process_state.h"

#include "app/main_loop.h"
#include "display/display_ops.h"
#include "display/startup.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/system.h"
#include "platform/testing.h"
#include "platform/window_events.h"

namespace hooks = platform::testing;

namespace {

struct FrameCounter : LoopObserver {
  void on_start(Match& match) override { window = match.canvas.display->window; }
  void after_frame(int result) override {
    ++frames;
    if (result == 1) ++completed;
  }
  platform::Window window = nullptr;  // the game's
  int frames = 0;
  int completed = 0;
};

class MainLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_game(screen);
  }
  void TearDown() override {
    hooks::clear_failures();
    EXPECT_EQ(hooks::live_objects(), 0) << "teardown left display objects behind";
    platform::use_backend(nullptr);
  }

  // The game's window, made without the rest of the shell.
  static platform::Window game_window() {
    platform::WindowClass window_class;
    window_class.procedure = rink_window_proc;
    window_class.class_name = "WINCLASS1";
    EXPECT_NE(platform::register_class(window_class), 0);
    return platform::create_window(0, "WINCLASS1", "", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  }

  int run(std::vector<platform::KeySet> lines) {
    screen.load_script(std::move(lines));
    return win_main(nullptr, {1, &frames, nullptr, nullptr});
  }

  platform::HeadlessBackend screen;
  FrameCounter frames;
};

TEST_F(MainLoopTest, EveryPassRunsAFrameAndTheScriptsEndQuits) {
  EXPECT_EQ(run({{}, {VK_RIGHT}, {VK_RIGHT}}), 0);
  EXPECT_EQ(frames.frames, 3);
  EXPECT_EQ(frames.completed, 3);
  EXPECT_EQ(screen.present_count(), 3);
  EXPECT_EQ(screen.slept_ms(), 300u);
}

TEST_F(MainLoopTest, EscapeFinishesItsFrameAndEndsTheLoopWithCodeZero) {
  EXPECT_EQ(run({{}, {VK_ESCAPE}, {}, {}, {}}), 0);
  EXPECT_EQ(frames.frames, 2);
  EXPECT_EQ(frames.completed, 2);  // the Escape frame still ran to its end and paused...
  EXPECT_EQ(screen.slept_ms(), 200u);
  EXPECT_EQ(screen.present_count(), 1);  // ...but its window was gone, so its flip showed nothing
  EXPECT_FALSE(screen.window_open());
  EXPECT_FALSE(platform::is_window(frames.window));
}

// The display server went away: the flip that finds it gone ends the game like a close, instead
// of being retried for ever.
TEST_F(MainLoopTest, AScreenGoneForGoodEndsTheGameLikeAClose) {
  struct LoseTheScreen : FrameCounter {
    explicit LoseTheScreen(platform::HeadlessBackend& backend) : backend(backend) {}
    void after_frame(int result) override {
      FrameCounter::after_frame(result);
      if (frames == 2) backend.lose_display();
    }
    platform::HeadlessBackend& backend;
  } observer(screen);
  screen.load_script(std::vector<platform::KeySet>(50));
  testing::internal::CaptureStderr();
  EXPECT_EQ(win_main(nullptr, {1, &observer, nullptr, nullptr}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "rink: the screen is gone; the game ends\n");
  EXPECT_EQ(observer.frames, 3);  // the frame whose flip failed finished, then the loop ended
  EXPECT_EQ(screen.present_count(), 2);
  EXPECT_FALSE(screen.window_open());
}

// Close requests and paints come from outside the game at any rate: a thousand exposes are one
// paint, and a close is never lost behind them; the closed window is painted no more.
TEST_F(MainLoopTest, PaintsAreOneMessageAndACloseComesBeforeThem) {
  platform::Window window = game_window();
  const auto take_all = [] {
    std::vector<std::uint32_t> taken;
    platform::Message m;
    while (platform::peek_message(&m, nullptr, 0, 0, platform::pm_remove)) {
      taken.push_back(m.message);
      if (m.message != platform::wm_quit) platform::dispatch_message(&m);
    }
    return taken;
  };
  for (int i = 0; i < 1000; ++i) platform::report_expose();
  EXPECT_EQ(take_all(), std::vector<std::uint32_t>{platform::wm_paint});
  for (int i = 0; i < 1000; ++i) platform::report_expose();
  platform::report_close_request();
  EXPECT_EQ(take_all(), (std::vector<std::uint32_t>{platform::wm_close, platform::wm_quit}));
  EXPECT_FALSE(platform::is_window(window));
}

TEST_F(MainLoopTest, AClassThatCannotBeRegisteredStartsNothing) {
  hooks::fail_call(hooks::Call::register_class);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run({{}}), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "rink: the window class could not be registered\n");
  EXPECT_FALSE(screen.window_open());
  EXPECT_EQ(frames.frames, 0);
  EXPECT_TRUE(screen.messages().empty());
}

TEST_F(MainLoopTest, AWindowThatCannotBeCreatedStartsNothing) {
  hooks::fail_call(hooks::Call::create_window);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run({{}}), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "rink: the game window could not be opened: the window could not be created\n");
  EXPECT_EQ(frames.frames, 0);
}

TEST_F(MainLoopTest, AFailedStartUpRunsNoFrameAndNamesTheStep) {
  hooks::fail_call(hooks::Call::set_display_mode);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run({{}, {}}), 1);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed.rfind("rink: start-up failed: ", 0), 0u) << printed;
  EXPECT_NE(printed.find("display mode"), std::string::npos) << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
  EXPECT_EQ(frames.frames, 0);
  EXPECT_EQ(screen.present_count(), 0);
}

TEST_F(MainLoopTest, TheWindowProcedureAnswersItsMessages) {
  platform::Window window = game_window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(platform::send_message(window, platform::wm_paint, 0, 0), 0);
  platform::Message m;
  EXPECT_FALSE(platform::peek_message(&m, nullptr, 0, 0, platform::pm_remove));
  platform::send_message(window, platform::wm_close, 0, 0);  // quits and destroys the window
  EXPECT_FALSE(platform::is_window(window));
  ASSERT_TRUE(platform::peek_message(&m, nullptr, 0, 0, platform::pm_remove));
  EXPECT_EQ(m.message, platform::wm_quit);
  EXPECT_EQ(m.wparam, 0u);
}

// With none of the game's files where it looks (no data folder at all), the game says so once,
// naming where it looked, and runs no start-up: not one box per picture. One picture there is
// a missing picture instead, under the game's own rules.
TEST_F(MainLoopTest, AMissingDataFolderIsOneLineAndOneBoxBeforeStartUp) {
  const TemporaryFolder folder("no-data");
  const std::filesystem::path& empty = folder.path();
  const WorkingDirectory working(empty);
  const SearchDirectory search(empty);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run({{}, {}}), 1);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors, "rink: the game's data folder is missing: none of the game's pictures is in " + empty.string() + "\n");
  ASSERT_EQ(screen.messages().size(), 1u);
  EXPECT_NE(screen.messages()[0].text.find(empty.string()), std::string::npos);
  EXPECT_EQ(frames.frames, 0);

  std::filesystem::copy_file(build_directory() / "hockeyrink.bmp", empty / "hockeyrink.bmp");
  hooks::reset_windows();
  testing::internal::CaptureStderr();
  EXPECT_EQ(run({{}}), 0);
  EXPECT_EQ(screen.messages().size(), 1 + sprite_count) << "a box for each missing sprite, and the game ran";
  EXPECT_NE(testing::internal::GetCapturedStderr().find("firstplayerone.bmp: not found"), std::string::npos);
  EXPECT_EQ(frames.frames, 1);
}

// A start a step at a time is the whole start: the window, then the display, then the match, each
// step leaving the next one's work undone; once it has ended it stays ended, and the passes run.
TEST_F(MainLoopTest, AStartAStepAtATimeOpensTheWindowThenTheDisplayThenTheMatch) {
  screen.load_script({{VK_RIGHT}, {VK_RIGHT}});
  GameShell shell({1, &frames, nullptr, nullptr, nullptr});
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::going);
  EXPECT_TRUE(screen.window_open());
  EXPECT_EQ(hooks::live_objects(), 0) << "the display started with the window";
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::going);
  EXPECT_GT(hooks::live_objects(), 0);
  EXPECT_EQ(frames.window, nullptr) << "the match was made with the display";
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::done);
  EXPECT_NE(frames.window, nullptr);
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::done);
  EXPECT_EQ(shell.pass().kind, LoopRest::Kind::pace);
  EXPECT_EQ(shell.pass().kind, LoopRest::Kind::pace);
  EXPECT_EQ(frames.completed, 2);
  EXPECT_EQ(screen.present_count(), 2);
  EXPECT_EQ(shell.finish(), 1) << "no quit request came";
}

// A step that fails ends the start there, for good: no later step runs, and finish() gives 1.
TEST_F(MainLoopTest, AStartStepThatFailsEndsTheStart) {
  hooks::fail_call(hooks::Call::set_display_mode);
  GameShell shell({1, &frames, nullptr, nullptr, nullptr});
  testing::internal::CaptureStderr();
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::going);
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::failed);
  EXPECT_EQ(shell.start_step(nullptr), GameShell::Start::failed);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
  EXPECT_EQ(frames.window, nullptr);
  EXPECT_EQ(shell.finish(), 1);
}

}  // namespace
