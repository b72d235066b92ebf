// The game's command line: what it accepts, and what `rink` answers without opening a window.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/options.h"
#include "build_tree.h"

namespace {

Options parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "rink");
  return parse_options(static_cast<int>(arguments.size()), arguments.data());
}

TEST(OptionsTest, TakeTheWindowTheDisplayAndTheKeyFiles) {
  const Options options = parse({"--window", "--display", "1", "--record", "out.keys", "--play", "in.keys"});
  EXPECT_EQ(options.error, "");
  EXPECT_TRUE(options.windowed);
  EXPECT_EQ(options.display, 1);
  EXPECT_EQ(options.record_file, "out.keys");
  EXPECT_EQ(options.play_file, "in.keys");
  EXPECT_TRUE(parse({"--scale", "whole"}).whole_scale);
  EXPECT_FALSE(parse({"--scale", "sharp"}).whole_scale);
  const Options plain = parse({});
  EXPECT_FALSE(plain.whole_scale);
  EXPECT_FALSE(plain.windowed);
  EXPECT_EQ(plain.display, -1);
  EXPECT_EQ(plain.record_file, "");
  EXPECT_EQ(plain.players, 0) << "as a script to play says, else one";
  EXPECT_EQ(parse({"--players", "2"}).players, 2);
  EXPECT_EQ(parse({"--players", "1"}).players, 1);
}

TEST(OptionsTest, RefuseWhatTheyCannotUse) {
  EXPECT_EQ(parse({"--fullscreen"}).error, "unknown option '--fullscreen'");
  EXPECT_EQ(parse({"--record"}).error, "option '--record' needs a value");
  EXPECT_EQ(parse({"--record", ""}).error, "--record needs a file name, not ''");
  EXPECT_EQ(parse({"--play", ""}).error, "--play needs a file name, not ''");
  EXPECT_EQ(parse({"--scale", "2"}).error, "--scale must be sharp or whole, not '2'");
  EXPECT_EQ(parse({"--players", "3"}).error, "--players must be 1 or 2, not '3'");
  EXPECT_EQ(parse({"--players"}).error, "option '--players' needs a value");
  for (const char* display : {"-1", "x", "2x", "", "100", "1e1", " 1", "99999999999999999999999"}) {
    EXPECT_EQ(parse({"--display", display}).error,
              std::string("--display must be a whole number from 0 to 99, not '") + display + "'")
        << display;
  }
  for (const char* volume : {"1e9x", "101", "99999999999", "+5", "0x10"}) {
    EXPECT_EQ(parse({"--volume", volume}).error,
              std::string("--volume must be a whole number from 0 to 100, not '") + volume + "'")
        << volume;
  }
  EXPECT_EQ(parse({"--volume", "007"}).volume, 7);
  EXPECT_EQ(parse({"--volume", "100"}).volume, 100);
  EXPECT_EQ(parse({"--display", "0"}).display, 0);
}

TEST(OptionsTest, OnlinePlayAndWatchingTakeWhatGoesWithThem) {
  const Options joined = parse({"--online", "ABCD2345", "--play", "join.keys", "--relay", "ws://127.0.0.1"});
  EXPECT_EQ(joined.error, "");
  EXPECT_EQ(joined.room, "ABCD2345");
  EXPECT_EQ(joined.play_file, "join.keys");
  const Options watched = parse({"--watch", "ABCD2345", "--record", "seen.keys"});
  EXPECT_EQ(watched.error, "");
  EXPECT_TRUE(watched.watch);
  EXPECT_EQ(watched.room, "ABCD2345");
  EXPECT_EQ(parse({"--watch"}).error, "option '--watch' needs a value");
  EXPECT_EQ(parse({"--watch", "A", "--online"}).error, "--watch and --online go apart: watch a room or play in one");
  EXPECT_EQ(parse({"--watch", "A", "--play", "x.keys"}).error,
            "--watch shows the match: it plays no script, leave out --play");
  EXPECT_EQ(parse({"--online", "--players", "1"}).error, "online play is for two players, not --players 1");
  EXPECT_EQ(parse({"--relay", "ws://h"}).error, "--relay is for --online and --watch");
}

TEST(OptionsTest, HintsAreOnUnlessLeftOut) {
  EXPECT_TRUE(parse({}).hints);
  EXPECT_FALSE(parse({"--no-hints", "--window"}).hints);
  EXPECT_NE(std::string(usage_text()).find("--no-hints     leave out the first match's hints and the goal banners\n"),
            std::string::npos);
}

struct RinkRun {
  int exit_code;
  std::string output;
};

std::string rink_program() { return (build_directory() / "rink").string(); }

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the built game with these arguments and no display at all, or with the environment given.
RinkRun run_rink(const std::string& arguments, const std::string& environment = "") {
  const std::string program = rink_program();
  const std::string command =
      "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + environment + " " + program + " 2>&1 " + arguments;
  RinkRun run{-1, ""};
  FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return run;
  std::array<char, 256> buffer{};
  for (std::size_t got; (got = fread(buffer.data(), 1, buffer.size(), out)) > 0;) run.output.append(buffer.data(), got);
  const int status = pclose(out);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(RinkCommandLine, AnswersHelpAndVersionAndRefusesAMistakeInOneLine) {
  const RinkRun version = run_rink("--version");
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output, "rink " RINK_VERSION "\n");
  const RinkRun help = run_rink("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output, usage_text());
  const RinkRun unknown = run_rink("--fast");
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_EQ(unknown.output, "rink: unknown option '--fast'\nTry 'rink --help'.\n");
  const RinkRun loud = run_rink("--volume 1e9x");
  EXPECT_EQ(loud.exit_code, 2);
  EXPECT_EQ(loud.output, "rink: --volume must be a whole number from 0 to 100, not '1e9x'\nTry 'rink --help'.\n");
  const RinkRun full = run_rink("--help >/dev/full");
  EXPECT_EQ(full.exit_code, 1);
  EXPECT_EQ(full.output, "rink: cannot write the standard output: No space left on device\n");
}

// What a script holds is checked before any window opens, and the one line that says why holds
// none of a bad script's bytes: escape sequences, a NUL and a byte above ASCII never reach the
// terminal.
TEST(RinkCommandLine, RefusesInOneLineAScriptItCannotPlayOrARecordingItCannotWrite) {
  const std::string base = ::testing::TempDir() + "options-test-" + std::to_string(getpid());
  constexpr char escapes_and_nul[] = "Left\n\x1b[2J\x1b]0;pwned\x07Ri\0ght\xff\n";
  write_file(base + "-unknown.keys", "Left\nJump\n");
  write_file(base + "-binary.keys", std::string(escapes_and_nul, sizeof escapes_and_nul - 1));
  write_file(base + "-empty.keys", "# nothing to play\n");
  write_file(base + "-two.keys", "# players 2\nP2Left\n");
  ASSERT_EQ(mkdir((base + "-folder").c_str(), 0700), 0);
  const struct {
    std::string arguments;
    std::string output;
  } refusals[] = {
      {"--play " + base + "-unknown.keys", "rink: " + base + "-unknown.keys: line 2: unknown key 'Jump'\n"},
      {"--play " + base + "-binary.keys", "rink: " + base + "-binary.keys: line 2: not text\n"},
      {"--play " + base + "-empty.keys", "rink: " + base + "-empty.keys: no line of keys\n"},
      {"--play " + base + "-missing/keys", "rink: cannot read '" + base + "-missing/keys': No such file or directory\n"},
      {"--play " + base + "-folder", "rink: cannot read '" + base + "-folder': a folder, not a key script\n"},
      {"--play /dev/zero", "rink: cannot read '/dev/zero': a device, not a key script\n"},
      {"--record " + base + "-missing/keys", "rink: cannot write '" + base + "-missing/keys': No such file or directory\n"},
      {"--players 1 --play " + base + "-two.keys",
       "rink: " + base + "-two.keys: the script holds a two-player session, not a one-player one\n"},
  };
  for (const auto& refusal : refusals) {
    const RinkRun run = run_rink(refusal.arguments);
    EXPECT_EQ(run.exit_code, 2) << refusal.arguments;
    EXPECT_EQ(run.output, refusal.output) << refusal.arguments;
  }
  for (const char* name : {"-unknown.keys", "-binary.keys", "-empty.keys", "-two.keys", "-folder"}) {
    std::remove((base + name).c_str());
  }
}

// On SDL's dummy screen, with a script of some seconds that ends with Escape: the disk fills up
// after some lines (a file size limit stands in for it); that is reported once, while the game
// still runs, the game ends with code 1, and the recording ends with its last whole line.
TEST(RinkCommandLine, ARecordingThatCannotBeWrittenIsReportedAtTheFirstFailedWrite) {
  const std::string base = ::testing::TempDir() + "options-test-" + std::to_string(getpid());
  std::string keys;
  for (int pass = 0; pass < 50; ++pass) keys += "Right\n";
  write_file(base + ".keys", keys + "Escape\n");
  const std::string program = rink_program(), script = base + ".keys", errors = base + ".err";
  const std::string recording = base + ".rec";
  std::vector<std::string> environment{"SDL_VIDEODRIVER=dummy", "SDL_RENDER_DRIVER=software",
                                       "ASAN_OPTIONS=detect_leaks=0"};
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const pid_t game = fork();
  ASSERT_GE(game, 0);
  if (game == 0) {
    const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || dup2(fd, STDERR_FILENO) < 0) _exit(127);
    const rlimit full_disk{300, 300};
    if (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &full_disk) != 0) _exit(127);
    const char* argv[] = {program.c_str(), "--play", script.c_str(), "--record", recording.c_str(), nullptr};
    execve(program.c_str(), const_cast<char* const*>(argv), envp.data());
    _exit(127);
  }
  const auto reported = [&] { return read_file(errors).find("cannot write the recording") != std::string::npos; };
  bool running_when_reported = false;
  for (int look = 0; look < 1000 && !running_when_reported; ++look) {
    if (reported()) {
      running_when_reported = waitpid(game, nullptr, WNOHANG) == 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  int status = 0;
  ASSERT_EQ(waitpid(game, &status, 0), game);
  EXPECT_TRUE(running_when_reported) << "reported only at the end, or not at all: " << read_file(errors);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(read_file(errors), "rink: cannot write the recording '" + recording + "': File too large\n");
  const std::string recorded = read_file(recording);
  EXPECT_GT(recorded.size(), 250u);
  EXPECT_TRUE(recorded.ends_with("\nRight\n")) << recorded;
  std::remove(recording.c_str());
  std::remove(script.c_str());
  std::remove(errors.c_str());
}

// An older recording of the name given to --record stays as it was while the game cannot start
// (no display), with nothing left beside it; once the game has started, the new recording takes
// its place. A recording cut short plays to its last whole line after a warning naming it.
TEST(RinkCommandLine, AnOlderRecordingIsReplacedOnlyOnceTheGameHasStarted) {
  const std::string dir = ::testing::TempDir() + "options-record-" + std::to_string(getpid());
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string old_keys = dir + "/old.keys", cut = dir + "/cut.keys";
  std::string old_recording;
  for (int pass = 0; pass < 3000; ++pass) old_recording += "Right Up\n";
  write_file(old_keys, old_recording);
  const RinkRun no_display = run_rink("--record " + old_keys);
  EXPECT_EQ(no_display.exit_code, 1) << no_display.output;
  EXPECT_EQ(read_file(old_keys), old_recording);

  write_file(cut, "Right\nRight\nEscape\nRig");
  const RinkRun started = run_rink("--play " + cut + " --record " + old_keys,
                                   "SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "
                                   "ASAN_OPTIONS=detect_leaks=0");
  EXPECT_EQ(started.exit_code, 0);
  EXPECT_NE(started.output.find("rink: " + cut + ": warning: line 4: unfinished and left out: unknown key 'Rig'\n"),
            std::string::npos)
      << started.output;
  const std::string recorded = read_file(old_keys);
  EXPECT_TRUE(recorded.starts_with("# keys of a session of rink ")) << recorded;
  EXPECT_TRUE(recorded.ends_with("\nRight\nRight\nEscape\n")) << recorded;
  std::remove(old_keys.c_str());
  std::remove(cut.c_str());
  EXPECT_EQ(rmdir(dir.c_str()), 0) << "a file was left beside the recording";
}

// A room to join or watch is named in the relay's address, for a proxy in front of several relays
// to route by; what is no room code never reaches the network.
TEST(RinkCommandLine, AJoinNamesItsRoomInTheRelaysAddressAndWhatIsNoCodeIsRefused) {
  const RinkRun spaced = run_rink("--online 'ab cd' --relay ws://127.0.0.1:9");
  EXPECT_EQ(spaced.exit_code, 2);
  EXPECT_EQ(spaced.output, "rink: --online 'AB CD' is not a room code: a code has 8 of the letters and digits "
                           "23456789ABCDEFGHJKMNPQRSTUVWXYZ\nTry 'rink --help'.\n");

  // A listener that reads the request's first line and hangs up.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string relay = "ws://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/relay";
  RinkRun watched{};
  std::thread game([&] { watched = run_rink("--watch abcd2345 --relay " + relay); });
  pollfd waiting{listener, POLLIN, 0};
  std::string request;
  if (poll(&waiting, 1, 20000) == 1) {
    const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    std::array<char, 512> bytes{};
    for (ssize_t got; request.find("\r\n") == std::string::npos &&
                      (got = recv(connection, bytes.data(), bytes.size(), 0)) > 0;) {
      request.append(bytes.data(), static_cast<std::size_t>(got));
    }
    close(connection);
  }
  close(listener);
  game.join();
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /relay?room=ABCD2345 HTTP/1.1");
  EXPECT_EQ(watched.exit_code, 1) << watched.output;
}

}  // namespace
