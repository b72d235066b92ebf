// rink-autoplay [--players 1|2] [--drive one|two|both] PASSES: plays the match with the autopilot
// for that many passes of the main loop and prints the keys it held as a rink-replay script. In a
// one-player match it plays player one against the computer (it writes the golden replay script
// of the tests); in a two-player match it plays both players, or only one of them while the other
// holds no key.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/main_loop.h"
#include "autopilot.h"
#include "display/display_ops.h"
#include "platform/headless.h"
#include "sim/match_state.h"
#include "sim/rules.h"

namespace {

// The autopilots as the source of the game's keys, each line written out as it is decided: every
// pass asks them, and a blocking wait is answered after one idle line.
class AutopilotKeys : public platform::KeySource {
 public:
  AutopilotKeys(Autopilots pilots, int passes, std::FILE* out) : pilots_(pilots), passes_left_(passes), out_(out) {}

  bool next_line(For what, platform::KeySet& keys) override {
    if (what == For::pass) {
      if (passes_left_-- <= 0) return false;
      keys = pilots_.decide(match, player_two);
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
  Autopilots pilots_;
  int passes_left_;
  std::FILE* out_;
  bool waited_ = false;
};

int usage() {
  std::fprintf(stderr, "usage: rink-autoplay [--players 1|2] [--drive one|two|both] PASSES\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int players = 1, passes = 0;
  const char* drive = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--players") == 0 && i + 1 < argc) {
      players = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--drive") == 0 && i + 1 < argc) {
      drive = argv[++i];
    } else if (passes == 0) {
      passes = std::atoi(argv[i]);
    } else {
      return usage();
    }
  }
  if (drive == nullptr) drive = players == 2 ? "both" : "one";
  const bool drives_one = std::strcmp(drive, "one") == 0 || std::strcmp(drive, "both") == 0;
  const bool drives_two = std::strcmp(drive, "two") == 0 || std::strcmp(drive, "both") == 0;
  if (passes <= 0 || (players != 1 && players != 2) || (!drives_one && !drives_two) || (players == 1 && drives_two)) {
    return usage();
  }
  set_players(players);
  platform::write_players_line(stdout, players);
  if (players == 1) {
    std::printf("# %d passes of player one's autopilot (rink-autoplay %d)\n", passes, passes);
  } else {
    const char* whom = !drives_two ? "player one" : !drives_one ? "player two" : "both players";
    std::printf("# %d passes of a two-player match, the autopilot playing %s (rink-autoplay --players 2 --drive %s %d)\n",
                passes, whom, drive, passes);
  }
  AutopilotKeys keys(Autopilots(drives_one, drives_two), passes, stdout);
  platform::HeadlessBackend backend;
  backend.play(keys);
  platform::use_backend(&backend);
  const int exit_code = win_main(nullptr);
  platform::use_backend(nullptr);
  return exit_code;
}
