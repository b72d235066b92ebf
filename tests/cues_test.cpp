// The cues a match gives, checked against what its frames show: the golden session played once
// through the real main loop, each cue kept with the match as it stood when the cue was heard.

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "app/main_loop.h"
#include "game_fixture.h"
#include "platform/key_script.h"
#include "sim/cues.h"

namespace {

struct HeardCue {
  std::size_t frame;  // where the end of the frame that gave it lies in GoldenSession::frames
  Cue cue;
  MatchState state;
  bool d_held, n_held;
};

struct GoldenSession : LoopObserver, CueObserver {
  GoldenSession() {
    reset_game(backend);
    backend.load_script(platform::load_key_script(RINK_REPLAY_DATA "/golden.keys").lines);
    win_main(nullptr, {1, this, this, nullptr});
    platform::use_backend(nullptr);
  }
  void on_start(Match& played) override { match = &played; }
  void after_frame(int) override {
    if (!backend.wait_ran_out()) frames.push_back(*match);
  }
  void on_cue(const Cue& cue) override {
    cues.push_back({frames.size(), cue, *match, match->keys.held(VK_D), match->keys.held(VK_N)});
  }

  std::vector<HeardCue> heard(std::size_t frame, std::initializer_list<CueKind> kinds) const {
    std::vector<HeardCue> found;
    for (const HeardCue& c : cues) {
      if (c.frame == frame && std::find(kinds.begin(), kinds.end(), c.cue.kind) != kinds.end()) found.push_back(c);
    }
    return found;
  }

  platform::HeadlessBackend backend;
  const Match* match = nullptr;
  std::vector<MatchState> frames{MatchState{}};  // the load-time match, then each frame's end
  std::vector<HeardCue> cues;
};

const GoldenSession& golden() {
  static const GoldenSession session;
  return session;
}

const auto in_strength_range = ::testing::AllOf(::testing::Gt(0), ::testing::Le(full_strength));

// What a frame shows of a goal, a knock-down and a release, from the match before and after it.
struct Happening {
  CueKind kind;
  CueWho who;
  bool (*seen)(const MatchState& was, const MatchState& is);
};
constexpr Happening happenings[] = {
    {CueKind::goal, CueWho::player_one, [](auto& was, auto& is) { return is.player_score > was.player_score; }},
    {CueKind::goal, CueWho::second_skater, [](auto& was, auto& is) { return is.cpu_score > was.cpu_score; }},
    // The timer is set on the fall; a skater already on the ice only counts it down.
    {CueKind::fall, CueWho::player_one, [](auto& was, auto& is) { return is.player_down_timer > was.player_down_timer; }},
    {CueKind::fall, CueWho::second_skater, [](auto& was, auto& is) { return is.cpu_down_timer > was.cpu_down_timer; }},
    // A release leaves the puck to nobody; a lost check hands it to the other skater.
    {CueKind::shot, CueWho::player_one,
     [](auto& was, auto& is) { return was.player_has_puck && !is.player_has_puck && !is.cpu_has_puck; }},
    {CueKind::shot, CueWho::second_skater,
     [](auto& was, auto& is) { return was.cpu_has_puck && !is.cpu_has_puck && !is.player_has_puck; }},
};

TEST(CuesTest, EveryGoalKnockDownAndReleaseIsHeardOnceNamingWho) {
  const GoldenSession& s = golden();
  ASSERT_GE(s.frames.size(), 3000u);
  int times_seen[std::size(happenings)] = {};
  for (std::size_t i = 1; i < s.frames.size(); ++i) {
    // A match's last goal shows when the match ends, before the scores go back to 0.
    const auto won = s.heard(i, {CueKind::match_won});
    const MatchState& is = won.empty() ? s.frames[i] : won.front().state;
    for (std::size_t h = 0; h < std::size(happenings); ++h) {
      const Happening& happening = happenings[h];
      const bool seen = happening.seen(s.frames[i - 1], is);
      const auto cues = s.heard(i, {happening.kind});
      const auto by_who = std::count_if(cues.begin(), cues.end(), [&](auto& c) { return c.cue.who == happening.who; });
      EXPECT_EQ(by_who, seen ? 1 : 0) << "frame " << i - 1 << ", " << cue_kind_name(happening.kind);
      times_seen[h] += seen;
    }
  }
  EXPECT_THAT(times_seen, ::testing::Each(::testing::Gt(0)));
}

// A goal is heard while the game waits for D and the face-off once D came; the end of a match
// while it waits for N and the new match once N came.
TEST(CuesTest, TheWaitsStartAfterTheirCueAndEndBeforeTheRestart) {
  const GoldenSession& s = golden();
  int waits = 0;
  for (std::size_t k = 0; k + 1 < s.cues.size(); ++k) {
    const HeardCue& c = s.cues[k];
    const HeardCue& next = s.cues[k + 1];
    SCOPED_TRACE(::testing::Message() << "frame " << c.frame - 1 << ", " << cue_kind_name(c.cue.kind));
    if (c.cue.kind == CueKind::goal) {
      EXPECT_EQ(std::tuple(c.d_held, next.cue.kind, next.d_held), std::tuple(false, CueKind::face_off, true));
      const int by_player = c.cue.who == CueWho::player_one;
      EXPECT_EQ(std::tuple(next.state.player_score, next.state.cpu_score),
                std::tuple(c.state.player_score + by_player, c.state.cpu_score + 1 - by_player));
      EXPECT_EQ(std::tuple(next.state.puck_dx, next.state.puck_dy), std::tuple(0, 0));  // dropped, at rest
    } else if (c.cue.kind == CueKind::match_won) {
      EXPECT_EQ(std::tuple(c.n_held, next.cue.kind, next.n_held), std::tuple(false, CueKind::new_match, true));
      EXPECT_EQ(c.cue.who == CueWho::player_one ? c.state.player_score : c.state.cpu_score, 10);
      EXPECT_EQ(std::tuple(next.state.player_score, next.state.cpu_score), std::tuple(0, 0));
    } else {
      continue;
    }
    EXPECT_EQ(next.frame, c.frame);
    ++waits;
  }
  EXPECT_GT(waits, 10);
}

// Only boards, a goal's side or a goalie's save turn the free puck's step back (or stop it).
bool turned(std::int32_t was, std::int32_t is) { return was != 0 && (is == 0 || (was < 0) != (is < 0)); }

TEST(CuesTest, TheFreePuckIsHeardExactlyWhenItTurns) {
  const GoldenSession& s = golden();
  std::set<CueKind> kinds_heard;
  for (std::size_t i = 1; i < s.frames.size(); ++i) {
    const MatchState& was = s.frames[i - 1];
    const MatchState& is = s.frames[i];
    // A carried puck is not free; a goal's face-off stops the puck without a bounce.
    if (was.player_has_puck || was.cpu_has_puck || !s.heard(i, {CueKind::goal}).empty()) continue;
    const auto bounces = s.heard(i, {CueKind::boards, CueKind::post, CueKind::save});
    EXPECT_EQ(!bounces.empty(), turned(was.puck_dx, is.puck_dx) || turned(was.puck_dy, is.puck_dy)) << "frame " << i - 1;
    for (const HeardCue& c : bounces) {
      kinds_heard.insert(c.cue.kind);
      EXPECT_THAT(c.cue.strength, in_strength_range) << "frame " << i - 1;
      if (c.cue.kind == CueKind::boards) continue;
      // The goalie named is the one at the end where the puck turned.
      EXPECT_EQ(c.cue.who == CueWho::left_goalie, is.puck_x < 320) << "frame " << i - 1;
    }
  }
  EXPECT_EQ(kinds_heard.size(), 3u);  // boards, posts and saves
}

class ShotCueTest : public GameTest {};

TEST_F(ShotCueTest, ALongerWindUpShootsHarderAndTheLongestAtFullStrength) {
  struct Shots : CueObserver {
    std::vector<Cue> heard;
    void on_cue(const Cue& cue) override { heard.push_back(cue); }
  } shots;
  match.cues = &shots;
  for (int windup : {1, 6, 12, 17, 18}) {  // the 18th frame shoots with Space still held
    static_cast<MatchState&>(match) = MatchState{.player_has_puck = true};
    hold({VK_SPACE});
    for (int frame = 0; frame < windup; ++frame) player_shot_step(match);
    release_keys();
    if (match.player_has_puck) player_shot_step(match);
  }
  match.cues = nullptr;
  ASSERT_EQ(shots.heard.size(), 5u);
  for (std::size_t k = 0; k < shots.heard.size(); ++k) {
    EXPECT_EQ(std::tuple(shots.heard[k].kind, shots.heard[k].who), std::tuple(CueKind::shot, CueWho::player_one));
    EXPECT_GT(shots.heard[k].strength, k == 0 ? 0 : shots.heard[k - 1].strength);
  }
  EXPECT_EQ(shots.heard.back().strength, full_strength);
}

}  // namespace
