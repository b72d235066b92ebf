// Measurements of the real game in its window, for the record rather than as tests: they print
// what they find and assert only that they could measure. Disabled by default; run them with
//   build/e2e_measure --gtest_also_run_disabled_tests
// A build without the sanitizers gives the truer processor times.
//
// The game is driven frame by frame along the recorded golden session, whose first goal comes
// in frame 147: the keys of each pass are set as soon as the previous frame's picture shows,
// well inside the 100 ms pause that ends every frame. The times at which new pictures show give
// the frame period; the goal's wait for D gives the processor use of a waiting game.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "rink_session.h"

namespace e2e {
namespace {

struct Blit {
  std::string sprite;
  Point corner;
};

// One frame of the golden session: the keys its pass held and the sprites it drew.
struct SessionFrame {
  std::set<std::string> keys;  // xdotool key names
  std::vector<Blit> blits;
  std::optional<Point> puck;  // where the loose puck was drawn
  bool goal = false;           // the frame that waits for D
};

const std::map<std::string, std::string> xdotool_key_names = {
    {"Left", "Left"},   {"Right", "Right"}, {"Up", "Up"}, {"Down", "Down"}, {"Space", "space"},
    {"Return", "Return"}, {"Escape", "Escape"}, {"D", "d"}, {"N", "n"}};

std::vector<std::string> words(const std::string& line, char separator) {
  std::vector<std::string> out;
  std::stringstream stream(line);
  for (std::string word; std::getline(stream, word, separator);) {
    if (!word.empty()) out.push_back(word);
  }
  return out;
}

// The frames up to the first blocking wait, where passes and frames stop being one to one.
std::vector<SessionFrame> golden_session_to_first_goal() {
  std::ifstream keys(RINK_REPLAY_DATA "/golden.keys"), draws(RINK_REPLAY_DATA "/golden.expected");
  std::vector<SessionFrame> frames(1);
  for (std::string line; std::getline(draws, line) && !frames.back().goal;) {
    const std::vector<std::string> fields = words(line, ',');
    if (fields.empty() || line.starts_with("frame,")) continue;
    auto point = [&](std::size_t at) { return Point{std::stoi(fields[at]), std::stoi(fields[at + 1])}; };
    if (fields[0] == "blit") frames.back().blits.push_back({fields[1], point(2)});
    if (fields[0] == "puck") frames.back().puck = point(1);
    if (fields[0] == "text" && line.find("Press d") != std::string::npos) frames.back().goal = true;
    if (std::isdigit(static_cast<unsigned char>(line[0])) && !frames.back().goal) frames.emplace_back();
  }
  std::size_t pass = 0;
  for (std::string line; std::getline(keys, line) && pass < frames.size();) {
    if (line.starts_with("#")) continue;
    for (const std::string& key : words(line, ' ')) frames[pass].keys.insert(xdotool_key_names.at(key));
    ++pass;
  }
  return frames;
}

// Processor time the process has used so far, in seconds.
double processor_seconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // After the command name in parentheses: state is field 3, utime and stime fields 14 and 15.
  const std::vector<std::string> fields = words(text.substr(text.rfind(')') + 2), ' ');
  if (fields.size() < 13) return 0;
  return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double seconds_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

class MeasureTest : public RinkTest {
 protected:
  const Bitmap& sprite(const std::string& name) {
    auto found = sprites_.find(name);
    if (found == sprites_.end()) {
      found = sprites_.emplace(name, load_bitmap(build_file(name + ".bmp").string())).first;
    }
    return found->second;
  }

  // How well the picture shows the frame: the mean share shown of the sprites it drew (they
  // overlap one another, so none need be whole) and of the puck, which hides the rink's pixels
  // where it lies.
  double likeness(const Image& picture, const SessionFrame& frame) {
    double total = 0;
    for (const Blit& blit : frame.blits) total += shown_share(picture, sprite(blit.sprite), blit.corner);
    int parts = static_cast<int>(frame.blits.size());
    if (frame.puck) {
      const Rect area{frame.puck->x, frame.puck->y, 9, 9};
      total += 1.0 - matching_share(picture, rink_.image, area);
      ++parts;
    }
    return parts == 0 ? 0.0 : total / parts;
  }

  // Of the frames in [first, last), the one the picture shows best.
  std::size_t best_likeness(const Image& picture, const std::vector<SessionFrame>& session,
                            std::size_t first, std::size_t last) {
    std::size_t best = first;
    for (std::size_t i = first; i < std::min(last, session.size()); ++i) {
      if (likeness(picture, session[i]) > likeness(picture, session[best])) best = i;
    }
    return best;
  }

  // Holds exactly these keys from now on.
  void hold(const std::set<std::string>& keys) {
    std::vector<std::string> command;
    for (const std::string& key : held_) {
      if (!keys.contains(key)) command.insert(command.end(), {"keyup", key});
    }
    for (const std::string& key : keys) {
      if (!held_.contains(key)) command.insert(command.end(), {"keydown", key});
    }
    if (!command.empty()) screen_.xdotool(command);
    held_ = keys;
  }

  // The first picture of the game, with `keys` held from its first frame. A window learns only
  // of presses made while it has the keyboard, and SDL replaces its first window while it
  // starts: the newest window gets the keyboard and the keys (let go and pressed anew, as a
  // press of a key held down already goes nowhere) again and again until the rink shows.
  std::optional<Image> first_frame_holding(const std::set<std::string>& keys) {
    std::optional<Image> picture;
    const bool shown = poll_until(10s, [&] {
      if (const std::optional<std::string> window = game_window()) {
        std::vector<std::string> press{"windowfocus", *window};
        for (const std::string& key : keys) press.insert(press.end(), {"keyup", key, "keydown", key});
        screen_.xdotool(press);
      }
      picture = screen_.grab({0, 0, picture_width, picture_height});
      return rink_share(*picture) > 0.9;
    }, 10ms);
    held_ = keys;
    if (!shown) return std::nullopt;
    return picture;
  }

  // The next picture that differs from `last`, and when it was seen; nothing when the game
  // shows the same one for a second (it waits for a key).
  std::optional<Image> next_picture(const Image& last, Clock::time_point& seen) {
    std::optional<Image> next;
    poll_until(1s, [&] {
      seen = Clock::now();
      next = screen_.grab(where_.area).shrunk(where_.scale);
      return next->pixels != last.pixels;
    }, 0ms);
    if (next && next->pixels == last.pixels) return std::nullopt;
    return next;
  }

  // Drives the game along the session from the frame the picture shows until the pictures
  // stop (the wait after the goal, or a game gone its own way); the last frame shown. Each
  // picture's successor gets its keys at once, while the pause runs; when a picture went by
  // between two reads, a later frame shows and the keys follow it.
  std::size_t drive(const std::vector<SessionFrame>& session, std::size_t shown, Image& picture) {
    auto hold_for = [&](std::size_t frame) {
      if (frame < session.size()) hold(session[frame].keys);
    };
    hold_for(shown + 1);
    while (shown + 1 < session.size()) {
      Clock::time_point seen;
      std::optional<Image> next = next_picture(picture, seen);
      if (!next) break;
      picture = std::move(*next);
      hold_for(shown + 2);
      const std::size_t now = best_likeness(picture, session, shown + 1, shown + 4);
      if (now != shown + 1) hold_for(now + 1);
      shown = now;
      timeline_.emplace_back(shown, seen);
    }
    hold({});
    return shown;
  }

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

  // Whether the picture shows player one at the face-off spot.
  bool at_face_off(const Image& picture) {
    return std::max(shown_share(picture, sprite("firstplayerone"), {240, 200}),
                    shown_share(picture, sprite("firstplayertwo"), {240, 200})) > 0.7;
  }

  std::map<std::string, Bitmap> sprites_;
  std::set<std::string> held_;
  Placement where_{};
  std::vector<std::pair<std::size_t, Clock::time_point>> timeline_;  // frame, when first seen
};

TEST_F(MeasureTest, DISABLED_FramePeriodAndTheProcessorUseOfTheWaitForD) {
  const std::vector<SessionFrame> session = golden_session_to_first_goal();
  ASSERT_TRUE(session.size() > 100 && session.back().goal) << "cannot read the golden session";
  start_game();
  std::optional<Image> picture = first_frame_holding(session.front().keys);
  ASSERT_TRUE(picture) << "the game never showed the rink";
  where_ = placement();

  // Which frame shows now: the first passes all hold the same keys, so it may be any of them.
  const std::size_t first = best_likeness(*picture, session, 0, 30);
  ASSERT_GT(likeness(*picture, session[first]), 0.6) << "the picture is none of the first frames";
  const double processor_before = processor_seconds(game_->pid());
  const std::size_t last = drive(session, first, *picture);
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

// The processor use of a playing game on screens of several sizes: the picture is scaled to the
// screen in software under Xvfb, so a larger screen costs more.
class ScreenSizeMeasureTest : public RinkTest, public ::testing::WithParamInterface<std::pair<int, int>> {
 protected:
  ScreenSizeMeasureTest() : RinkTest(GetParam().first, GetParam().second) {}
};

TEST_P(ScreenSizeMeasureTest, DISABLED_ProcessorWhilePlaying) {
  start_game();
  ASSERT_TRUE(wait_for_rink());
  const Clock::time_point from = Clock::now();
  const double before = processor_seconds(game_->pid());
  std::this_thread::sleep_for(10s);  // the computer skater plays on its own meanwhile
  const double used = processor_seconds(game_->pid()) - before;
  std::printf("processor while playing on a %dx%d screen: %.1f %% (%.2f s in %.1f s)\n", GetParam().first,
              GetParam().second, 100 * used / seconds_between(from, Clock::now()), used,
              seconds_between(from, Clock::now()));
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenSizeMeasureTest,
                         ::testing::Values(std::pair(640, 480), std::pair(1920, 1080), std::pair(3840, 2160)));

}  // namespace
}  // namespace e2e
