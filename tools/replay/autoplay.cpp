// rink-autoplay PASSES: plays player one against the computer with the autopilot for that many
// passes of the main loop and prints the keys it held as a rink-replay script. It writes the
// golden replay script of the tests.

#include <cstdio>
#include <cstdlib>

#include "app/main_loop.h"
#include "autopilot.h"
#include "display/display_ops.h"
#include "platform/headless.h"
#include "sim/match_state.h"
#include "sim/rules.h"

namespace {

// The autopilot as the source of the game's keys, each line written out as it is decided: every
// pass asks the autopilot, and a blocking wait is answered after one idle line.
class AutopilotKeys : public platform::KeySource {
 public:
  AutopilotKeys(int passes, std::FILE* out) : passes_left_(passes), out_(out) {}

  bool next_line(For what, platform::KeySet& keys) override {
    if (what == For::pass) {
      if (passes_left_-- <= 0) return false;
      keys = pilot_.decide(match);
      waited_ = false;
    } else if (!waited_) {
      waited_ = true;
      keys = {};
    } else {
      keys = {has_won(match.player_score) || has_won(match.cpu_score) ? VK_N : VK_D};
    }
    return platform::write_key_line(out_, [&](int vk) { return keys.count(vk) != 0; });
  }

 private:
  Autopilot pilot_;
  int passes_left_;
  std::FILE* out_;
  bool waited_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc == 2 ? std::atoi(argv[1]) : 0;
  if (passes <= 0) {
    std::fprintf(stderr, "usage: rink-autoplay PASSES\n");
    return 2;
  }
  std::printf("# %d passes of player one's autopilot (rink-autoplay %d)\n", passes, passes);
  AutopilotKeys keys(passes, stdout);
  platform::HeadlessBackend backend;
  backend.play(keys);
  platform::use_backend(&backend);
  const int exit_code = win_main(nullptr);
  platform::use_backend(nullptr);
  return exit_code;
}
