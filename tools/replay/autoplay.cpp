// rink-autoplay [--players 1|2] [--drive one|two|both] PASSES: plays the match with the autopilot
// for that many passes of the main loop and prints the keys it held as a rink-replay script. In a
// one-player match it plays player one against the computer (it writes the golden replay script
// of the tests); in a two-player match it plays both players, or only one of them while the other
// holds no key.

#include <cstdio>
#include <string>

#include "app/main_loop.h"
#include "app/options.h"
#include "autopilot.h"
#include "platform/headless.h"
#include "sim/match.h"

namespace {

// The autopilots as the source of the game's keys, each line written out as it is decided: every
// pass asks them, and a wait is answered with its key after one idle line.
class AutopilotKeys : public platform::KeySource, public LoopObserver {
 public:
  AutopilotKeys(Autopilots pilots, long passes, std::FILE* out) : pilots_(pilots), passes_left_(passes), out_(out) {}

  void on_start(Match& match) override { match_ = &match; }
  void after_frame(int /*result*/) override {}

  bool next_line(For what, platform::KeySet& keys) override {
    if (what == For::pass) {
      if (passes_left_-- <= 0) return false;
      keys = pilots_.decide(*match_, match_->player_two);
      waited_ = false;
    } else if (!waited_) {
      waited_ = true;
      keys = {};
    } else {
      keys = {awaited_key(*match_)};
    }
    return platform::write_key_line(out_, [&](int vk) { return keys.count(vk) != 0; });
  }

 private:
  const Match* match_ = nullptr;
  Autopilots pilots_;
  long passes_left_;
  std::FILE* out_;
  bool waited_ = false;
};

constexpr const char* program = "rink-autoplay";

const char* autoplay_usage() {
  return "usage: rink-autoplay [--players 1|2] [--drive one|two|both] PASSES\n"
         "       rink-autoplay --help | --version\n"
         "Plays the match with the autopilot for PASSES passes of the main loop (1 to 1000000) and\n"
         "prints the keys it held as a key script for rink-replay.\n"
         "  --players 1|2             one player against the computer (default), or two players\n"
         "  --drive one|two|both      in a two-player match, the players the autopilot plays\n"
         "                            (default: both; the other holds no key)\n"
         "  --help                    show this help and exit\n"
         "  --version                 show the version and exit\n";
}

// What the command line asks for; `mistake` says what is wrong with it, or is empty.
struct Request {
  bool help = false;
  bool version = false;
  int players = 1;
  std::string drive;  // empty: both players in a two-player match, player one in a one-player one
  long passes = 0;
  std::string mistake;
};

Request parse_request(int argc, char** argv) {
  Request request;
  std::string& mistake = request.mistake;
  for (int i = 1; i < argc && mistake.empty(); ++i) {
    const std::string argument = argv[i];
    const bool takes_value = argument == "--players" || argument == "--drive";
    if (takes_value && i + 1 >= argc) {
      mistake = "option '" + argument + "' needs a value";
    } else if (argument == "--help" || argument == "-h") {
      request.help = true;
    } else if (argument == "--version") {
      request.version = true;
    } else if (argument == "--players") {
      command_line::parse_players(argv[++i], request.players, mistake);
    } else if (argument == "--drive") {
      request.drive = argv[++i];
      if (request.drive != "one" && request.drive != "two" && request.drive != "both") {
        mistake = "--drive must be one, two or both, not '" + request.drive + "'";
      }
    } else if (argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9')) {
      mistake = "unknown option '" + argument + "'";
    } else if (request.passes != 0) {
      mistake = "one count of passes only, not '" + argument + "' too";
    } else {
      // A script longer than a reader takes would be of no use.
      command_line::parse_number("PASSES", argv[i], 1, static_cast<long>(platform::max_script_lines), request.passes,
                                 mistake);
    }
  }
  if (!mistake.empty() || request.help || request.version) return request;
  if (request.passes == 0) {
    mistake = "no count of passes given";
  } else if (request.players == 1 && (request.drive == "two" || request.drive == "both")) {
    mistake = "--drive " + request.drive + " needs --players 2: the computer plays the second skater";
  }
  return request;
}

}  // namespace

int main(int argc, char** argv) {
  Request request = parse_request(argc, argv);
  if (!request.mistake.empty()) return command_line::refuse(program, request.mistake);
  if (request.help) return command_line::print_help(program, autoplay_usage());
  if (request.version) return command_line::print_version(program, RINK_VERSION);
  if (!command_line::output_open(program)) return 1;
  const int players = request.players;
  const long passes = request.passes;
  if (request.drive.empty()) request.drive = players == 2 ? "both" : "one";
  const char* drive = request.drive.c_str();
  const bool drives_one = request.drive != "two";
  const bool drives_two = request.drive != "one";
  platform::write_players_line(stdout, players);
  if (players == 1) {
    std::printf("# %ld passes of player one's autopilot (rink-autoplay %ld)\n", passes, passes);
  } else {
    const char* whom = !drives_two ? "player one" : !drives_one ? "player two" : "both players";
    std::printf("# %ld passes of a two-player match, the autopilot playing %s (rink-autoplay --players 2 --drive %s %ld)\n",
                passes, whom, drive, passes);
  }
  AutopilotKeys keys(Autopilots(drives_one, drives_two), passes, stdout);
  platform::HeadlessBackend backend;
  backend.play(keys);
  platform::use_backend(&backend);
  const int exit_code = win_main(nullptr, {players, &keys});
  platform::use_backend(nullptr);
  return command_line::finish_output(program, exit_code);
}
