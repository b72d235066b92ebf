// A two-player match: player two skates the second skater by player one's rules, mirrored left to
// right. Player one in a situation and player two in its mirror image, with mirrored keys, must
// end in mirror images of each other, over many generated situations.

#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game_fixture.h"

namespace {

using enum SpriteId;
using ::testing::Contains;
using ::testing::IsSupersetOf;
using ::testing::Pair;
using ::testing::Gt;

// A mirror image's corner: as far from the right-hand edge as the original's from the left.
int mirror_skater_x(int x) { return 640 - 64 - x; }
int mirror_puck_x(int x) { return 640 - 9 - x; }

constexpr std::pair<int, int> mirrored_keys[] = {{VK_LEFT, VK_P2_RIGHT}, {VK_RIGHT, VK_P2_LEFT},
                                                 {VK_UP, VK_P2_UP},      {VK_DOWN, VK_P2_DOWN},
                                                 {VK_SPACE, VK_P2_SHOOT}, {VK_RETURN, VK_P2_CHECK}};

// Player two wears the pictures the computer skater wears: facing left where player one faces right.
constexpr std::pair<SpriteId, SpriteId> facing_pairs[] = {
    {firstplayerone, firstplayerthree},           {firstplayertwo, firstplayerfour},
    {firstplayeronewpuck, firstplayerthreewpuck}, {firstplayertwowpuck, firstplayerfourwpuck},
    {playershootingright1, playershootingleft1},  {playershootingright2, playershootingleft2},
    {playershootingright3, playershootingleft3},  {playershootingright4, playershootingleft4},
    {playershootingright5, playershootingleft5},  {playershootingright6, playershootingleft6}};

SpriteId mirror_image(SpriteId id) {
  for (const auto& [right, left] : facing_pairs) {
    if (id == right) return left;
    if (id == left) return right;
  }
  return id;
}

int mirror_facing(int facing) {
  return facing == facing_right ? facing_left : facing == facing_left ? facing_right : facing;
}

struct Skater {
  int x, y, dx, dy, stride, down_timer, windup;
  bool has_puck;
  bool operator==(const Skater&) const = default;
};

// A player's skater, its opponent, the puck and the goalie it shoots at, as they stand on the rink.
struct Situation {
  Skater own, other;
  int facing, aim;
  int puck_x, puck_y, puck_dx, puck_dy;
  bool goalie_tracking;
  platform::KeySet keys;
  std::optional<SpriteId> failing;  // the one picture that cannot be drawn
  bool operator==(const Situation&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Skater& s) {
  return out << "(" << s.x << "," << s.y << " step " << s.dx << "," << s.dy << " stride " << s.stride << " down "
             << s.down_timer << " windup " << s.windup << " puck " << s.has_puck << ")";
}
std::ostream& operator<<(std::ostream& out, const Situation& s) {
  out << "own " << s.own << " other " << s.other << " facing " << s.facing << " aim " << s.aim << " puck "
      << s.puck_x << "," << s.puck_y << " step " << s.puck_dx << "," << s.puck_dy << " tracking "
      << s.goalie_tracking << " keys";
  for (int key : s.keys) out << " " << key;
  if (s.failing) out << " failing " << sprite_name(*s.failing);
  return out;
}

Skater mirror(Skater s) {
  s.x = mirror_skater_x(s.x);
  s.dx = -s.dx;
  return s;
}

Situation mirror(const Situation& s) {
  Situation m = s;
  m.own = mirror(s.own);
  m.other = mirror(s.other);
  m.facing = mirror_facing(s.facing);
  m.puck_x = mirror_puck_x(s.puck_x);
  m.puck_dx = -s.puck_dx;
  m.keys.clear();
  for (const auto& [ones, twos] : mirrored_keys) {
    if (s.keys.count(ones) != 0) m.keys.insert(twos);
  }
  if (s.failing) m.failing = mirror_image(*s.failing);
  return m;
}

// A skater's fields in the match, player one's or the second skater's.
auto player_one_fields(MatchState& m) {
  return std::tie(m.player_x, m.player_y, m.player_dx, m.player_dy, m.player_stride, m.player_down_timer,
                  m.player_windup, m.player_has_puck);
}
auto second_skater_fields(MatchState& m) {
  return std::tie(m.cpu_x, m.cpu_y, m.cpu_dx, m.cpu_dy, m.cpu_stride, m.cpu_down_timer, m.cpu_windup,
                  m.cpu_has_puck);
}
template <class Fields>
void store(Fields fields, const Skater& s) {
  fields = std::tie(s.x, s.y, s.dx, s.dy, s.stride, s.down_timer, s.windup, s.has_puck);
}
template <class Fields>
Skater load(Fields fields) {
  Skater s{};
  std::tie(s.x, s.y, s.dx, s.dy, s.stride, s.down_timer, s.windup, s.has_puck) = fields;
  return s;
}

// Where a stage's draw of player two (blit or puck) would lie if it were player one's.
std::string mirror_draw(const std::string& line) {
  std::istringstream in(line);
  std::string kind, name, x, y;
  std::getline(in, kind, ',');
  if (kind == "puck") {
    std::getline(std::getline(in, x, ','), y);
    return puck_line(mirror_puck_x(std::stoi(x)), std::stoi(y));
  }
  if (kind != "blit") return line;
  std::getline(std::getline(std::getline(in, name, ','), x, ','), y);
  for (std::size_t id = 0; id < sprite_count; ++id) {
    const SpriteId sprite = static_cast<SpriteId>(id);
    if (name == sprite_name(sprite)) return blit_line(mirror_image(sprite), mirror_skater_x(std::stoi(x)), std::stoi(y));
  }
  return line;
}

class CueLog : public CueObserver {
 public:
  void on_cue(const Cue& cue) override {
    std::ostringstream line;
    line << cue_kind_name(cue.kind) << "," << cue.strength << "," << cue_who_name(cue.who);
    lines.push_back(line.str());
  }
  std::vector<std::string> lines;
};

// What a stage did: the situation it left, what it drew and the cues it gave.
struct Outcome {
  bool result;
  Situation after;
  std::vector<std::string> draws;
  std::vector<std::string> cues;
};

struct Stage {
  const char* name;
  bool (*player_one)();
  bool (*player_two)();
  bool carrying;
};

const Stage stages[] = {
    {"skating", player_skate_step, player_two_skate_step, false},
    {"carrying", player_carry_step, player_two_carry_step, true},
    {"wind-up and release test", player_shot_step, player_two_shot_step, true},
    {"release", release_player_shot, release_player_two_shot, true},
    {"body check", player_check_step, player_two_check_step, false},
    {"knocked down", player_down_step, player_two_down_step, false},
};

class MirrorTest : public GameTest {
 protected:
  void SetUp() override { set_cue_observer(&cues_); }
  void TearDown() override { set_cue_observer(nullptr); }

  // Situations from all over the rink (its limits and both creases included), with opponents
  // often within a check's reach, every stride and wind-up, and any set of keys.
  Situation generate(const Stage& stage) {
    auto any = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random_); };
    Situation s{};
    s.own = {any(-20, 600), any(-20, 400), any(-7, 7), any(-7, 7), any(0, 45), any(0, 3), 0, stage.carrying};
    if (stage.carrying) s.own.windup = any(0, 17);
    s.other = {s.own.x + any(-50, 50), s.own.y + any(-50, 50), any(-7, 7), any(-7, 7), any(0, 30), 0, any(0, 15),
               !stage.carrying && any(0, 3) != 0};
    s.facing = any(facing_right, facing_down);
    s.aim = any(aim_centre, aim_low);
    s.puck_x = any(0, 620), s.puck_y = any(0, 440), s.puck_dx = any(-20, 20), s.puck_dy = any(-20, 20);
    s.goalie_tracking = any(0, 1) != 0;
    for (const auto& key : mirrored_keys) {
      if (any(0, 1) != 0) s.keys.insert(key.first);
    }
    if (any(0, 3) == 0) s.failing = static_cast<SpriteId>(any(0, static_cast<int>(sprite_index(playeronecheck))));
    return s;
  }

  Outcome run(const Situation& s, bool second, bool (*stage)()) {
    match = MatchState{};
    store(second ? second_skater_fields(match) : player_one_fields(match), s.own);
    store(second ? player_one_fields(match) : second_skater_fields(match), s.other);
    (second ? player_two.facing : match.player_facing) = s.facing;
    (second ? player_two.shot_aim : match.shot_aim) = static_cast<std::int16_t>(s.aim);
    (second ? match.lgoalie_tracking : match.rgoalie_tracking) = s.goalie_tracking;
    std::tie(match.puck_x, match.puck_y, match.puck_dx, match.puck_dy) =
        std::tie(s.puck_x, s.puck_y, s.puck_dx, s.puck_dy);
    (second ? player_two_draw_position : player_draw_position) = {s.own.x, s.own.y};
    platform::testing::clear_failures();
    if (s.failing) fail_sprite(*s.failing);
    hold(s.keys);
    clear_draws();
    cues_.lines.clear();

    Outcome outcome{stage(), {}, draws(), cues_.lines};
    Situation& after = outcome.after;
    after.own = load(second ? second_skater_fields(match) : player_one_fields(match));
    after.other = load(second ? player_one_fields(match) : second_skater_fields(match));
    after.facing = second ? player_two.facing : match.player_facing;
    after.aim = second ? player_two.shot_aim : match.shot_aim;
    after.goalie_tracking = second ? match.lgoalie_tracking : match.rgoalie_tracking;
    std::tie(after.puck_x, after.puck_y, after.puck_dx, after.puck_dy) =
        std::tie(match.puck_x, match.puck_y, match.puck_dx, match.puck_dy);
    return outcome;
  }

  // Player two's outcome as player one would see it.
  static Outcome seen_by_player_one(Outcome outcome) {
    outcome.after = mirror(outcome.after);
    for (std::string& line : outcome.draws) line = mirror_draw(line);
    for (std::string& line : outcome.cues) {
      const std::size_t who = line.rfind(',') + 1;
      const std::string name = line.substr(who);
      line.replace(who, std::string::npos, name == "player_one" ? "second_skater" : name == "second_skater" ? "player_one" : name);
    }
    return outcome;
  }

  std::mt19937 random_{20261207};
  CueLog cues_;
};

TEST_F(MirrorTest, PlayerTwoInTheMirrorImageOfASituationEndsInTheMirrorImageOfPlayerOnesOutcome) {
  constexpr int situations_per_stage = 700;
  int failed = 0;
  for (const Stage& stage : stages) {
    int moved = 0, shot = 0, checks_settled = 0;
    for (int n = 0; n < situations_per_stage; ++n) {
      const Situation s = generate(stage);
      SCOPED_TRACE(::testing::Message() << stage.name << ": " << s);
      const Outcome one = run(s, false, stage.player_one);
      const Outcome two = seen_by_player_one(run(mirror(s), true, stage.player_two));
      ASSERT_EQ(two.result, one.result);
      ASSERT_EQ(two.after, one.after);
      ASSERT_EQ(two.draws, one.draws);
      ASSERT_EQ(two.cues, one.cues);
      moved += one.after.own.x != s.own.x;
      shot += s.own.has_puck && !one.after.own.has_puck;
      checks_settled += one.after.own.down_timer == 20 || one.after.other.down_timer == 20;
      failed += !one.result;
    }
    // The generated situations reach every branch that the stage has.
    const std::string name = stage.name;
    if (name == "skating" || name == "carrying") {
      EXPECT_GT(moved, situations_per_stage / 4) << name;
    } else if (name == "release" || name == "wind-up and release test") {
      EXPECT_GT(shot, situations_per_stage / 4) << name;
    } else if (name == "body check") {
      EXPECT_GT(checks_settled, situations_per_stage / 10) << name;
    }
  }
  EXPECT_GT(failed, 20);  // and pictures that fail to draw, with or without a message
}

class TwoPlayerMatch : public GameTest {
 protected:
  void SetUp() override {
    set_players(2);
    set_cue_observer(&cues_);
    match.puck_x = 320, match.puck_y = 60, match.puck_dx = match.puck_dy = 0;  // out of everybody's way
  }
  void TearDown() override { set_cue_observer(nullptr); }
  CueLog cues_;
};

TEST_F(TwoPlayerMatch, BothSkatersMoveWithTheirOwnKeysAndPlayerTwoWearsTheSecondTeamsColours) {
  match.player_stride = match.cpu_stride = 38;
  match.cpu_x = 400, match.cpu_y = 200, match.cpu_dx = 3;
  EXPECT_EQ(rink_frame(), 1);  // without keys player two stands facing left; the computer would skate
  EXPECT_EQ(std::pair(match.cpu_x, match.cpu_y), std::pair(400, 200));
  EXPECT_THAT(draws(), Contains(blit_line(firstplayerfour, 400, 200)));
  hold({VK_RIGHT, VK_P2_LEFT, VK_P2_DOWN});
  clear_draws();
  EXPECT_EQ(rink_frame(), 1);
  EXPECT_EQ(std::tuple(match.player_x, match.cpu_x, match.cpu_y), std::tuple(106, 394, 206));
  EXPECT_THAT(draws(), IsSupersetOf({blit_line(firstplayerone, 100, 200), blit_line(firstplayerthree, 400, 200)}));
  EXPECT_THAT(team_pixels_shown(backend(), 100, 200), Pair(Gt(150), 0));
  EXPECT_THAT(team_pixels_shown(backend(), 400, 200), Pair(0, Gt(150)));
}

TEST_F(TwoPlayerMatch, PlayerTwosGoalCountsForTheSecondSideAndItsTenthWinsTheMatch) {
  match.cpu_x = 150, match.cpu_y = 180, match.cpu_has_puck = true;
  match.player_x = 300, match.player_y = 350;  // away from the shot
  match.lgoalie_y = 140;  // too high to be set in front of it
  match.cpu_score = 9;
  hold({VK_P2_SHOOT});
  for (int frame = 0; frame < 3; ++frame) rink_frame();
  hold({VK_D, VK_N});
  for (int frame = 0; frame < 4 && match.cpu_x != 400; ++frame) {
    clear_draws();
    rink_frame();
  }
  EXPECT_EQ(std::pair(match.player_score, match.cpu_score), std::pair(0, 0));  // 10, then N
  EXPECT_EQ(cues_.lines, (std::vector<std::string>{"shot,16,second_skater", "goal,100,second_skater",
                                                   "face_off,100,nobody", "match_won,100,second_skater",
                                                   "new_match,100,nobody"}));
  EXPECT_THAT(draws(), IsSupersetOf({"text,300,450,FF0000,\"Player Two Score: 10 \"",
                                     "text,300,463,00FF00,\"Player Two Wins!!! Press N for new game\""}));
}

TEST_F(TwoPlayerMatch, TheScoreboardNamesBothPlayersAndWhichOneWon) {
  for (const auto& [first, second, result] :
       {std::tuple(3, 1, ""), {10, 4, "Player One Wins!!! Press N for new game"},
        {2, 10, "Player Two Wins!!! Press N for new game"}}) {
    match.player_score = first, match.cpu_score = second;
    hold({VK_N});
    clear_draws();
    ASSERT_TRUE(finish_frame());
    std::vector<std::string> expected{
        "text,10,450,0000FF,\"Player One Score: " + std::to_string(first) + " \"",
        "text,300,450,FF0000,\"Player Two Score: " + std::to_string(second) + " \""};
    if (*result != '\0') expected.push_back("text,300,463,00FF00,\"" + std::string(result) + "\"");
    expected.emplace_back("present");
    EXPECT_EQ(draws(), expected);
  }
}

}  // namespace
