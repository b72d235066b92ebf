// A two-player match: player two skates the second skater by player one's rules, mirrored.

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <tuple>

#include "game_fixture.h"

namespace {

using enum SpriteId;
using ::testing::Contains;
using ::testing::Gt;
using ::testing::IsSupersetOf;
using ::testing::Pair;

// What a player's stages touch, in the same order for both players: its skater, the other
// skater, its facing and aim, the goalie it shoots at, and the puck.
auto player_one_view(Match& m) {
  return std::tie(m.player_x, m.player_y, m.player_dx, m.player_dy, m.player_stride, m.player_down_timer,
                  m.player_windup, m.player_has_puck, m.cpu_x, m.cpu_y, m.cpu_dx, m.cpu_dy, m.cpu_stride,
                  m.cpu_down_timer, m.cpu_windup, m.cpu_has_puck, m.player_facing, m.shot_aim, m.rgoalie_tracking,
                  m.puck_x, m.puck_y, m.puck_dx, m.puck_dy);
}
auto player_two_view(Match& m) {
  return std::tie(m.cpu_x, m.cpu_y, m.cpu_dx, m.cpu_dy, m.cpu_stride, m.cpu_down_timer, m.cpu_windup,
                  m.cpu_has_puck, m.player_x, m.player_y, m.player_dx, m.player_dy, m.player_stride,
                  m.player_down_timer, m.player_windup, m.player_has_puck, m.player_two.facing, m.player_two.shot_aim,
                  m.lgoalie_tracking, m.puck_x, m.puck_y, m.puck_dx, m.puck_dy);
}
template <class... T>
std::tuple<T...> values(std::tuple<T&...> fields) { return fields; }
using Situation = decltype(values(player_one_view(std::declval<Match&>())));
enum : std::size_t { own_x, own_y, own_dx, own_stride = 4, own_down, own_windup, own_puck, other_x, other_y, other_dx,
                     other_stride = 12, other_down, other_windup, other_puck, facing, aim, tracking, puck_x, puck_y,
                     puck_dx, puck_dy };

constexpr std::pair<int, int> mirrored_keys[] = {{VK_LEFT, VK_P2_RIGHT},  {VK_RIGHT, VK_P2_LEFT},
                                                 {VK_UP, VK_P2_UP},       {VK_DOWN, VK_P2_DOWN},
                                                 {VK_SPACE, VK_P2_SHOOT}, {VK_RETURN, VK_P2_CHECK}};
// Player two wears the computer skater's pictures: it faces left where player one faces right.
constexpr std::pair<SpriteId, SpriteId> facing_pairs[] = {
    {firstplayerone, firstplayerthree},          {firstplayertwo, firstplayerfour},
    {firstplayeronewpuck, firstplayerthreewpuck}, {firstplayertwowpuck, firstplayerfourwpuck},
    {playershootingright1, playershootingleft1},
    {playershootingright2, playershootingleft2},  {playershootingright3, playershootingleft3},
    {playershootingright4, playershootingleft4},  {playershootingright5, playershootingleft5},
    {playershootingright6, playershootingleft6}};

SpriteId mirror(SpriteId id) {
  for (const auto& [right, left] : facing_pairs) {
    if (id == right || id == left) return id == right ? left : right;
  }
  return id;
}

// A skater's corner x, a puck's corner x: as far from the right-hand edge as from the left.
Situation mirror(Situation s) {
  std::get<own_x>(s) = 576 - std::get<own_x>(s);
  std::get<other_x>(s) = 576 - std::get<other_x>(s);
  std::get<own_dx>(s) = -std::get<own_dx>(s);
  std::get<other_dx>(s) = -std::get<other_dx>(s);
  std::get<puck_x>(s) = 631 - std::get<puck_x>(s);
  std::get<puck_dx>(s) = -std::get<puck_dx>(s);
  const int faced = std::get<facing>(s);
  std::get<facing>(s) = faced == facing_right ? facing_left : faced == facing_left ? facing_right : faced;
  return s;
}

// Player two's draw ("blit,NAME,X,Y" or "puck,X,Y") as player one's would be.
std::string mirror(const std::string& line) {
  std::istringstream in(line);
  std::string kind, name, x, y;
  std::getline(in, kind, ',');
  if (kind == "blit") std::getline(in, name, ',');
  std::getline(std::getline(in, x, ','), y);
  if (kind == "puck") return puck_line(631 - std::stoi(x), std::stoi(y));
  for (const SpriteEntry& sprite : sprite_catalogue) {
    if (kind == "blit" && sprite.name == name) return blit_line(mirror(sprite.id), 576 - std::stoi(x), std::stoi(y));
  }
  return line;
}

class MirrorTest : public GameTest, public CueObserver {
 protected:
  void SetUp() override { match.cues = this; }
  void TearDown() override { match.cues = nullptr; }
  void on_cue(const Cue& cue) override {
    CueWho who = cue.who;
    if (second_playing_ && (who == CueWho::player_one || who == CueWho::second_skater)) {
      who = who == CueWho::player_one ? CueWho::second_skater : CueWho::player_one;
    }
    cues_.push_back(std::tuple(cue.kind, cue.strength, who));
  }

  // A situation from anywhere on the rink (its limits and both creases), with the other skater
  // often within a check's reach, any stride, wind-up, facing, aim, puck and keys.
  Situation generate(bool carrying) {
    auto any = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random_); };
    const int x = any(-20, 600), y = any(-20, 400);
    keys_ = {};
    for (const auto& key : mirrored_keys) {
      if (any(0, 1) != 0) keys_.insert(key.first);
    }
    failing_.reset();
    if (any(0, 1) != 0) failing_ = static_cast<SpriteId>(any(0, static_cast<int>(sprite_index(playeronecheck))));
    return {x, y, any(-7, 7), any(-7, 7), any(0, 45), any(0, 3), carrying ? any(0, 17) : 0, carrying,
            x + any(-50, 50), y + any(-50, 50), any(-7, 7), any(-7, 7), any(0, 30), 0, any(0, 15),
            !carrying && any(0, 3) != 0, static_cast<std::int32_t>(any(1, 4)), static_cast<std::int16_t>(any(0, 2)),
            any(0, 1) != 0, any(0, 620), any(0, 440), any(-20, 20), any(-20, 20)};
  }

  // Runs the stage on player one in `s`, or on player two in its mirror image with mirrored keys
  // and the mirrored picture failing, and tells what came of it as player one would see it.
  auto run(const Situation& s, bool second, bool (*stage)(Match&)) {
    second_playing_ = second;
    static_cast<MatchState&>(match) = MatchState{};
    platform::testing::clear_failures();
    platform::KeySet keys;
    for (const auto& [ones, twos] : mirrored_keys) {
      if (keys_.count(ones) != 0) keys.insert(second ? twos : ones);
    }
    hold(keys);
    if (failing_) fail_sprite(second ? mirror(*failing_) : *failing_);
    auto view = second ? player_two_view(match) : player_one_view(match);
    view = second ? mirror(s) : s;
    auto& drawn_at = second ? match.player_two_draw_position : match.player_draw_position;
    drawn_at = {std::get<own_x>(view), std::get<own_y>(view)};
    clear_draws();
    cues_.clear();
    const bool result = stage(match);
    std::vector<std::string> drawn = draws();
    if (second) std::ranges::transform(drawn, drawn.begin(), [](auto& line) { return mirror(line); });
    return std::tuple(result, second ? mirror(values(view)) : values(view), drawn, cues_);
  }

  std::mt19937 random_{20261207};
  platform::KeySet keys_;
  std::optional<SpriteId> failing_;  // the one picture that cannot be drawn
  bool second_playing_ = false;
  std::vector<std::tuple<CueKind, int, CueWho>> cues_;
};

TEST_F(MirrorTest, PlayerTwoInTheMirrorImageOfASituationEndsInTheMirrorImageOfPlayerOnesOutcome) {
  const std::tuple<const char*, bool (*)(Match&), bool (*)(Match&), bool> stages[] = {
      {"skating", player_skate_step, player_two_skate_step, false},
      {"carrying", player_carry_step, player_two_carry_step, true},
      {"wind-up and release test", player_shot_step, player_two_shot_step, true},
      {"release", release_player_shot, release_player_two_shot, true},
      {"body check", player_check_step, player_two_check_step, false},
      {"knocked down", player_down_step, player_two_down_step, false},
      {"turn", player_one_turn, player_two_turn, false}};
  std::map<std::string, int> reached;  // that the situations reach every kind of outcome
  for (const auto& [name, one, two, carrying] : stages) {
    for (int n = 0; n < 700; ++n) {
      const Situation s = generate(carrying);
      SCOPED_TRACE(::testing::Message() << name << " in situation " << n);
      const auto by_player_one = run(s, false, one);
      ASSERT_EQ(run(s, true, two), by_player_one);
      const Situation& after = std::get<1>(by_player_one);
      reached["moved"] += std::get<own_x>(after) != std::get<own_x>(s);
      reached["shot"] += carrying && !std::get<own_puck>(after);
      reached["checker won"] += !carrying && std::get<own_puck>(after);
      reached["checker fell"] += std::get<own_down>(after) == 20;
      reached["failed"] += !std::get<0>(by_player_one);
    }
  }
  for (const auto& [outcome, count] : reached) EXPECT_GT(count, 20) << outcome;
}

class TwoPlayerMatch : public GameTest {
 protected:
  void SetUp() override {
    play_two();
    match.puck_x = 320, match.puck_y = 60, match.puck_dx = match.puck_dy = 0;  // out of everybody's way
  }
};

TEST_F(TwoPlayerMatch, BothSkatersMoveWithTheirOwnKeysAndPlayerTwoWearsTheSecondTeamsColours) {
  match.player_stride = match.cpu_stride = 38;
  match.cpu_x = 400, match.cpu_y = 200, match.cpu_dx = 3;
  EXPECT_EQ(play_frame(match), 1);  // without keys player two stands facing left; the computer would skate
  EXPECT_EQ(std::pair(match.cpu_x, match.cpu_y), std::pair(400, 200));
  EXPECT_THAT(draws(), Contains(blit_line(firstplayerfour, 400, 200)));
  hold({VK_RIGHT, VK_P2_LEFT, VK_P2_DOWN});
  clear_draws();
  EXPECT_EQ(play_frame(match), 1);
  EXPECT_EQ(std::tuple(match.player_x, match.cpu_x, match.cpu_y), std::tuple(106, 394, 206));
  EXPECT_THAT(draws(), IsSupersetOf({blit_line(firstplayerone, 100, 200), blit_line(firstplayerthree, 400, 200)}));
  EXPECT_THAT(team_pixels_shown(backend(), 100, 200), Pair(Gt(150), 0));
  EXPECT_THAT(team_pixels_shown(backend(), 400, 200), Pair(0, Gt(150)));
}

TEST_F(TwoPlayerMatch, PlayerTwosGoalCountsForTheSecondSideAndTheScoreboardNamesTheWinner) {
  match.cpu_x = 150, match.cpu_y = 180, match.cpu_has_puck = true;
  match.player_x = 300, match.player_y = 350;  // away from the shot
  match.lgoalie_y = 140;                       // too high to be set in front of it
  hold({VK_P2_SHOOT});
  for (int frame = 0; frame < 3; ++frame) play_frame(match);
  hold({VK_D});
  for (int frame = 0; frame < 4 && match.cpu_score == 0; ++frame) play_frame(match);
  EXPECT_EQ(std::tuple(match.player_score, match.cpu_score, match.cpu_x), std::tuple(0, 1, 400));
  EXPECT_THAT(draws(), Contains("text,300,450,FF0000,\"Player Two Score: 1 \""));
  for (const auto& [first, second, result] : {std::tuple(10, 4, "Player One"), {2, 10, "Player Two"}}) {
    std::tie(match.player_score, match.cpu_score) = std::pair(first, second);
    hold({VK_N});
    clear_draws();
    ASSERT_TRUE(finish_frame_and_new_match(match));
    const std::string won = std::string(result) + " Wins!!! Press N for new game";
    EXPECT_THAT(draws(), Contains("text,300,463,00FF00,\"" + won + "\""));
  }
}

}  // namespace
