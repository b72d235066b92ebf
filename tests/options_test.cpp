// The game's command line: what it accepts, and what `rink` answers without opening a window.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/options.h"

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
  EXPECT_EQ(parse({"--scale", "2"}).error, "no such scale '2' (sharp or whole)");
  EXPECT_EQ(parse({"--players", "3"}).error, "the players must be 1 or 2, not '3'");
  EXPECT_EQ(parse({"--players"}).error, "option '--players' needs a value");
  for (const char* display : {"-1", "x", "2x", "", "100"}) {
    EXPECT_EQ(parse({"--display", display}).error, std::string("no such display '") + display + "'") << display;
  }
}

struct RinkRun {
  int exit_code;
  std::string output;
};

std::string rink_program() {
  char path[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  const std::string program(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  return program.substr(0, program.rfind('/')) + "/rink";
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the built game with these arguments and no display at all.
RinkRun run_rink(const std::string& arguments) {
  const std::string program = rink_program();
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + program + " " + arguments + " 2>&1";
  RinkRun run{-1, ""};
  FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return run;
  std::array<char, 256> buffer{};
  for (std::size_t got; (got = fread(buffer.data(), 1, buffer.size(), out)) > 0;) run.output.append(buffer.data(), got);
  const int status = pclose(out);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(RinkCommandLine, AnswersHelpAndVersionAndRefusesUnknownOptionsWithItsUsage) {
  const RinkRun version = run_rink("--version");
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output, "rink " RINK_VERSION "\n");
  const RinkRun help = run_rink("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output, usage_text());
  const RinkRun unknown = run_rink("--fast");
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_EQ(unknown.output, std::string("rink: unknown option '--fast'\n") + usage_text());
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
  const struct {
    std::string arguments;
    std::string output;
  } refusals[] = {
      {"--play " + base + "-unknown.keys", "rink: " + base + "-unknown.keys: line 2: unknown key 'Jump'\n"},
      {"--play " + base + "-binary.keys", "rink: " + base + "-binary.keys: line 2: not text\n"},
      {"--play " + base + "-empty.keys", "rink: " + base + "-empty.keys: no line of keys\n"},
      {"--play /nonexistent/keys", "rink: cannot read '/nonexistent/keys': No such file or directory\n"},
      {"--play /tmp", "rink: cannot read '/tmp': a folder, not a key script\n"},
      {"--play /dev/zero", "rink: cannot read '/dev/zero': a device, not a key script\n"},
      {"--record /nonexistent/keys", "rink: cannot write '/nonexistent/keys': No such file or directory\n"},
      {"--players 1 --play " + base + "-two.keys",
       "rink: " + base + "-two.keys: the script holds a two-player session, not a one-player one\n"},
  };
  for (const auto& refusal : refusals) {
    const RinkRun run = run_rink(refusal.arguments);
    EXPECT_EQ(run.exit_code, 2) << refusal.arguments;
    EXPECT_EQ(run.output, refusal.output) << refusal.arguments;
  }
  for (const char* name : {"-unknown.keys", "-binary.keys", "-empty.keys", "-two.keys"}) std::remove((base + name).c_str());
}

// On SDL's dummy screen, with a script of some seconds that ends with Escape: the full disk is
// reported once, while the game still runs, and the game ends with code 1.
TEST(RinkCommandLine, ARecordingThatCannotBeWrittenIsReportedAtTheFirstFailedWrite) {
  const std::string base = ::testing::TempDir() + "options-test-" + std::to_string(getpid());
  std::string keys;
  for (int pass = 0; pass < 50; ++pass) keys += "Right\n";
  write_file(base + ".keys", keys + "Escape\n");
  const std::string program = rink_program(), script = base + ".keys", errors = base + ".err";
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
    const char* argv[] = {program.c_str(), "--play", script.c_str(), "--record", "/dev/full", nullptr};
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
  EXPECT_EQ(read_file(errors), "rink: cannot write the recording '/dev/full': No space left on device\n");
  std::remove(script.c_str());
  std::remove(errors.c_str());
}

}  // namespace
