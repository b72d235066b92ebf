// Two sides of one online match over a link that delays and holds up what it carries: each side
// steps its own match at once with its player's keys and puts its prediction of the other's right
// when their keys arrive. Both sides confirm the same passes with the same keys and digests, and
// those passes stepped straight through give the same match again.

#include <deque>
#include <random>
#include <vector>

#include "app/rollback.h"
#include "game_fixture.h"

namespace {

// One direction of the link: what is sent arrives after `delay` passes, in order.
struct Link {
  struct Sent {
    int arrives;
    std::uint32_t frame;
    platform::KeySet keys;
  };
  std::deque<Sent> on_the_way;

  void send(int now, int delay, std::uint32_t frame, const platform::KeySet& keys) {
    const int arrives = on_the_way.empty() ? now + delay : std::max(now + delay, on_the_way.back().arrives);
    on_the_way.push_back({arrives, frame, keys});
  }
  void deliver(int now, RollbackMatch& to) {
    while (!on_the_way.empty() && on_the_way.front().arrives <= now) {
      EXPECT_TRUE(to.receive(on_the_way.front().frame, on_the_way.front().keys));
      on_the_way.pop_front();
    }
  }
};

// A player who changes keys every few passes, from its own seeded sequence.
struct Player {
  std::mt19937 random;
  std::vector<int> keys;  // its own keys
  platform::KeySet held;
  platform::KeySet next(int pass) {
    if (pass % 7 == 0) {
      held = {};
      for (const int vk : keys) {
        if (random() % 3 == 0) held.insert(vk);
      }
    }
    return held;
  }
};

class TwoSidesTest : public ::testing::Test {
 protected:
  // A side: its own game (display and match) and its rollback.
  struct Side {
    explicit Side(int seat) : game(2), rollback(game.match, seat, game.display) {
      game.match.canvas.observer = nullptr;
    }
    HeadlessGame game;
    RollbackMatch rollback;
    std::vector<ConfirmedPass> confirmed;
    void take() {
      for (ConfirmedPass pass; rollback.take_confirmed(pass);) confirmed.push_back(pass);
    }
  };

  // Plays PASSES passes on both sides; a message takes 0 to 4 passes, and now and then the link
  // holds everything up for 4 passes more.
  void play(int passes, unsigned seed) {
    std::mt19937 link(seed);
    Player one{std::mt19937(seed + 1), {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE, VK_RETURN, VK_D, VK_N}, {}};
    Player two{std::mt19937(seed + 2), {VK_P2_LEFT, VK_P2_RIGHT, VK_P2_UP, VK_P2_DOWN, VK_P2_SHOOT, VK_P2_CHECK, VK_D}, {}};
    for (const int end = now_ + passes; now_ < end; ++now_) {
      const int now = now_;
      const int stall = link() % 40 == 0 ? 4 : 0;
      for (auto [side, player, out] : {std::tuple{&first, &one, &to_second}, std::tuple{&second, &two, &to_first}}) {
        if (!side->rollback.may_step()) continue;
        const std::uint32_t frame = side->rollback.next_frame();
        const platform::KeySet keys = player->next(static_cast<int>(frame));
        side->rollback.step_local(keys);
        out->send(now, static_cast<int>(link() % 5) + stall, frame, keys);
      }
      to_second.deliver(now, second.rollback);
      to_first.deliver(now, first.rollback);
      first.take();
      second.take();
    }
  }

  Side first{1};
  Side second{2};
  Link to_first;
  Link to_second;
  int now_ = 0;
};

// The puck at rest in the right net: the first frame is a goal, and its wait.
void puck_in_right_net(Match& match) { match.puck_x = 560, match.puck_y = 240, match.puck_dx = match.puck_dy = 0; }

TEST_F(TwoSidesTest, BothSidesConfirmTheSamePassesAsTheMatchSteppedStraightThroughWithTheirKeys) {
  puck_in_right_net(first.game.match);
  puck_in_right_net(second.game.match);
  play(1500, 7);
  ASSERT_GT(first.confirmed.size(), 1200u);
  const std::size_t common = std::min(first.confirmed.size(), second.confirmed.size());
  for (std::size_t i = 0; i < common; ++i) {
    ASSERT_EQ(first.confirmed[i].frame, i);
    ASSERT_EQ(first.confirmed[i].keys, second.confirmed[i].keys) << "pass " << i;
    ASSERT_EQ(first.confirmed[i].hash, second.confirmed[i].hash) << "pass " << i;
  }
  EXPECT_GT(first.rollback.rollbacks(), 50);
  EXPECT_GT(second.rollback.rollbacks(), 50);

  // The confirmed keys, as one script, stepped straight through on a third game.
  HeadlessGame straight(2);
  straight.match.canvas.observer = nullptr;
  puck_in_right_net(straight.match);
  int waits = 0;
  for (const ConfirmedPass& pass : first.confirmed) {
    waits += step(straight.match, split_keys(pass.keys)) == PassEnd::waiting;
    ASSERT_EQ(play_hash(straight.match), pass.hash) << "pass " << pass.frame;
  }
  EXPECT_GT(waits, 0) << "goals and their waits were part of it";
}

TEST_F(TwoSidesTest, ASideStopsEightPassesAheadOfTheOtherAndGoesOnWhenItsKeysCome) {
  for (std::uint32_t pass = 0; pass < RollbackMatch::max_ahead; ++pass) {
    ASSERT_TRUE(first.rollback.may_step());
    first.rollback.step_local({VK_RIGHT});
  }
  EXPECT_FALSE(first.rollback.may_step());
  EXPECT_FALSE(first.rollback.receive(1, {})) << "passes come in order";
  ASSERT_TRUE(first.rollback.receive(0, {VK_P2_LEFT}));
  EXPECT_TRUE(first.rollback.may_step());
  EXPECT_EQ(first.rollback.rollbacks(), 1);
  EXPECT_EQ(first.rollback.passes_stepped_again(), 8);
  ASSERT_TRUE(first.rollback.receive(1, {VK_P2_LEFT}));  // as predicted: nothing to put right
  EXPECT_EQ(first.rollback.rollbacks(), 1);
  EXPECT_EQ(first.rollback.confirmed(), 2u);
}

// A side whose match goes apart (here: a field changed behind the rules' back) shows it in the
// digest of the first pass confirmed after it.
TEST_F(TwoSidesTest, AMatchThatWentApartDiffersInTheNextConfirmedDigest) {
  play(300, 11);
  const std::size_t before = first.confirmed.size();
  second.game.match.puck_dx += 1;
  play(40, 12);
  ASSERT_GT(first.confirmed.size(), before);
  ASSERT_GT(second.confirmed.size(), before);
  const std::size_t next = std::min(first.confirmed.size(), second.confirmed.size()) - 1;
  EXPECT_NE(first.confirmed[next].hash, second.confirmed[next].hash);
}

}  // namespace
