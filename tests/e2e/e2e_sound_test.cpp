// The game heard as a player hears it: the golden session's keys played up to its first goal
// (frame 147) with SDL's disk audio driver writing what the speaker would get, at the device's
// own pace. The goal's horn starts within 100 ms of the goal's picture, and rings while the game
// waits for D; with --mute the capture holds only silence.

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <mutex>

#include "platform/sound_file.h"
#include "rink_session.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int rate = platform::sound_rate;

// What the disk driver writes, read from a named pipe as it comes, with the time each part came:
// the driver writes through a stdio buffer of 4,096 bytes, so the file on disk grows in steps
// of 93 ms, while each step's arrival on the pipe tells when the device got that far.
class Capture {
 public:
  explicit Capture(const fs::path& pipe) {
    if (mkfifo(pipe.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + pipe.string());
    // Read and write: the open returns at once, and the pipe never ends before the test says so.
    fd_ = open(pipe.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + pipe.string());
    reader_ = std::thread([this] { read_until_stopped(); });
  }
  ~Capture() {
    stop_ = true;
    reader_.join();
    close(fd_);
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  std::size_t samples_so_far() {
    const std::lock_guard lock(lock_);
    return bytes_.size() / 2;
  }
  // The samples the device had taken at `when`: from the last part that came before it, on at
  // the device's pace.
  double samples_at(Clock::time_point when) {
    const std::lock_guard lock(lock_);
    auto after = std::upper_bound(arrivals_.begin(), arrivals_.end(), when,
                                  [](Clock::time_point t, const Arrival& a) { return t < a.when; });
    if (after == arrivals_.begin()) return 0;
    const Arrival& last = *std::prev(after);
    return double(last.bytes) / 2 + std::chrono::duration<double>(when - last.when).count() * rate;
  }
  std::vector<std::int16_t> samples() {
    const std::lock_guard lock(lock_);
    std::vector<std::int16_t> all(bytes_.size() / 2);
    std::copy_n(bytes_.data(), all.size() * 2, reinterpret_cast<char*>(all.data()));
    return all;
  }

 private:
  struct Arrival {
    Clock::time_point when;
    std::size_t bytes;  // all written by then
  };

  void read_until_stopped() {
    char part[65536];
    pollfd wait{fd_, POLLIN, 0};
    while (!stop_) {
      if (poll(&wait, 1, 20) <= 0) continue;
      const ssize_t got = read(fd_, part, sizeof part);
      if (got <= 0) continue;
      const std::lock_guard lock(lock_);
      bytes_.append(part, static_cast<std::size_t>(got));
      arrivals_.push_back({Clock::now(), bytes_.size()});
    }
  }

  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::string bytes_;
  std::vector<Arrival> arrivals_;
  std::thread reader_;
};

// Where in `capture` the horn begins: the offset within `around` (first, last) at which its
// first 100 ms match the capture best, and how well (the normalised correlation, 1 at best).
std::pair<std::size_t, double> horn_onset(const std::vector<std::int16_t>& capture, const std::vector<std::int16_t>& horn,
                                          std::size_t first, std::size_t last) {
  const std::size_t length = rate / 10;
  double horn_energy = 0;
  for (std::size_t i = 0; i < length; ++i) horn_energy += double(horn[i]) * horn[i];
  std::pair<std::size_t, double> best{0, -1.0};
  for (std::size_t at = first; at <= last && at + length <= capture.size(); ++at) {
    double product = 0, energy = 0;
    for (std::size_t i = 0; i < length; ++i) {
      product += double(capture[at + i]) * horn[i];
      energy += double(capture[at + i]) * capture[at + i];
    }
    const double likeness = energy > 0 ? product / std::sqrt(energy * horn_energy) : 0;
    if (likeness > best.second) best = {at, likeness};
  }
  return best;
}

class GoalHornTest : public RinkTest {
 protected:
  struct Heard {
    std::vector<std::int16_t> samples;
    // The samples the device had taken when the goal's picture had certainly shown (the end of
    // the first look at the screen that found it) and when it had certainly not (the start of
    // the look before).
    double by_goal_picture;
    double before_goal_picture;
  };

  // The golden session's passes up to its first goal: the script ends in the wait for D, where
  // the game keeps the goal's picture until Escape.
  void SetUp() override {
    {
      std::ifstream golden(RINK_REPLAY_DATA "/golden.keys");
      std::ofstream out(keys_);
      std::string line;
      for (int passes = 0; passes < 148 && std::getline(golden, line);) {
        out << line << '\n';
        passes += !line.starts_with('#');
      }
    }
    const fs::path picture = work_.path() / "goal.png";
    const CommandResult replay = run_command({build_file("rink-replay").string(), "--picture", picture.string(), keys_.string()},
                                             environment_with({}), 30s);
    ASSERT_EQ(replay.exit_code, 0);
    goal_picture_ = load_png(picture.string());
  }

  // Plays the script with these arguments, capturing the audio until 3 s after the goal.
  Heard play(const std::vector<std::string>& arguments) {
    Capture capture(work_.path() / "capture");
    std::vector<std::string> argv{"--play", keys_.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    start_game(build_file("rink"), argv, {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + (work_.path() / "capture").string()});
    Clock::time_point look_before{}, look_began{}, look_ended{};
    const bool shown = poll_until(45s, [&] {
      look_before = look_began;
      look_began = Clock::now();
      Image screen;
      try {
        screen = screen_.grab({0, 0, picture_width, picture_height});
      } catch (const std::runtime_error&) {
        return false;
      }
      look_ended = Clock::now();
      return screen.pixels == goal_picture_.pixels;
    }, 2ms);
    EXPECT_TRUE(shown) << "the goal's picture never showed; the game's errors: " << game_errors();
    const double by_picture = capture.samples_at(look_ended);
    EXPECT_TRUE(poll_until(10s, [&] { return capture.samples_so_far() > by_picture + 3 * rate; }));
    screen_.key_down("Escape");
    screen_.key_up("Escape");
    const std::optional<int> exit_code = wait_for_exit(10s);
    EXPECT_EQ(exit_code, 0) << game_errors();
    return {capture.samples(), by_picture, capture.samples_at(look_before)};
  }

  const fs::path keys_ = work_.path() / "first-goal.keys";
  Image goal_picture_;
};

TEST_F(GoalHornTest, TheHornStartsWithin100MsOfTheGoalsPictureAndRingsThroughTheWait) {
  const Heard heard = play({});
  const platform::SoundFile horn = platform::load_sound_file(build_file("sounds/goal.wav").c_str());
  ASSERT_EQ(horn.error, "");
  ASSERT_GT(heard.by_goal_picture, 0);
  // Looked for from a second before the picture to a second after it.
  const auto around = static_cast<std::size_t>(heard.by_goal_picture);
  const auto [onset, likeness] = horn_onset(heard.samples, horn.samples, around > std::size_t(rate) ? around - rate : 0,
                                            around + rate);
  auto ms_after = [&](double samples) { return (double(onset) - samples) * 1000.0 / rate; };
  std::cout << "horn onset at sample " << onset << " (" << double(onset) / rate << " s into the capture), "
            << ms_after(heard.by_goal_picture) << " ms after the goal's picture had certainly shown and "
            << ms_after(heard.before_goal_picture) << " ms after it had certainly not (likeness " << likeness << ")\n";
  EXPECT_GT(likeness, 0.95) << "no horn in the capture";
  EXPECT_LE(ms_after(heard.by_goal_picture), 100.0);
  // The whole horn is in the capture: the game was waiting for D meanwhile.
  ASSERT_GE(heard.samples.size(), onset + horn.samples.size());
}

TEST_F(GoalHornTest, MutedTheCaptureHoldsOnlySilence) {
  const Heard heard = play({"--mute"});
  ASSERT_GT(double(heard.samples.size()), heard.by_goal_picture + 3 * rate);
  EXPECT_TRUE(std::all_of(heard.samples.begin(), heard.samples.end(), [](std::int16_t s) { return s == 0; }));
}

}  // namespace
}  // namespace e2e
