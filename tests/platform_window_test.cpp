// The window-manager stand-in, the headless key script, files and the random generator.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "platform/system.h"
#include "platform/testing.h"
#include "platform/window.h"
#include "process_state.h"

using namespace platform;
namespace hooks = platform::testing;

namespace {

std::vector<std::uint32_t> seen;  // messages that reached the window procedure, in order

LResult recording_proc(Window window, std::uint32_t message, WParam wparam, LParam lparam) {
  seen.push_back(message);
  if (message == wm_destroy) post_quit_message(7);
  return def_window_proc(window, message, wparam, lparam);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hooks::reset_windows();
    hooks::clear_failures();
    use_backend(&screen);
    seen.clear();
  }
  void TearDown() override { use_backend(nullptr); }

  Window open_window() {
    WindowClass window_class;
    window_class.procedure = recording_proc;
    window_class.class_name = "TESTCLASS";
    EXPECT_NE(register_class(window_class), 0);
    return create_window(0, "TESTCLASS", "test", ws_popup | ws_visible, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                         nullptr);
  }

  HeadlessBackend screen;
};

TEST_F(WindowTest, CreationSendsCreateAndCloseDestroysThroughTheDefaultProcedure) {
  Window window = open_window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(seen, std::vector<std::uint32_t>{wm_create});
  EXPECT_TRUE(screen.window_open());

  send_message(window, wm_close, 0, 0);  // handled before send returns
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{wm_create, wm_close, wm_destroy}));
  EXPECT_FALSE(is_window(window));
  EXPECT_FALSE(screen.window_open());
  EXPECT_EQ(send_message(window, wm_paint, 0, 0), 0);  // a destroyed window receives nothing
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(WindowTest, TheQuitRequestStaysUntilTakenAndCarriesItsCode) {
  open_window();
  post_quit_message(3);
  Message m;
  ASSERT_TRUE(peek_message(&m, nullptr, 0, 0, 0));  // looking without removing leaves it
  ASSERT_TRUE(peek_message(&m, nullptr, 0, 0, pm_remove));
  EXPECT_EQ(m.message, wm_quit);
  EXPECT_EQ(m.wparam, 3u);
  EXPECT_FALSE(peek_message(&m, nullptr, 0, 0, pm_remove));
}

TEST_F(WindowTest, RegistrationAndCreationFailWhenPlannedOrWithoutAClass) {
  hooks::fail_call(hooks::Call::register_class);
  WindowClass window_class;
  window_class.procedure = recording_proc;
  window_class.class_name = "OTHER";
  EXPECT_EQ(register_class(window_class), 0);
  EXPECT_NE(register_class(window_class), 0);
  EXPECT_EQ(register_class(window_class), 0);  // already registered
  hooks::fail_call(hooks::Call::create_window);
  EXPECT_EQ(create_window(0, "OTHER", "", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(create_window(0, "NOCLASS", "", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, TheKeyScriptGivesOneLinePerPassAndFeedsWaitingPolls) {
  screen.load_script({{0x27}, {}, {0x44, 0x20}});
  Message m;
  EXPECT_FALSE(peek_message(&m, nullptr, 0, 0, pm_remove));  // takes the first line
  EXPECT_TRUE(get_async_key_state(0x27) & 0x8000);
  EXPECT_FALSE(get_async_key_state(0x25) & 0x8000);
  EXPECT_TRUE(idle_between_polls(0x44));  // a waiting poll takes the second line
  EXPECT_FALSE(get_async_key_state(0x27) & 0x8000);
  EXPECT_FALSE(peek_message(&m, nullptr, 0, 0, pm_remove));
  EXPECT_TRUE(get_async_key_state(0x44) & 0x8000);
  EXPECT_FALSE(screen.wait_ran_out());
  EXPECT_FALSE(idle_between_polls(0x44));  // nothing more can come
  EXPECT_TRUE(screen.wait_ran_out());
  ASSERT_TRUE(peek_message(&m, nullptr, 0, 0, pm_remove));
  EXPECT_EQ(m.message, wm_quit);
  EXPECT_EQ(m.wparam, 0u);
}

TEST_F(WindowTest, MessageBoxesAreRecordedAndPausesOnlyCount) {
  EXPECT_EQ(message_box(nullptr, "error1", "error", mb_ok), idok);
  ASSERT_EQ(screen.messages().size(), 1u);
  EXPECT_EQ(screen.messages()[0].text, "error1");
  EXPECT_EQ(screen.messages()[0].caption, "error");
  sleep_ms(100);
  sleep_ms(100);
  EXPECT_EQ(screen.slept_ms(), 200u);
  show_cursor(false);
  EXPECT_FALSE(screen.cursor_shown());
}

TEST(RandomTest, TheGamesOwnSequenceStartsFromStateOneAndACopyGoesOnAlike) {
  platform::Random random;
  EXPECT_EQ(random.next(), 41);
  EXPECT_EQ(random.next(), 18467);
  platform::Random copy = random;
  EXPECT_EQ(random.next(), 6334);
  EXPECT_EQ(copy.next(), 6334);
  random = {};
  int highest = 0;
  for (int i = 0; i < 100000; ++i) highest = std::max(highest, random.next());
  EXPECT_EQ(highest, 32767);
}

TEST(FileTest, BareNamesAreLookedForInTheSearchDirectoryThenTheWorkingDirectory) {
  const TemporaryFolder folder("files");
  const std::string dir = folder.path().string();
  std::ofstream(dir + "/sample.bin", std::ios::binary) << "0123456789";
  const SearchDirectory search(folder.path());

  FileHandle file = open_file("sample.bin");
  ASSERT_NE(file, hfile_error);
  char buffer[16] = {};
  EXPECT_EQ(seek_file(file, -4, file_end), 6);
  EXPECT_EQ(read_file(file, buffer, 16), 4);  // a short read at the end of the file
  EXPECT_EQ(std::string(buffer), "6789");
  EXPECT_EQ(seek_file(file, -20, file_end), -1);  // before the start
  close_file(file);

  EXPECT_EQ(open_file("missing.bin"), hfile_error);
  EXPECT_EQ(open_file(""), hfile_error);
  file = open_file((dir + "/sample.bin").c_str());  // a path is taken as given
  EXPECT_NE(file, hfile_error);
  close_file(file);
}

}  // namespace
