// Soak: long random key scripts played through rink-replay, with the rules the match state
// keeps checked after every frame. RINK_SOAK_FRAMES sets how many frames (default 20000).

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "build_tree.h"
#include "sim/match_fields.h"
#include "sim/match_state.h"

namespace {

// The scripts' own generator (splitmix64): seeded, so a failing run can be played again.
class ScriptRandom {
 public:
  explicit ScriptRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
  bool one_in(int odds) { return below(odds) == 0; }

 private:
  std::uint64_t state_;
};

// Skating directions, standing still included. The leftward ones come twice: the puck is mostly
// where the computer attacks, on the left, and player one's shot goes at the right-hand net
// from anywhere, so winning the puck is what brings goals.
constexpr const char* directions[] = {
    "Right", "Left", "Up", "Down", "Right Up", "Right Down", "Left Up", "Left Down", "",
    "Left",  "Left Up", "Left Down"};
constexpr const char* windups[] = {"Space", "Space Up", "Space Down"};
constexpr long lines_per_replay = 20000;  // long enough for a match to end
constexpr int escape_odds = 100000;       // per line: once in a while a replay ends early
constexpr int check_odds = 20;            // per skating line; a check stops the skater for its frame

// One stretch of play: skating one way for a while, now and then with a body check, or a
// wind-up of up to 18 frames that is then let go.
void append_phrase(ScriptRandom& random, std::vector<std::string>& lines) {
  const std::string direction = directions[random.below(std::size(directions))];
  if (random.one_in(5)) {
    lines.insert(lines.end(), 1 + random.below(18), windups[random.below(std::size(windups))]);
    lines.push_back(direction);  // Space let go: the shot leaves
    return;
  }
  const int length = 5 + random.below(56);
  for (int i = 0; i < length; ++i) lines.push_back(random.one_in(check_odds) ? direction + " Return" : direction);
}

// A script of at least `count` lines; a shorter one from the same seed is its beginning. D and
// N are held often, so the waits after a goal and after a match end soon; in play they do nothing.
std::string random_script(std::uint64_t seed, long count) {
  ScriptRandom play(seed), extra_keys(~seed);
  std::vector<std::string> lines;
  while (static_cast<long>(lines.size()) < count) append_phrase(play, lines);
  std::string script;
  for (std::string& line : lines) {
    if (extra_keys.one_in(3)) line += " D";
    if (extra_keys.one_in(3)) line += " N";
    if (extra_keys.one_in(escape_odds)) line += " Escape";
    script += line + '\n';
  }
  return script;
}

// One printed frame: its number and result, the match state as a record, and the raw values.
struct Frame {
  long number = 0;
  long result = 0;
  MatchState state;
  std::vector<long> values;
};

struct FieldSetter {
  const char* name;
  void (*set)(MatchState&, long);
};
#define MATCH_SETTER(f) FieldSetter{#f, [](MatchState& m, long v) { m.f = static_cast<decltype(m.f)>(v); }},
constexpr FieldSetter setters[] = {MATCH_FIELDS(MATCH_SETTER)};
#undef MATCH_SETTER

// The CSV header must name "frame", "result" and then every field of the record.
std::vector<const FieldSetter*> columns_of(const std::string& header) {
  std::istringstream names(header);
  std::vector<const FieldSetter*> columns;
  std::string name;
  for (int i = 0; std::getline(names, name, ','); ++i) {
    if (i < 2) continue;
    const FieldSetter* found = nullptr;
    for (const FieldSetter& setter : setters) {
      if (name == setter.name) found = &setter;
    }
    EXPECT_NE(found, nullptr) << "unknown column " << name;
    if (found != nullptr) columns.push_back(found);
  }
  EXPECT_EQ(columns.size(), std::size(setters)) << header;
  return columns;
}

Frame parse_frame(const std::string& line, const std::vector<const FieldSetter*>& columns) {
  Frame frame;
  std::istringstream cells(line);
  std::string cell;
  for (std::size_t i = 0; std::getline(cells, cell, ','); ++i) {
    const long value = std::strtol(cell.c_str(), nullptr, 10);
    if (i == 0) frame.number = value;
    else if (i == 1) frame.result = value;
    else if (i - 2 < columns.size()) columns[i - 2]->set(frame.state, value);
    frame.values.push_back(value);
  }
  return frame;
}

// A rule the match state keeps after every frame, with the fields to show when it breaks.
struct Rule {
  const char* what;
  const char* fields;  // blank-separated
  bool (*holds)(const Frame&);
};

constexpr Rule rules[] = {
    {"at most one side carries the puck", "player_has_puck cpu_has_puck",
     [](const Frame& f) { return !(f.state.player_has_puck && f.state.cpu_has_puck); }},
    {"player one carries only while standing", "player_has_puck player_down_timer",
     [](const Frame& f) { return !f.state.player_has_puck || f.state.player_down_timer == 0; }},
    {"the computer carries only while standing", "cpu_has_puck cpu_down_timer",
     [](const Frame& f) { return !f.state.cpu_has_puck || f.state.cpu_down_timer == 0; }},
    {"strides are never negative", "player_stride cpu_stride",
     [](const Frame& f) { return f.state.player_stride >= 0 && f.state.cpu_stride >= 0; }},
    {"facing is 1 to 4", "player_facing",
     [](const Frame& f) { return f.state.player_facing >= 1 && f.state.player_facing <= 4; }},
    {"the aim is 0 to 2", "shot_aim", [](const Frame& f) { return f.state.shot_aim >= 0 && f.state.shot_aim <= 2; }},
    {"scores are 0 to 10", "player_score cpu_score",
     [](const Frame& f) {
       const MatchState& m = f.state;
       return m.player_score >= 0 && m.player_score <= 10 && m.cpu_score >= 0 && m.cpu_score <= 10;
     }},
    {"a tenth goal is cleared by the frame that shows it", "result player_score cpu_score",
     [](const Frame& f) { return f.result == 0 || (f.state.player_score < 10 && f.state.cpu_score < 10); }},
    {"player one winds up only while carrying, never past 18", "player_has_puck player_windup",
     [](const Frame& f) {
       const MatchState& m = f.state;
       return m.player_windup >= 0 && m.player_windup <= 18 && (m.player_has_puck || m.player_windup == 0);
     }},
    {"goalie heights are multiples of 10", "lgoalie_y rgoalie_y",
     [](const Frame& f) { return f.state.lgoalie_y % 10 == 0 && f.state.rgoalie_y % 10 == 0; }},
    {"goalies keep their x", "lgoalie_x rgoalie_x",
     [](const Frame& f) { return f.state.lgoalie_x == 75 && f.state.rgoalie_x == 501; }},
    {"knock-downs last at most 20 frames", "player_down_timer cpu_down_timer",
     [](const Frame& f) {
       const MatchState& m = f.state;
       return m.player_down_timer >= 0 && m.player_down_timer <= 20 && m.cpu_down_timer >= 0 &&
              m.cpu_down_timer <= 20;
     }},
};

// What changed from one frame to the next, and whether the change is one the rules allow.
enum class ScoreChange { none, player_goal, cpu_goal, match_end, impossible };

ScoreChange score_change(const MatchState& before, const MatchState& after) {
  const int player = after.player_score - before.player_score;
  const int cpu = after.cpu_score - before.cpu_score;
  if (player == 0 && cpu == 0) return ScoreChange::none;
  if (player == 1 && cpu == 0) return ScoreChange::player_goal;
  if (player == 0 && cpu == 1) return ScoreChange::cpu_goal;
  // The tenth goal is shown and both scores cleared in the same frame.
  const bool from_nine = before.player_score == 9 || before.cpu_score == 9;
  if (from_nine && after.player_score == 0 && after.cpu_score == 0) return ScoreChange::match_end;
  return ScoreChange::impossible;
}

std::string field_values(const Frame& frame, const std::string& header, const std::string& wanted) {
  std::istringstream names(header), picks(wanted);
  std::vector<std::string> all;
  for (std::string name; std::getline(names, name, ',');) all.push_back(name);
  std::string shown;
  for (std::string pick; picks >> pick;) {
    for (std::size_t i = 0; i < all.size() && i < frame.values.size(); ++i) {
      if (all[i] == pick) shown += " " + pick + "=" + std::to_string(frame.values[i]);
    }
  }
  return shown;
}

struct SoakTotals {
  long frames = 0;
  long goals = 0;
  long match_ends = 0;
  int replays = 0;
  bool failed = false;
};

// Checks one frame against the rules and against the frame before it; reports the first break.
void check_frame(const Frame& frame, const Frame* before, const std::string& header, std::uint64_t seed,
                 SoakTotals& totals) {
  std::string broken, fields;
  for (const Rule& rule : rules) {
    if (!rule.holds(frame)) {
      broken = rule.what;
      fields = rule.fields;
      break;
    }
  }
  const ScoreChange change = before ? score_change(before->state, frame.state) : ScoreChange::none;
  if (broken.empty() && change == ScoreChange::impossible) {
    broken = "scores move by one goal a frame, or both clear after a tenth";
    fields = "player_score cpu_score";
  }
  const int left_readiness = before ? before->state.lgoalie_readiness : 0;
  const int right_readiness = before ? before->state.rgoalie_readiness : 0;
  if (broken.empty() && (frame.state.lgoalie_readiness < left_readiness ||
                         frame.state.rgoalie_readiness < right_readiness)) {
    broken = "goalie readiness never falls";
    fields = "lgoalie_readiness rgoalie_readiness";
  }
  if (!broken.empty()) {
    const std::string was = before ? " (frame before:" + field_values(*before, header, fields) + ")" : "";
    ADD_FAILURE() << "seed " << seed << ", frame " << frame.number << ": " << broken << ":"
                  << field_values(frame, header, fields) << was;
    totals.failed = true;
    return;
  }
  totals.goals += change == ScoreChange::player_goal || change == ScoreChange::cpu_goal || change == ScoreChange::match_end;
  totals.match_ends += change == ScoreChange::match_end;
}

// Plays one script through rink-replay and checks each frame it prints, up to `frame_limit`.
void soak_one_replay(std::uint64_t seed, long frame_limit, SoakTotals& totals) {
  const std::string keys = ::testing::TempDir() + "soak-" + std::to_string(getpid()) + ".keys";
  // Waits take a line or two per goal: a little more script than frames still wanted is enough.
  std::ofstream(keys) << random_script(seed, std::min<long>(lines_per_replay, frame_limit + 500));
  const std::string command = "'" + build_directory().string() + "/rink-replay' '" + keys + "'";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr) << command;
  std::string header;
  std::vector<const FieldSetter*> columns;
  Frame before;
  long frames = 0;
  char buffer[1024];
  while (std::fgets(buffer, sizeof buffer, output) != nullptr) {
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (header.empty()) {
      header = line;
      columns = columns_of(header);
      continue;
    }
    if (totals.failed || frames >= frame_limit) continue;  // drain the rest of the output
    const Frame frame = parse_frame(line, columns);
    check_frame(frame, frames > 0 ? &before : nullptr, header, seed, totals);
    before = frame;
    ++frames;
  }
  const int status = pclose(output);
  std::remove(keys.c_str());
  EXPECT_EQ(status, 0) << "rink-replay failed on the script of seed " << seed;
  EXPECT_GT(frames, 0) << "no frame printed for seed " << seed;
  totals.frames += frames;
  ++totals.replays;
}

long soak_frames() {
  const char* text = std::getenv("RINK_SOAK_FRAMES");
  const long frames = text ? std::strtol(text, nullptr, 10) : 20000;
  return frames > 0 ? frames : 20000;
}

TEST(SoakTest, RandomScriptsKeepTheRulesOfTheMatchState) {
  const long wanted = soak_frames();
  SoakTotals totals;
  for (std::uint64_t seed = 1; totals.frames < wanted && !totals.failed && !HasFailure(); ++seed) {
    soak_one_replay(seed, wanted - totals.frames, totals);
  }
  std::printf("soak: %ld frames checked in %d replays, %ld goals, %ld match ends\n", totals.frames,
              totals.replays, totals.goals, totals.match_ends);
  if (totals.failed) return;
  EXPECT_GE(totals.frames, wanted);
  // The default length is enough for these scripts to score and to finish matches.
  if (wanted >= 20000) {
    EXPECT_GT(totals.goals, 10);
    EXPECT_GT(totals.match_ends, 0);
  }
}

// Each rule must be able to fail: a state that breaks it is caught.
TEST(SoakTest, EveryRuleCatchesAStateThatBreaksIt) {
  Frame good;
  good.result = 1;
  for (const Rule& rule : rules) EXPECT_TRUE(rule.holds(good)) << rule.what;

  const auto breaks = [](void (*spoil)(MatchState&)) {
    Frame bad;
    bad.result = 1;
    spoil(bad.state);
    int broken = 0;
    for (const Rule& rule : rules) broken += !rule.holds(bad);
    return broken;
  };
  EXPECT_GT(breaks([](MatchState& m) { m.player_has_puck = m.cpu_has_puck = true; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.player_has_puck = true; m.player_down_timer = 3; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.cpu_has_puck = true; m.cpu_down_timer = 1; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.cpu_stride = -1; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.player_facing = 5; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.shot_aim = 3; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.cpu_score = 10; }), 0);  // shown, yet not cleared
  EXPECT_GT(breaks([](MatchState& m) { m.player_score = 11; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.player_windup = 2; }), 0);  // without the puck
  EXPECT_GT(breaks([](MatchState& m) { m.player_has_puck = true; m.player_windup = 19; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.rgoalie_y = 185; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.lgoalie_x = 76; }), 0);
  EXPECT_GT(breaks([](MatchState& m) { m.player_down_timer = 21; }), 0);

  MatchState before, after;
  before.player_score = 9;
  EXPECT_EQ(score_change(before, after), ScoreChange::match_end);
  after.player_score = 2;
  EXPECT_EQ(score_change(before, after), ScoreChange::impossible);
  before.player_score = 3;
  after.player_score = 3;
  after.cpu_score = 1;
  EXPECT_EQ(score_change(before, after), ScoreChange::cpu_goal);
  after.player_score = 4;
  EXPECT_EQ(score_change(before, after), ScoreChange::impossible);  // two goals in one frame
}

}  // namespace
