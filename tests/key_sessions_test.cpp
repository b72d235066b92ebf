// A session's keys recorded around the game and played back into it, over the headless backend:
// the recording holds exactly the lines the game took, and a playback shows what a replay shows.

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_loop.h"
#include "game_fixture.h"
#include "platform/key_sessions.h"

namespace {

std::vector<platform::KeySet> golden_lines(std::size_t count) {
  std::ifstream file(RINK_REPLAY_DATA "/golden.keys");
  std::vector<platform::KeySet> lines = platform::parse_key_script(file).lines;
  lines.resize(std::min(count, lines.size()));
  return lines;
}

// The player closes the window as soon as the game holds the last picture of a playback.
class ClosingScreen : public platform::HeadlessBackend {
 public:
  bool idle_between_polls() override {
    platform::request_window_close(display.window);
    return false;
  }
};

struct FrameCounter : LoopObserver {
  void after_frame(int) override { ++frames; }
  int frames = 0;
};

class KeySessionsTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_game(screen_); }
  void TearDown() override { platform::use_backend(nullptr); }

  // Plays the script headless with a recording around the game; the lines written.
  std::vector<platform::KeySet> record(std::vector<platform::KeySet> script) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), std::fclose);
    screen_.load_script(std::move(script));
    platform::KeyRecording recording(screen_, file.get());
    platform::use_backend(&recording);
    EXPECT_EQ(win_main(nullptr), 0);
    EXPECT_FALSE(recording.failed());
    std::rewind(file.get());
    std::string text;
    for (int c; (c = std::fgetc(file.get())) != EOF;) text += static_cast<char>(c);
    std::istringstream lines(text);
    return platform::parse_key_script(lines).lines;
  }

  platform::HeadlessBackend screen_;
};

// The first goal of the golden session comes with its wait for D: the recording has every line
// the wait took, so the frames after it replay alike.
TEST_F(KeySessionsTest, ARecordingHoldsEveryLineTheGameTookWaitsIncluded) {
  const std::vector<platform::KeySet> script = golden_lines(400);
  const std::vector<platform::KeySet> recorded = record(script);
  ASSERT_GT(match.player_score + match.cpu_score, 0) << "no goal in the recorded part";
  ASSERT_EQ(recorded.size(), script.size() + 1);  // and the pass that found the script's end
  EXPECT_TRUE(std::equal(script.begin(), script.end(), recorded.begin()));
}

// Once the window is closed the player sees nothing more, so nothing more is written.
TEST_F(KeySessionsTest, ARecordingEndsWithTheLineThatClosedTheWindow) {
  const std::vector<platform::KeySet> script = {{VK_RIGHT}, {VK_RIGHT, VK_UP}, {VK_ESCAPE}, {VK_LEFT}, {}};
  const std::vector<platform::KeySet> recorded = record(script);
  EXPECT_EQ(recorded, std::vector<platform::KeySet>(script.begin(), script.begin() + 3));
}

TEST_F(KeySessionsTest, APlaybackShowsWhatTheReplayOfItsScriptShows) {
  const std::vector<platform::KeySet> script = golden_lines(400);
  ClosingScreen screen;
  reset_game(screen);
  platform::KeyPlayback playback(screen, script);
  platform::use_backend(&playback);
  EXPECT_EQ(win_main(nullptr), 0);
  EXPECT_TRUE(playback.ended());

  platform::HeadlessBackend replay;
  reset_game(replay);
  replay.load_script(script);
  EXPECT_EQ(win_main(nullptr), 0);
  EXPECT_GT(replay.present_count(), 300);
  EXPECT_EQ(screen.present_count(), replay.present_count());
  EXPECT_EQ(screen.presented_pixels(), replay.presented_pixels());
}

TEST_F(KeySessionsTest, EscapeOnTheKeyboardEndsAPlaybackAtOnce) {
  screen_.hold_keys({VK_ESCAPE});
  platform::KeyPlayback playback(screen_, golden_lines(400));
  platform::use_backend(&playback);
  FrameCounter frames;
  EXPECT_EQ(win_main(nullptr, &frames), 0);
  EXPECT_EQ(frames.frames, 1);
}

}  // namespace
