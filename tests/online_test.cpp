// Online play through the real rink-relay on 127.0.0.1: two sides, each with its own game, its
// rollback and its connection, take turns stepping their passes and passing their keys and
// digests through the relay. Both confirm the same passes with the same digests.

#include <chrono>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "app/rollback.h"
#include "game_fixture.h"
#include "net/relay_client.h"
#include "relay_process.h"

namespace {

using namespace std::chrono_literals;

struct OnlineSide {
  OnlineSide(const net::RelayAddress& relay, int seat, StepRule rule = step)
      : game(2), client(relay), rollback(game.match, seat, game.display, rule) {
    game.match.canvas.observer = nullptr;
  }

  // Takes what came: the other's keys into the rollback, its digests kept.
  void take() {
    while (const std::optional<net::RelayMessage> message = client.take()) {
      if (message->kind == net::RelayKind::keys) {
        for (std::size_t i = 0; i < message->key_count; ++i) {
          ASSERT_TRUE(rollback.receive(message->frame + static_cast<std::uint32_t>(i),
                                       platform::KeySet::from_bits(message->bits[i])));
        }
      } else if (message->kind == net::RelayKind::hash) {
        theirs.resize(std::max<std::size_t>(theirs.size(), message->frame + 1));
        theirs[message->frame] = message->hash;
      } else if (message->kind == net::RelayKind::room) {
        code = std::string(net::code_text(message->code));
      }
    }
  }

  void step_with(const platform::KeySet& keys) {
    net::ClientMessage sent{net::ClientKind::keys};
    sent.frame = rollback.next_frame();
    sent.bits = static_cast<std::uint16_t>(keys.bits());
    rollback.step_local(keys);
    client.send(sent);
    send_digests();
  }

  // The digest of every pass confirmed since the last call, to the other side.
  void send_digests() {
    for (ConfirmedPass pass; rollback.take_confirmed(pass);) {
      ours.push_back(pass.hash);
      confirmed_keys.push_back(pass.keys);
      net::ClientMessage digest{net::ClientKind::hash};
      digest.frame = pass.frame;
      digest.hash = pass.hash;
      client.send(digest);
    }
  }

  HeadlessGame game;
  net::RelayClient client;
  RollbackMatch rollback;
  std::string code;
  std::vector<std::uint64_t> ours;
  std::vector<std::uint64_t> theirs;
  std::vector<platform::KeySet> confirmed_keys;  // both players' keys of each pass confirmed
};

// Waits, 5 s at most, for `done`, taking both sides' messages meanwhile.
template <class Done>
bool await(OnlineSide& a, OnlineSide& b, Done done) {
  const auto until = std::chrono::steady_clock::now() + 5s;
  while (!done() && std::chrono::steady_clock::now() < until) {
    a.take();
    b.take();
    std::this_thread::sleep_for(1ms);
  }
  return done();
}

// Two sides in one room through a relay that lets them step as fast as they can, far above the
// ten passes a second of play; player two's side steps by RULE.
struct Room {
  explicit Room(StepRule rule_of_two = step)
      : relay(RINK_RELAY, {"--max-rate", "1000"}, ::testing::TempDir() + "online-relay.log"),
        address(address_of(relay)),
        one(address, 1),
        two(address, 2, rule_of_two) {}

  static net::RelayAddress address_of(const relay_testing::RelayProcess& relay) {
    std::string why;
    return net::parse_relay_address("ws://127.0.0.1:" + std::to_string(relay.port()), why).value();
  }

  void pair_up() {
    one.client.send({net::ClientKind::create});
    ASSERT_TRUE(await(one, two, [&] { return !one.code.empty(); }));
    net::ClientMessage join{net::ClientKind::join};
    std::copy(one.code.begin(), one.code.end(), join.code.begin());
    two.client.send(join);
    ASSERT_TRUE(await(one, two, [&] { return !two.code.empty(); }));
  }

  // Both sides step PASSES passes with keys of their own, taking turns, then exchange the
  // digests of them all.
  void play(std::uint32_t passes) {
    std::mt19937 random(5);
    while (one.rollback.next_frame() < passes || two.rollback.next_frame() < passes) {
      for (auto [side, keys] : {std::pair{&one, ones}, std::pair{&two, twos}}) {
        if (side->rollback.next_frame() < passes && side->rollback.may_step()) side->step_with(keys[random() % 5]);
      }
      const auto either_may_step = [&] {
        const auto ready = [&](const OnlineSide& side) {
          return side.rollback.next_frame() < passes && side.rollback.may_step();
        };
        return ready(one) || ready(two) || (one.rollback.next_frame() >= passes && two.rollback.next_frame() >= passes);
      };
      ASSERT_TRUE(await(one, two, either_may_step)) << "a side waits for the other for ever";
    }
    ASSERT_TRUE(await(one, two, [&] {
      one.send_digests();
      two.send_digests();
      return one.theirs.size() >= passes && two.theirs.size() >= passes;
    }));
    ASSERT_GE(one.ours.size(), passes);
    ASSERT_GE(two.ours.size(), passes);
  }

  static inline const platform::KeySet ones[] = {{VK_RIGHT}, {VK_SPACE}, {VK_UP, VK_LEFT}, {VK_D}, {}};
  static inline const platform::KeySet twos[] = {{VK_P2_LEFT}, {VK_P2_SHOOT}, {VK_P2_DOWN}, {VK_D, VK_P2_CHECK}, {}};
  relay_testing::RelayProcess relay;
  net::RelayAddress address;
  OnlineSide one;
  OnlineSide two;
};

TEST(OnlinePlay, TwoSidesThroughTheRelayConfirmTheSamePassesWithTheSameDigests) {
  Room room;
  ASSERT_NE(room.relay.port(), 0);
  ASSERT_NO_FATAL_FAILURE(room.pair_up());
  constexpr std::uint32_t passes = 300;
  ASSERT_NO_FATAL_FAILURE(room.play(passes));
  for (std::uint32_t pass = 0; pass < passes; ++pass) {
    ASSERT_EQ(room.one.ours[pass], room.two.ours[pass]) << "pass " << pass;
    ASSERT_EQ(room.one.theirs[pass], room.one.ours[pass]) << "pass " << pass;
  }
}

// A rule of this game's but one: player two skates a pixel further down each pass it holds the
// key for it.
PassEnd longer_strides_down(Match& match, const PassKeys& keys) {
  const PassEnd end = step(match, keys);
  if (keys.player_two.count(VK_P2_DOWN) != 0) ++match.cpu_y;
  return end;
}

// The side that plays by another rule is found out by the first digest of a pass the rule changed.
TEST(OnlinePlay, ASideThatPlaysByAnotherRuleDiffersFromTheFirstPassTheRuleChanged) {
  Room room(longer_strides_down);
  ASSERT_NE(room.relay.port(), 0);
  ASSERT_NO_FATAL_FAILURE(room.pair_up());
  constexpr std::uint32_t passes = 60;
  ASSERT_NO_FATAL_FAILURE(room.play(passes));
  // The first pass whose keys hold player two's key down, confirmed alike on both sides.
  std::optional<std::uint32_t> changed;
  for (std::uint32_t pass = 0; pass < passes && !changed; ++pass) {
    if (room.one.confirmed_keys[pass].count(VK_P2_DOWN) != 0) changed = pass;
  }
  ASSERT_TRUE(changed) << "no pass held the key the other rule changes";
  for (std::uint32_t pass = 0; pass < *changed; ++pass) ASSERT_EQ(room.one.theirs[pass], room.one.ours[pass]) << pass;
  EXPECT_NE(room.one.theirs[*changed], room.one.ours[*changed]);
  EXPECT_NE(room.two.theirs[*changed], room.two.ours[*changed]);
}

}  // namespace
