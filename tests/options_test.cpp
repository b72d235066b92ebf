// The game's command line: what it accepts, and what `rink` answers without opening a window.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <string>

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
  const Options plain = parse({});
  EXPECT_FALSE(plain.windowed);
  EXPECT_EQ(plain.display, -1);
  EXPECT_EQ(plain.record_file, "");
}

TEST(OptionsTest, RefuseWhatTheyCannotUse) {
  EXPECT_EQ(parse({"--fullscreen"}).error, "unknown option '--fullscreen'");
  EXPECT_EQ(parse({"--record"}).error, "option '--record' needs a value");
  for (const char* display : {"-1", "x", "2x", "", "100"}) {
    EXPECT_EQ(parse({"--display", display}).error, std::string("no such display '") + display + "'") << display;
  }
}

struct RinkRun {
  int exit_code;
  std::string output;
};

// Runs the built game with these arguments and no display at all.
RinkRun run_rink(const std::string& arguments) {
  char path[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string program(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  program = program.substr(0, program.rfind('/')) + "/rink";
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + program + " " + arguments + " 2>&1";
  RinkRun run{-1, ""};
  FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return run;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), static_cast<int>(buffer.size()), out) != nullptr) run.output += buffer.data();
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

TEST(RinkCommandLine, RefusesAScriptItCannotPlayOrARecordingItCannotWrite) {
  const std::string script = ::testing::TempDir() + "options-test.keys";
  if (FILE* file = fopen(script.c_str(), "w")) {
    fputs("Left\nJump\n", file);
    fclose(file);
  }
  const RinkRun bad = run_rink("--play " + script);
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_EQ(bad.output, "rink: " + script + ": line 2: unknown key 'Jump'\n");
  std::remove(script.c_str());
  const RinkRun missing = run_rink("--play /nonexistent/keys");
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_EQ(missing.output, "rink: cannot read '/nonexistent/keys': No such file or directory\n");
  const RinkRun unwritable = run_rink("--record /nonexistent/keys");
  EXPECT_EQ(unwritable.exit_code, 2);
  EXPECT_EQ(unwritable.output, "rink: cannot write '/nonexistent/keys': No such file or directory\n");
}

}  // namespace
