// rink-replay, run as a separate program on small scripts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "build_tree.h"

namespace {

constexpr char header[] =
    "frame,result,player_x,player_y,cpu_x,cpu_y,lgoalie_x,lgoalie_y,rgoalie_x,rgoalie_y,player_dx,player_dy,"
    "accel_x,accel_y,player_facing,puck_dx,puck_dy,puck_x,puck_y,cpu_dx,cpu_dy,player_down_timer,cpu_down_timer,"
    "player_stride,cpu_stride,lgoalie_readiness,rgoalie_readiness,player_windup,cpu_windup,lgoalie_tracking,"
    "rgoalie_tracking,cpu_shot_ready,player_has_puck,cpu_has_puck,shot_aim,player_score,cpu_score";

struct ReplayRun {
  int exit_code = -1;
  std::vector<std::string> lines;  // standard output
  std::string errors;              // standard error
};

std::string slurp(const std::string& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string replay_base() { return ::testing::TempDir() + "replay-" + std::to_string(getpid()); }

ReplayRun replay(const std::string& script, const std::string& options = "") {
  const std::string base = replay_base();
  std::ofstream(base + ".keys") << script;
  const std::string command = build_directory().string() + "/rink-replay " + options + " " + base + ".keys > " + base +
                              ".out 2> " + base + ".err";
  ReplayRun run;
  const int status = std::system(command.c_str());
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream out(slurp(base + ".out"));
  for (std::string line; std::getline(out, line);) run.lines.push_back(line);
  run.errors = slurp(base + ".err");
  for (const char* suffix : {".keys", ".out", ".err"}) std::remove((base + suffix).c_str());
  return run;
}

// The value of one column of a frame line.
long column(const std::string& line, const std::string& name) {
  std::istringstream names(header), values(line);
  std::string field, value;
  while (std::getline(names, field, ',') && std::getline(values, value, ',')) {
    if (field == name) return std::stol(value);
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

TEST(ReplayTest, PrintsTheHeaderThenOneLinePerFrame) {
  const ReplayRun run = replay("\n# a comment is no pass\nRight\nRight Down\n");
  EXPECT_EQ(run.exit_code, 0) << run.errors;
  ASSERT_EQ(run.lines.size(), 4u);
  EXPECT_EQ(run.lines[0], header);
  const std::string& first = run.lines[1];
  EXPECT_EQ(first.substr(0, 4), "0,1,");
  EXPECT_EQ(column(first, "puck_x"), 320);  // moved from (300, 250) by (20, 20)
  EXPECT_EQ(column(first, "puck_y"), 270);
  EXPECT_EQ(column(first, "player_x"), 100);
  EXPECT_EQ(column(first, "player_y"), 200);
  EXPECT_EQ(column(first, "player_facing"), 1);
  EXPECT_EQ(column(run.lines[3], "player_stride"), 2);  // two allowed moves
}

TEST(ReplayTest, DrawsPrecedeTheirFrame) {
  const ReplayRun run = replay("\n", "--draws");
  ASSERT_GE(run.lines.size(), 4u);
  EXPECT_EQ(run.lines[1], "background");
  EXPECT_THAT(run.lines, ::testing::Contains("blit,firstplayertwo,100,200"));  // idle, facing right
  EXPECT_THAT(run.lines, ::testing::Contains("puck,320,270"));
  EXPECT_EQ(run.lines[run.lines.size() - 2], "present");
  EXPECT_EQ(run.lines.back().substr(0, 4), "0,1,");
}

TEST(ReplayTest, AnUnknownKeyStopsBeforeAnyFrame) {
  const ReplayRun run = replay("Right\n\nLeft Jump\n");
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.errors, "rink-replay: " + replay_base() + ".keys: line 3: unknown key 'Jump'\n");
  EXPECT_TRUE(run.lines.empty());
}

TEST(ReplayTest, EscapeEndsTheReplayAfterItsFrame) {
  const ReplayRun run = replay("\nEscape\n\n\n");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.lines.size(), 3u);  // header and two frames
}

// A whole recorded session: goals at both ends, saves, checks won and lost both ways and match
// ends. Any change of behaviour shows as the first line that differs.
TEST(ReplayTest, TheGoldenSessionReplaysExactly) {
  const std::string data = RINK_REPLAY_DATA;
  const ReplayRun run = replay(slurp(data + "/golden.keys"), "--draws");
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  std::istringstream expected(slurp(data + "/golden.expected"));
  std::size_t line = 0;
  for (std::string want; std::getline(expected, want); ++line) {
    ASSERT_LT(line, run.lines.size()) << "the replay stops early, at line " << line + 1;
    ASSERT_EQ(run.lines[line], want) << "first difference at line " << line + 1;
  }
  EXPECT_EQ(line, run.lines.size()) << "the replay prints more lines than expected";
  EXPECT_GT(line, 3000u);
}

// The autopilot plays by the simulation's own rules through the real game: 3000 of its passes
// are the golden session's keys, so `make golden` writes the same session again.
TEST(ReplayTest, TheAutopilotWritesTheGoldenSessionsKeys) {
  const std::string base = ::testing::TempDir() + "autoplay-" + std::to_string(getpid()) + ".keys";
  const std::string command = build_directory().string() + "/rink-autoplay 3000 > " + base;
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(slurp(base) == slurp(std::string(RINK_REPLAY_DATA) + "/golden.keys"))
      << "the autopilot plays another session than the golden one";
  std::remove(base.c_str());
}

// Every line gains player two's facing and aim; with none of player two's keys held, the second
// skater stands where the computer's would skate off after the puck.
TEST(ReplayTest, ATwoPlayerMatchAppendsPlayerTwosFieldsToEveryLine) {
  const ReplayRun one = replay("\n\n\n");
  const ReplayRun two = replay("\n\n\n", "--players 2");
  ASSERT_EQ(two.exit_code, 0) << two.errors;
  ASSERT_EQ(two.lines.size(), 4u);
  EXPECT_EQ(two.lines[0], std::string(header) + ",player_two_facing,player_two_shot_aim");
  for (std::size_t line = 1; line < two.lines.size(); ++line) {
    EXPECT_THAT(two.lines[line], ::testing::EndsWith(",2,0"));  // facing left, aiming at the middle
    EXPECT_EQ(std::count(two.lines[line].begin(), two.lines[line].end(), ','),
              std::count(two.lines[0].begin(), two.lines[0].end(), ','));
  }
  EXPECT_NE(column(one.lines[3], "cpu_x"), 540);
  EXPECT_EQ(column(two.lines[3], "cpu_x"), 540);
  EXPECT_EQ(replay("\n", "--players 3").exit_code, 2);
}

// A two-player recording names its players on its first line, and plays so unless told
// otherwise; told otherwise, it is refused in one line before any frame.
TEST(ReplayTest, AScriptThatNamesTwoPlayersIsReplayedAsATwoPlayerMatch) {
  std::string script = "# players 2\n", rightwards;
  for (int pass = 0; pass < 12; ++pass) script += "P2Left\n", rightwards += "Right\n";
  const ReplayRun named = replay(script);
  ASSERT_EQ(named.exit_code, 0) << named.errors;
  EXPECT_EQ(named.lines, replay(script, "--players 2").lines);
  ASSERT_EQ(named.lines.size(), 13u);
  const long skated = column(replay(rightwards).lines[12], "player_x") - 100;
  EXPECT_GT(skated, 5);
  EXPECT_EQ(column(named.lines[12], "cpu_x"), 540 - skated) << "player two skates left as far as player one right";
  const ReplayRun refused = replay(script, "--players 1");
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_EQ(refused.errors, "rink-replay: " + replay_base() + ".keys: the script holds a two-player session, not a one-player one\n");
  EXPECT_TRUE(refused.lines.empty());
}

std::string golden_keys() { return slurp(std::string(RINK_REPLAY_DATA) + "/golden.keys"); }

struct Autoplay {
  int exit_code;
  std::string keys;
};

Autoplay autoplay(const std::string& arguments) {
  const std::string base = ::testing::TempDir() + "autoplay-" + std::to_string(getpid()) + ".keys";
  const std::string command = build_directory().string() + "/rink-autoplay " + arguments + " > " + base + " 2>&1";
  const int status = std::system(command.c_str());
  Autoplay run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(base)};
  std::remove(base.c_str());
  return run;
}

// Both players' autopilots, player two's deciding on the mirror image of the match, play a
// whole match against each other headless, and the same keys replay to the same frames.
TEST(ReplayTest, BothAutopilotsPlayATwoPlayerMatchToItsEndTheSameWayEveryTime) {
  const Autoplay keys = autoplay("--players 2 1600");
  ASSERT_EQ(keys.exit_code, 0) << keys.keys;
  EXPECT_EQ(autoplay("--players 2 1600").keys, keys.keys);
  EXPECT_TRUE(keys.keys.starts_with("# players 2\n"));
  const ReplayRun cues = replay(keys.keys, "--cues");
  ASSERT_EQ(cues.exit_code, 0) << cues.errors;
  EXPECT_THAT(cues.lines, ::testing::Contains(::testing::MatchesRegex("[0-9]+,match_won,100,.*")));
  EXPECT_THAT(cues.lines, ::testing::Contains(::testing::MatchesRegex("[0-9]+,goal,.*,second_skater")));
  const ReplayRun frames = replay(keys.keys);
  ASSERT_EQ(frames.exit_code, 0) << frames.errors;
  EXPECT_EQ(replay(keys.keys).lines, frames.lines);
  EXPECT_EQ(frames.lines.size(), 1601u);
}

TEST(ReplayTest, TheAutopilotDrivesEitherPlayerAndOnlyInAMatchThatHasHim) {
  const Autoplay two = autoplay("--players 2 --drive two 300");
  ASSERT_EQ(two.exit_code, 0) << two.keys;
  EXPECT_THAT(two.keys, ::testing::HasSubstr("\nP2"));
  std::istringstream words(two.keys);
  for (std::string line; std::getline(words, line);) {
    std::istringstream keys(line);
    for (std::string key; !line.starts_with('#') && keys >> key;) {
      EXPECT_TRUE(key.starts_with("P2") || key == "D" || key == "N") << line;
    }
  }
  const Autoplay one = autoplay("--players 2 --drive one 300");
  EXPECT_THAT(one.keys, ::testing::Not(::testing::HasSubstr("\nP2")));
  EXPECT_THAT(one.keys, ::testing::HasSubstr("\nRight"));
  EXPECT_EQ(autoplay("--drive two 300").exit_code, 2) << "the computer plays the second skater";
  EXPECT_EQ(autoplay("--players 3 300").exit_code, 2);
}

// Every mistake is one line naming the argument and what is wrong with it, then where the usage
// is; numbers are read whole, within their range.
TEST(ToolCommandLines, AMistakeIsOneLineAndAPointerToTheHelp) {
  const struct {
    std::string arguments, line;
  } autoplay_mistakes[] = {
      {"1e9x", "PASSES must be a whole number from 1 to 1000000, not '1e9x'"},
      {"99999999999", "PASSES must be a whole number from 1 to 1000000, not '99999999999'"},
      {"0", "PASSES must be a whole number from 1 to 1000000, not '0'"},
      {"-5", "PASSES must be a whole number from 1 to 1000000, not '-5'"},
      {"", "no count of passes given"},
      {"300 400", "one count of passes only, not '400' too"},
      {"--drive left --players 2 300", "--drive must be one, two or both, not 'left'"},
      {"--fast 300", "unknown option '--fast'"},
      {"300 --players", "option '--players' needs a value"},
  };
  for (const auto& [arguments, line] : autoplay_mistakes) {
    const Autoplay run = autoplay(arguments);
    EXPECT_EQ(run.exit_code, 2) << arguments;
    EXPECT_EQ(run.keys, "rink-autoplay: " + line + "\nTry 'rink-autoplay --help'.\n") << arguments;
  }
  const struct {
    std::string arguments, line;
  } replay_mistakes[] = {
      {"--draws --draws", "one of --draws and --cues only, not '--draws' too"},
      {"--cues --draws", "one of --draws and --cues only, not '--draws' too"},
      {"--players 3", "--players must be 1 or 2, not '3'"},
      {"--picture ''", "--picture needs a file name, not ''"},
      {"--frames", "unknown option '--frames'"},
      {"other.keys", "one script only, not '" + replay_base() + ".keys' too"},
  };
  for (const auto& [arguments, line] : replay_mistakes) {
    const ReplayRun run = replay("Right\n", arguments);
    EXPECT_EQ(run.exit_code, 2) << arguments;
    EXPECT_EQ(run.errors, "rink-replay: " + line + "\nTry 'rink-replay --help'.\n") << arguments;
    EXPECT_TRUE(run.lines.empty()) << arguments;
  }
}

TEST(ToolCommandLines, HelpAndVersionAnswerOnStandardOutput) {
  for (const char* tool : {"rink-replay", "rink-autoplay"}) {
    const std::string out = ::testing::TempDir() + "tool-" + std::to_string(getpid()) + ".out";
    const std::string program = build_directory().string() + "/" + tool;
    ASSERT_EQ(std::system((program + " --version > " + out).c_str()), 0) << tool;
    EXPECT_EQ(slurp(out), std::string(tool) + " " RINK_VERSION "\n");
    ASSERT_EQ(std::system((program + " --help > " + out).c_str()), 0) << tool;
    EXPECT_TRUE(slurp(out).starts_with(std::string("usage: ") + tool + " ")) << slurp(out);
    std::remove(out.c_str());
  }
}

// Results that cannot be written all are a failure, told in one line: a full disk, or no
// standard output at all.
TEST(ToolCommandLines, OutputThatCannotBeWrittenIsAFailure) {
  const std::string base = replay_base(), program = build_directory().string() + "/rink-replay ";
  std::ofstream(base + ".keys") << golden_keys();
  const struct {
    std::string command, line;
  } failures[] = {
      {program + base + ".keys > /dev/full", "rink-replay: cannot write the standard output: No space left on device"},
      {program + base + ".keys >&-", "rink-replay: cannot write the standard output: Bad file descriptor"},
      {build_directory().string() + "/rink-autoplay 500 > /dev/full",
       "rink-autoplay: cannot write the standard output: No space left on device"},
  };
  for (const auto& [command, line] : failures) {
    const int status = std::system((command + " 2> " + base + ".err").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command;
    EXPECT_EQ(slurp(base + ".err"), line + "\n") << command;
  }
  std::remove((base + ".keys").c_str());
  std::remove((base + ".err").c_str());
}

// A recording whose last line was cut short plays to its last whole line, after one warning that
// names the file.
TEST(ReplayTest, ACutShortRecordingPlaysToItsLastWholeLine) {
  const ReplayRun cut = replay("Right\nRight\nRight Do");
  EXPECT_EQ(cut.exit_code, 0);
  EXPECT_EQ(cut.errors, "rink-replay: " + replay_base() + ".keys: warning: line 3: unfinished and left out: unknown key 'Do'\n");
  EXPECT_EQ(cut.lines, replay("Right\nRight\n").lines);
}

// Each shot is heard in the frame whose line shows the shooter's puck gone.
TEST(ReplayTest, CuesCarryTheFrameNumbersOfTheMatchState) {
  const ReplayRun states = replay(golden_keys());
  const ReplayRun cues = replay(golden_keys(), "--cues");
  ASSERT_EQ(cues.exit_code, 0) << cues.errors;
  ASSERT_FALSE(cues.lines.empty());
  EXPECT_EQ(cues.lines[0], "frame,cue,strength,who");
  int shots = 0;
  for (std::size_t k = 1; k < cues.lines.size(); ++k) {
    std::istringstream line(cues.lines[k]);
    std::string frame, cue, strength, who;
    std::getline(std::getline(std::getline(std::getline(line, frame, ','), cue, ','), strength, ','), who);
    if (cue != "shot") continue;
    const std::size_t row = std::stoul(frame) + 1;  // below the header
    ASSERT_LT(row, states.lines.size());
    const std::string carrying = who == "player_one" ? "player_has_puck" : "cpu_has_puck";
    EXPECT_EQ(column(states.lines[row - 1], carrying), 1) << cues.lines[k];
    EXPECT_EQ(column(states.lines[row], carrying), 0) << cues.lines[k];
    ++shots;
  }
  EXPECT_GT(shots, 20);
}

// The goal was heard when the game began to wait; the face-off after D never came.
TEST(ReplayTest, AScriptEndingInTheWaitForDKeepsItsGoalCue) {
  std::istringstream golden(golden_keys());
  std::string until_first_d;
  for (std::string line; std::getline(golden, line) && line != "D";) until_first_d += line + "\n";
  const ReplayRun run = replay(until_first_d, "--cues");
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  ASSERT_GE(run.lines.size(), 2u);
  EXPECT_THAT(run.lines.back(), ::testing::HasSubstr(",goal,"));
  EXPECT_THAT(run.lines, ::testing::Not(::testing::Contains(::testing::HasSubstr("face_off"))));
}

}  // namespace
