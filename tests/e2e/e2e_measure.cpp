// Measurements of the real game in its window, for the record rather than as tests: they print
// what they find and assert only that they could measure. Disabled by default; run them with
//   build/e2e_measure --gtest_also_run_disabled_tests
// A build without the sanitizers gives the truer processor times.
//
// The game is driven frame by frame along the recorded golden session, whose first goal comes
// in frame 147: the keys of each pass are set as soon as the previous frame's picture shows,
// well inside the 100 ms pause that ends every frame. The times at which new pictures show give
// the frame period; the goal's wait for D gives the processor use of a waiting game.

#include <cstdio>

#include "golden_session.h"

namespace e2e {
namespace {

class MeasureTest : public GoldenSessionTest {
 protected:
  void print_frame_period(double processor_seconds_used) const {
    const double played = seconds_between(timeline_.front().second, timeline_.back().second);
    const std::size_t frames = timeline_.back().first - timeline_.front().first;
    std::printf("frame period: %.1f ms (%zu frames in %.2f s; %zu pictures read)\n",
                1000 * played / frames, frames, played, timeline_.size());
    std::printf("processor while playing: %.1f %%\n", 100 * processor_seconds_used / played);
  }

  void print_processor_use(const char* what, Milliseconds during) const {
    const Clock::time_point from = Clock::now();
    const double before = processor_seconds(game_->pid());
    std::this_thread::sleep_for(during);
    const double used = processor_seconds(game_->pid()) - before;
    const double spent = seconds_between(from, Clock::now());
    std::printf("processor %s: %.2f %% (%.3f s in %.1f s)\n", what, 100 * used / spent, used, spent);
  }

};

TEST_F(MeasureTest, DISABLED_FramePeriodAndTheProcessorUseOfTheWaitForD) {
  start_game();
  ASSERT_TRUE(find_first_frame());
  const double processor_before = processor_seconds(game_->pid());
  const std::size_t last = drive();
  ASSERT_GE(timeline_.size(), 20u) << "the game stopped changing its picture";
  print_frame_period(processor_seconds(game_->pid()) - processor_before);

  print_processor_use("while waiting for D", 5s);
  // "Press d to drop the puck", in blue below the blue score.
  const Image waiting = capture_picture();
  const bool asks_for_d = waiting.count(rgb(0, 0, 255), {10, 467, 300, 12}) > 50;
  std::printf("the screen %s \"Press d to drop the puck\" during the wait\n",
              asks_for_d ? "shows" : "does NOT show");

  // D ends the wait: the goal's frame finishes, and the next one starts from the face-off.
  hold({"d"});
  Clock::time_point seen;
  const std::optional<Image> goal_frame_end = next_picture(waiting, seen);
  hold({});
  ASSERT_TRUE(goal_frame_end) << "D changed nothing: the game was not waiting for it";
  const std::optional<Image> next_frame = next_picture(*goal_frame_end, seen);
  ASSERT_TRUE(next_frame && at_face_off(*next_frame))
      << "no face-off after D: the game left the session before frame " << last;
  std::printf("the wait was the session's first goal, in frame %zu\n", last);
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// A game whose window lost the focus runs no frames and sleeps on its event queue.
TEST_F(RinkTest, DISABLED_ProcessorWhileTheWindowHasNoFocus) {
  start_game();
  ASSERT_TRUE(wait_for_rink());
  screen_.focus_nothing();
  std::this_thread::sleep_for(1s);
  const Clock::time_point from = Clock::now();
  const double before = processor_seconds(game_->pid());
  std::this_thread::sleep_for(20s);
  const double used = processor_seconds(game_->pid()) - before;
  const double spent = seconds_between(from, Clock::now());
  std::printf("processor while the window has no focus: %.2f %% (%.3f s in %.1f s)\n", 100 * used / spent, used,
              spent);
}

}  // namespace
}  // namespace e2e
