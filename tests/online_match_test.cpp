// A whole online match through a bad line: the real relay behind a proxy that delays and stalls,
// and two real rink processes (on SDL's dummy drivers, each with its own home) that play the two
// halves of one two-player autopilot script, the one who made the room player one's keys and the
// one who joined the P2 keys. Both sides record the same match, byte for byte, and it ends with
// the score of the same script played at one keyboard.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "build_tree.h"
#include "line_proxy.h"
#include "net/protocol.h"
#include "platform/key_script.h"
#include "relay_process.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Passes of the autopilots' match: enough for one of them to win it.
constexpr int match_passes = 1600;
// How long the sides may take: the match's passes at the game's pace take nearly three minutes,
// and a loaded machine running the sanitizers' build falls behind that pace.
constexpr auto sides_wait = 1100s;

std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs a build tool to its end with its standard output into `out`; its exit status.
int run_into(const std::string& tool, const std::string& arguments, const fs::path& out) {
  const std::string command = (build_directory() / tool).string() + " " + arguments + " > " + out.string() + " 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The lines of a two-player script that one seat plays: its own keys of each line (D and N for
// both), comments as they are.
std::string seats_half(const std::string& script, net::Seat seat) {
  std::istringstream lines(script);
  std::string half;
  for (std::string line; std::getline(lines, line);) {
    platform::KeySet keys;
    std::string error;
    const platform::KeyLine kind = platform::parse_key_line(line, keys, error);
    EXPECT_NE(kind, platform::KeyLine::bad) << error;
    const platform::KeySet own = platform::KeySet::from_bits(keys.bits() & net::seat_key_bits(seat));
    half += (kind == platform::KeyLine::comment ? line : platform::format_key_line(own)) + "\n";
  }
  return half;
}

// A rink process on SDL's dummy drivers, with a home and XDG folders of its own under `folder`,
// its standard output and error in files there.
class RinkProcess {
 public:
  RinkProcess(const fs::path& folder, const std::vector<std::string>& arguments)
      : out_(folder / "out.txt"), err_(folder / "err.txt") {
    for (const char* sub : {"home", "config", "data", "state", "cache"}) fs::create_directories(folder / sub);
    // Muted and in a window: the sound and the full-screen scaling are no part of the match.
    std::vector<std::string> all{(build_directory() / "rink").string(), "--mute", "--window"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    pid_ = fork();
    if (pid_ != 0) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // No display of the machine's: with one, libdbus under SDL tries to reach a session bus
    // through it and keeps what it allocated to the end, which the leak checker would report.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("LSAN_OPTIONS", "suppressions=" RINK_LSAN_SUPPRESSIONS ":print_suppressions=0", 1);
    setenv("HOME", (folder / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    const int out = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ~RinkProcess() {
    if (pid_ > 0 && !exit_code_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  RinkProcess(const RinkProcess&) = delete;
  RinkProcess& operator=(const RinkProcess&) = delete;

  // The first line it prints, waiting `wait` at most.
  std::string first_line(std::chrono::seconds wait) {
    for (const auto until = std::chrono::steady_clock::now() + wait; std::chrono::steady_clock::now() < until;) {
      const std::string text = slurp(out_);
      if (const std::size_t end = text.find('\n'); end != std::string::npos) return text.substr(0, end);
      if (exited()) break;
      std::this_thread::sleep_for(50ms);
    }
    return "";
  }
  // Whether it has exited; its exit code is then known (-1: it did not exit by itself).
  bool exited() {
    int status = 0;
    if (!exit_code_ && pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
      exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return exit_code_.has_value();
  }
  std::optional<int> exit_code() const { return exit_code_; }
  std::string output() const { return slurp(out_); }
  std::string errors() const { return slurp(err_); }

 private:
  fs::path out_, err_;
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
};

// Waits for both to exit, `wait` at most.
void await_both(RinkProcess& a, RinkProcess& b, std::chrono::seconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  while (!(a.exited() & b.exited()) && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(100ms);
}

// The goals of the match as its cues tell them: "N:M", player one's and player two's.
std::string goals(const std::string& cues) {
  std::istringstream lines(cues);
  int one = 0, two = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find(",goal,") == std::string::npos) continue;
    (line.ends_with(",player_one") ? one : two) += 1;
  }
  return std::to_string(one) + ":" + std::to_string(two);
}

// Where two replays' lines first differ: "line N: A | B", or empty.
std::string first_difference(const std::string& a, const std::string& b) {
  std::istringstream as(a), bs(b);
  std::string line_a, line_b;
  for (int line = 1;; ++line) {
    const bool more_a = static_cast<bool>(std::getline(as, line_a));
    const bool more_b = static_cast<bool>(std::getline(bs, line_b));
    if (!more_a && !more_b) return "";
    if (more_a != more_b || line_a != line_b) {
      return "line " + std::to_string(line) + ": " + (more_a ? line_a : "(none)") + " | " + (more_b ? line_b : "(none)");
    }
  }
}

TEST(OnlineMatch, TwoRinksPlayAWholeMatchThroughADelayingStallingLine) {
  const fs::path base = ::testing::TempDir() + "online-match-" + std::to_string(getpid());
  fs::remove_all(base);
  fs::create_directories(base);
  ASSERT_EQ(run_into("rink-autoplay", "--players 2 " + std::to_string(match_passes), base / "match.keys"), 0);
  const std::string script = slurp(base / "match.keys");
  ASSERT_EQ(run_into("rink-replay", "--cues " + (base / "match.keys").string(), base / "match.cues"), 0);
  const std::string cues = slurp(base / "match.cues");
  ASSERT_NE(cues.find(",match_won,"), std::string::npos) << "the autopilots' match has no end";
  std::ofstream(base / "host.keys", std::ios::binary) << seats_half(script, net::Seat::one);
  std::ofstream(base / "join.keys", std::ios::binary) << seats_half(script, net::Seat::two);

  relay_testing::RelayProcess relay(RINK_RELAY, {}, (base / "relay.log").string());
  ASSERT_NE(relay.port(), 0);
  relay_testing::LineShape shape;
  shape.seed = 20261208;
  relay_testing::LineProxy line(relay.port(), shape);
  const std::string url = "ws://127.0.0.1:" + std::to_string(line.port());

  RinkProcess host(base / "host", {"--online", "--relay", url, "--play", (base / "host.keys").string(), "--record",
                                   (base / "a.keys").string()});
  const std::string code = host.first_line(60s);
  ASSERT_TRUE(net::is_room_code(code)) << "'" << code << "': " << host.errors();
  RinkProcess joiner(base / "join", {"--online", code, "--relay", url, "--play", (base / "join.keys").string(),
                                     "--record", (base / "b.keys").string()});
  await_both(host, joiner, sides_wait);
  ASSERT_EQ(host.exit_code(), 0) << host.errors();
  ASSERT_EQ(joiner.exit_code(), 0) << joiner.errors();

  const std::string recorded = slurp(base / "a.keys");
  EXPECT_EQ(recorded, slurp(base / "b.keys")) << "the two sides recorded different matches";
  ASSERT_EQ(run_into("rink-replay", (base / "a.keys").string(), base / "a.replay"), 0);
  ASSERT_EQ(run_into("rink-replay", (base / "match.keys").string(), base / "match.replay"), 0);
  ASSERT_EQ(run_into("rink-replay", "--cues " + (base / "a.keys").string(), base / "a.cues"), 0);
  // Every frame of the match as at one keyboard, and so every goal and the win.
  const std::string online = slurp(base / "a.replay"), at_one_keyboard = slurp(base / "match.replay");
  EXPECT_EQ(first_difference(online, at_one_keyboard), "");
  EXPECT_EQ(slurp(base / "a.cues"), cues);
  // What each side's rollback did, and what the line did to them.
  std::cout << "host: " << host.output() << "joiner: " << joiner.output() << "line: " << line.stalls()
            << " stalls, " << line.chunks() << " chunks; goals "
            << goals(slurp(base / "a.cues")) << "\n";
  EXPECT_GT(line.stalls(), 0);
  // What went wrong is kept to look at.
  if (HasFailure()) {
    std::cout << "kept in " << base << "\nhost's errors:\n" << host.errors() << "joiner's errors:\n" << joiner.errors();
  } else {
    fs::remove_all(base);
  }
}

}  // namespace
