// A session's keys recorded around the game and played back into it, over the headless backend:
// the recording holds exactly the lines the game took, and a playback shows what a replay shows.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_loop.h"
#include "game_fixture.h"
#include "platform/key_sessions.h"
#include "platform/recording_file.h"
#include "platform/window_events.h"
#include "process_state.h"

namespace {

std::vector<platform::KeySet> golden_lines(std::size_t count) {
  std::vector<platform::KeySet> lines = platform::load_key_script(RINK_REPLAY_DATA "/golden.keys").lines;
  lines.resize(std::min(count, lines.size()));
  return lines;
}

// The player closes the window as soon as the game holds the last picture of a playback.
class ClosingScreen : public platform::HeadlessBackend {
 public:
  bool idle_between_polls(int) override {
    ++idles;
    platform::report_close_request();
    return false;
  }
  int idles = 0;
};

// Counts the frames, and keeps the match as the last one left it.
struct FrameCounter : LoopObserver {
  void on_start(Match& match) override { played = &match; }
  void after_frame(int) override {
    ++frames;
    last = *played;
  }
  const Match* played = nullptr;
  MatchState last;
  int frames = 0;
};

class KeySessionsTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_game(screen_); }
  void TearDown() override { platform::use_backend(nullptr); }

  // Plays the script headless with a recording around the game; the lines written.
  std::vector<platform::KeySet> record(std::vector<platform::KeySet> script) {
    const TemporaryFolder folder("key-sessions");
    const std::string path = (folder / "session.keys").string();
    platform::RecordingFile file;
    EXPECT_TRUE(file.open(path)) << file.error();
    screen_.load_script(std::move(script));
    platform::KeyRecording recording(screen_, file, "session.keys");
    platform::use_backend(&recording);
    EXPECT_EQ(win_main(nullptr, {1, &frames_, nullptr, nullptr}), 0);
    EXPECT_FALSE(recording.failed());
    EXPECT_TRUE(file.close());
    return platform::load_key_script(path.c_str()).lines;
  }

  platform::HeadlessBackend screen_;
  FrameCounter frames_;
};

// The first goal of the golden session comes with its wait for D: the recording has every line
// the wait took, so the frames after it replay alike.
TEST_F(KeySessionsTest, ARecordingHoldsEveryLineTheGameTookWaitsIncluded) {
  const std::vector<platform::KeySet> script = golden_lines(400);
  const std::vector<platform::KeySet> recorded = record(script);
  ASSERT_GT(frames_.last.player_score + frames_.last.cpu_score, 0) << "no goal in the recorded part";
  ASSERT_EQ(recorded.size(), script.size() + 1);  // and the pass that found the script's end
  EXPECT_TRUE(std::equal(script.begin(), script.end(), recorded.begin()));
}

// Once the window is closed the player sees nothing more, so nothing more is written.
TEST_F(KeySessionsTest, ARecordingEndsWithTheLineThatClosedTheWindow) {
  const std::vector<platform::KeySet> script = {{VK_RIGHT}, {VK_RIGHT, VK_UP}, {VK_ESCAPE}, {VK_LEFT}, {}};
  const std::vector<platform::KeySet> recorded = record(script);
  EXPECT_EQ(recorded, std::vector<platform::KeySet>(script.begin(), script.begin() + 3));
}

// Plays the script to its end, as the desktop (held until closed) or a web page (the game ends)
// does; the screen the playback ran on.
std::unique_ptr<ClosingScreen> play_to_the_end(const std::vector<platform::KeySet>& script, platform::ScriptEnd at_end) {
  auto screen = std::make_unique<ClosingScreen>();
  reset_game(*screen);
  platform::ScriptedKeys keys(script);
  platform::KeyPlayback playback(*screen, keys, at_end);
  platform::use_backend(&playback);
  EXPECT_EQ(win_main(nullptr), 0);
  EXPECT_TRUE(playback.ended());
  return screen;
}

void expect_replay_shows_the_same(const std::vector<platform::KeySet>& script, const platform::HeadlessBackend& screen) {
  platform::HeadlessBackend replay;
  reset_game(replay);
  replay.load_script(script);
  EXPECT_EQ(win_main(nullptr), 0);
  EXPECT_GT(replay.present_count(), 250);
  EXPECT_EQ(screen.present_count(), replay.present_count());
  EXPECT_EQ(screen.presented_pixels(), replay.presented_pixels());
}

TEST_F(KeySessionsTest, APlaybackShowsWhatTheReplayOfItsScriptShows) {
  const std::vector<platform::KeySet> script = golden_lines(400);
  const std::unique_ptr<ClosingScreen> screen = play_to_the_end(script, platform::ScriptEnd::hold_until_closed);
  EXPECT_EQ(screen->idles, 1) << "the last picture was not held for the player";
  expect_replay_shows_the_same(script, *screen);
}

// A web page's playback ends the game where the script ends: the golden session's first 300
// lines end inside the wait for D after its first goal, its first 400 in play.
TEST_F(KeySessionsTest, APlaybackThatEndsTheGameStopsWhereItsScriptEnds) {
  for (const std::size_t lines : {300u, 400u}) {
    const std::vector<platform::KeySet> script = golden_lines(lines);
    const std::unique_ptr<ClosingScreen> screen = play_to_the_end(script, platform::ScriptEnd::end_game);
    EXPECT_EQ(screen->idles, 0) << "the game waited for the player after " << lines << " lines";
    expect_replay_shows_the_same(script, *screen);
  }
}

// The player who takes over where the golden session's first 300 lines end (in the wait for D)
// is asked for D, drops the puck with it and plays on until Escape.
class TakingOverScreen : public platform::HeadlessBackend {
 public:
  bool idle_between_polls(int awaited_vk) override {
    awaited.push_back(awaited_vk);
    hold_keys({awaited_vk});
    return true;
  }
  void pump_events() override {
    if (!awaited.empty() && ++passes_after_wait == 5) hold_keys({VK_ESCAPE});
  }
  std::vector<int> awaited;
  int passes_after_wait = 0;
};

TEST_F(KeySessionsTest, APlaybackThatHandsOverLetsThePlayerPlayOnFromTheWait) {
  FrameCounter script_frames;
  {
    platform::ScriptedKeys keys(golden_lines(300));
    ClosingScreen screen;
    reset_game(screen);
    platform::KeyPlayback playback(screen, keys, platform::ScriptEnd::end_game);
    platform::use_backend(&playback);
    ASSERT_EQ(win_main(nullptr, {1, &script_frames, nullptr, nullptr}), 0);
  }
  TakingOverScreen screen;
  reset_game(screen);
  platform::ScriptedKeys keys(golden_lines(300));
  platform::KeyPlayback playback(screen, keys, platform::ScriptEnd::hand_over);
  platform::use_backend(&playback);
  FrameCounter frames;
  EXPECT_EQ(win_main(nullptr, {1, &frames, nullptr, nullptr}), 0);
  EXPECT_TRUE(playback.ended());
  EXPECT_EQ(screen.awaited, std::vector<int>{VK_D});
  EXPECT_EQ(frames.frames, script_frames.frames + 5) << "the player's passes after the wait are not frames of the game";
}

TEST_F(KeySessionsTest, EscapeOnTheKeyboardEndsAPlaybackAtOnce) {
  screen_.hold_keys({VK_ESCAPE});
  platform::ScriptedKeys keys(golden_lines(400));
  platform::KeyPlayback playback(screen_, keys);
  platform::use_backend(&playback);
  FrameCounter frames;
  EXPECT_EQ(win_main(nullptr, {1, &frames, nullptr, nullptr}), 0);
  EXPECT_EQ(frames.frames, 1);
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// An older file of the recording's name stays as it was until the game has started (its window
// open), and no new file is left beside it when the game never started.
TEST(RecordingFileTest, AnOlderFileIsReplacedOnlyOnceTheGameHasStarted) {
  const TemporaryFolder folder("recording-file");
  const std::string path = (folder / "match.keys").string();
  std::ofstream(path) << "Left\nLeft\n";
  {
    platform::RecordingFile never_started;
    ASSERT_TRUE(never_started.open(path)) << never_started.error();
    ASSERT_TRUE(never_started.write("Right\n", 6));
    EXPECT_EQ(file_text(path), "Left\nLeft\n");
    EXPECT_TRUE(never_started.close());
  }
  EXPECT_EQ(file_text(path), "Left\nLeft\n");
  platform::RecordingFile started;
  ASSERT_TRUE(started.open(path));
  ASSERT_TRUE(started.write("Right\n", 6));
  ASSERT_TRUE(started.commit());
  EXPECT_EQ(file_text(path), "Right\n") << "each line is in the file as soon as it is written";
  ASSERT_TRUE(started.write("Up\n", 3));
  EXPECT_TRUE(started.close());
  EXPECT_EQ(file_text(path), "Right\nUp\n");
  std::remove(path.c_str());
  EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "a file was left beside the recording";
}

// The disk fills up in the middle of a line (a file size limit stands in for it): the line is
// taken out again, so the file ends with the last whole line.
TEST(RecordingFileTest, ALineReachesTheFileWholeOrNotAtAll) {
  const TemporaryFolder folder("recording-full");
  const std::string path = (folder / "match.keys").string();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    platform::RecordingFile file;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || !file.open(path) || !file.commit()) _exit(3);
    constexpr char line[] = "Right Up Space Return D\n";  // 24 bytes: the fifth line crosses 100
    int written = 0;
    while (file.write(line, sizeof line - 1)) ++written;
    file.close();
    _exit(written == 4 && file.error() == "File too large" ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::string four;
  for (int k = 0; k < 4; ++k) four += "Right Up Space Return D\n";
  EXPECT_EQ(file_text(path), four);
}

}  // namespace
