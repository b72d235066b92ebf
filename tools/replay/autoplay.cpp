// rink-autoplay PASSES: plays player one against the computer with the autopilot for that many
// passes of the main loop and prints the keys it held as a rink-replay script. It writes the
// golden replay script of the tests.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "autopilot.h"
#include "display/display_ops.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "sim/match_state.h"

namespace {

// Plays through the game's real main loop: every pass asks the autopilot for its keys, and a
// blocking wait is answered after one idle line.
class AutoplayBackend : public platform::HeadlessBackend {
 public:
  explicit AutoplayBackend(int passes) : passes_left_(passes) {}

  void pump_events() override {
    if (passes_left_-- <= 0) {
      platform::post_quit_message(0);
      return;
    }
    take(pilot_.decide(match));
    waited_ = false;
  }

  bool idle_between_polls() override {
    if (!waited_) {
      waited_ = true;
      take({});
      return true;
    }
    const bool match_over = match.player_score >= 10 || match.cpu_score >= 10;
    take({match_over ? VK_N : VK_D});
    return true;
  }

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  void take(const platform::KeySet& keys) {
    hold_keys(keys);
    lines_.push_back(platform::format_key_line(keys));
  }

  Autopilot pilot_;
  int passes_left_;
  bool waited_ = false;
  std::vector<std::string> lines_;
};

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc == 2 ? std::atoi(argv[1]) : 0;
  if (passes <= 0) {
    std::fprintf(stderr, "usage: rink-autoplay PASSES\n");
    return 2;
  }
  AutoplayBackend backend(passes);
  platform::use_backend(&backend);
  const int exit_code = win_main(nullptr);
  platform::use_backend(nullptr);
  std::printf("# %d passes of player one's autopilot (rink-autoplay %d)\n", passes, passes);
  for (const std::string& line : backend.lines()) std::printf("%s\n", line.c_str());
  return exit_code;
}
