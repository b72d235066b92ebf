// The game's side of online play, over the headless backend and the real relay on 127.0.0.1:
// the other player (or both players) are plain connections the test speaks for.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_loop.h"
#include "app/online_game.h"
#include "app/rollback.h"
#include "game_fixture.h"
#include "net/relay_client.h"
#include "platform/overlay.h"
#include "platform/recording_file.h"
#include "platform/window_events.h"
#include "relay_process.h"

namespace {

using namespace std::chrono_literals;

// A connection the test plays through: it keeps the keys it was sent, by seat, and what else came.
struct Peer {
  explicit Peer(const net::RelayAddress& relay) : link(relay) {}

  void take() {
    while (const std::optional<net::RelayMessage> message = link.take()) {
      if (message->kind == net::RelayKind::room) {
        code = std::string(net::code_text(message->code));
        next_frame = message->frame;
      }
      if (message->kind == net::RelayKind::keys) {
        auto& seat = keys[static_cast<std::size_t>(message->seat) - 1];
        seat.insert(seat.end(), message->bits.begin(), message->bits.begin() + static_cast<long>(message->key_count));
      }
      if (message->kind == net::RelayKind::hash) hashes.emplace_back(message->frame, message->hash);
      if (message->kind == net::RelayKind::peer_left || message->kind == net::RelayKind::peer_back) {
        events.push_back(message->kind);
      }
      if (message->kind == net::RelayKind::pause || message->kind == net::RelayKind::resume) {
        pauses.push_back(message->kind == net::RelayKind::pause);
      }
    }
  }
  void send_keys(std::uint32_t frame, std::uint16_t bits) {
    net::ClientMessage message{net::ClientKind::keys};
    message.frame = frame;
    message.bits = bits;
    link.send(message);
  }
  void enter(net::ClientKind kind, const std::string& room) {
    net::ClientMessage message{kind};
    std::copy(room.begin(), room.end(), message.code.begin());
    link.send(message);
  }

  net::RelayClient link;
  std::string code;
  std::optional<std::uint32_t> next_frame;  // the pass this seat sends next: from the room's count of its kept ones
  std::vector<std::uint16_t> keys[2];
  std::vector<bool> pauses;
  std::vector<std::pair<std::uint32_t, std::uint64_t>> hashes;
  std::vector<net::RelayKind> events;
};

const platform::KeySet ones[] = {{VK_RIGHT}, {VK_SPACE}, {VK_UP, VK_LEFT}, {}};
const platform::KeySet twos[] = {{VK_P2_LEFT}, {VK_P2_SHOOT}, {}, {VK_P2_DOWN, VK_D}};
std::uint16_t bits_of(const platform::KeySet& keys) { return static_cast<std::uint16_t>(keys.bits()); }

// Whether the overlay shows exactly the banner TEXT.
bool says(const platform::Overlay& overlay, const char* text) {
  constexpr int width = 640, height = 480;
  platform::Overlay banner;
  banner.set_banner(text);
  std::vector<std::uint32_t> shown(width * height), expected(width * height);
  overlay.draw_over(shown.data(), width, height);
  banner.draw_over(expected.data(), width, height);
  return shown == expected;
}

class OnlineGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(relay_.port(), 0);
    std::string why;
    address_ = *net::parse_relay_address("ws://127.0.0.1:" + std::to_string(relay_.port()), why);
    reset_game(screen_);
  }
  void TearDown() override { platform::use_backend(nullptr); }

  // Polls `done`, `patience` at most, running `between` meanwhile.
  template <class Between, class Done>
  static bool until(Between between, Done done, std::chrono::seconds patience = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      between();
      std::this_thread::sleep_for(1ms);
    }
    return done();
  }

  // ONE makes a room and learns its code.
  static bool made_room(Peer& one) {
    one.link.send({net::ClientKind::create});
    return until([&] { one.take(); }, [&] { return !one.code.empty(); });
  }

  std::unique_ptr<net::RelayLink> link() { return std::make_unique<net::RelayClient>(address_); }

  // A left player's seat is kept long enough for a loaded machine to come back in time.
  static constexpr std::chrono::seconds hold = 6s;
  relay_testing::RelayProcess relay_{RINK_RELAY, {"--max-rate", "1000", "--hold", std::to_string(hold.count())},
                                    ::testing::TempDir() + "online-game-relay.log"};
  net::RelayAddress address_;
  platform::HeadlessBackend screen_;
};

// Either player's pause holds both: the other player's stops this side's passes until it
// resumes, and this side standing still is told to the other.
TEST_F(OnlineGameTest, APauseOnEitherSideHoldsBoth) {
  Peer one(address_);
  ASSERT_TRUE(made_room(one));
  OnlineGame online(link(), OnlineRole::join, one.code);
  ASSERT_TRUE(online.wait_for_seat(10));
  ASSERT_EQ(online.seat(), 2);
  platform::Overlay overlay;
  online.show_on(&overlay);
  GameShell shell({2, nullptr, nullptr, nullptr, &online});
  ASSERT_TRUE(shell.start(nullptr));
  // Player one keeps up with every pass player two has sent.
  const auto play = [&] {
    ASSERT_NE(shell.pass().kind, LoopRest::Kind::quit);
    one.take();
    for (auto frame = static_cast<std::uint32_t>(one.keys[0].size()); frame < one.keys[1].size(); ++frame) {
      one.send_keys(frame, 0);
      one.keys[0].push_back(0);
    }
  };
  ASSERT_TRUE(until(play, [&] { return one.keys[1].size() >= 10; }));

  // The pause has come when this side says who paused, over the picture.
  one.link.send({net::ClientKind::pause});
  ASSERT_TRUE(until(play, [&] { return says(overlay, "Player one paused the game"); }));
  const std::uint32_t paused_at = online.passes();
  for (int pass = 0; pass < 30; ++pass) play();
  EXPECT_EQ(online.passes(), paused_at) << "stepped while player one paused";
  one.link.send({net::ClientKind::resume});
  ASSERT_TRUE(until(play, [&] { return online.passes() >= paused_at + 5; }));
  EXPECT_FALSE(says(overlay, "Player one paused the game"));

  platform::report_standing_still(true);
  platform::report_standing_still(false);
  ASSERT_TRUE(until(play, [&] { return one.pauses.size() >= 2; }));
  EXPECT_EQ(one.pauses, (std::vector<bool>{true, false}));
  shell.finish();
}

// A spectator who comes late gets the match from its first pass: it records both players' keys
// of every pass, as the players' own recordings hold them.
TEST_F(OnlineGameTest, ALateSpectatorCatchesUpWithEveryPass) {
  Peer one(address_), two(address_);
  ASSERT_TRUE(made_room(one));
  two.enter(net::ClientKind::join, one.code);
  constexpr std::uint32_t passes = 150;
  for (std::uint32_t frame = 0; frame < passes; ++frame) {
    one.send_keys(frame, static_cast<std::uint16_t>(ones[frame % 4].bits()));
    two.send_keys(frame, static_cast<std::uint16_t>(twos[frame % 4].bits()));
  }

  const std::string path = ::testing::TempDir() + "watched.keys";
  platform::RecordingFile recording;
  ASSERT_TRUE(recording.open(path));
  OnlineGame online(link(), OnlineRole::watch, one.code);
  ASSERT_TRUE(online.wait_for_seat(10));
  online.record_into(&recording, path.c_str());
  GameShell shell({2, nullptr, nullptr, nullptr, &online});
  ASSERT_TRUE(shell.start(nullptr));
  std::string line;
  const auto lines_written = [&] {
    std::ifstream file(path);
    int count = 0;
    while (std::getline(file, line)) ++count;
    return count;
  };
  ASSERT_TRUE(until([&] { ASSERT_NE(shell.pass().kind, LoopRest::Kind::quit); },
                    [&] { return lines_written() >= static_cast<int>(passes); }));
  shell.finish();
  ASSERT_TRUE(recording.close());
  std::ifstream file(path);
  for (std::uint32_t frame = 0; frame < passes; ++frame) {
    ASSERT_TRUE(std::getline(file, line));
    platform::KeySet both = ones[frame % 4];
    for (const int vk : {VK_P2_LEFT, VK_P2_SHOOT, VK_P2_DOWN, VK_D}) {
      if (twos[frame % 4].count(vk) != 0) both.insert(vk);
    }
    platform::KeyLineBuffer expected;
    const std::size_t length = platform::key_line_into(expected, [&](int vk) { return both.count(vk) != 0; });
    EXPECT_EQ(line + "\n", std::string(expected, length)) << "pass " << frame;
  }
  std::remove(path.c_str());
}

// A player whose line broke comes back within the room's hold: it steps the match again from the
// relay's keys up to where it left, unseen, and goes on from there with the match as it truly
// stands (its digests are those of the keys stepped straight through). The other side waited.
TEST_F(OnlineGameTest, APlayerWhoLeftComesBackAndGoesOnWhereItStopped) {
  Peer one(address_);
  ASSERT_TRUE(made_room(one));
  constexpr std::uint32_t left_at = 60, host_ahead = 4;
  {
    Peer two(address_);
    two.enter(net::ClientKind::join, one.code);
    for (std::uint32_t frame = 0; frame < left_at; ++frame) two.send_keys(frame, bits_of(twos[frame % 4]));
    ASSERT_TRUE(until([&] { one.take(); }, [&] { return one.keys[1].size() == left_at; }));
  }
  ASSERT_TRUE(until([&] { one.take(); }, [&] { return !one.events.empty(); }));
  EXPECT_EQ(one.events[0], net::RelayKind::peer_left);
  for (std::uint32_t frame = 0; frame < left_at + host_ahead; ++frame) one.send_keys(frame, bits_of(ones[frame % 4]));

  OnlineGame online(link(), OnlineRole::join, one.code);
  ASSERT_TRUE(online.wait_for_seat(10));
  ASSERT_EQ(online.seat(), 2);
  GameShell shell({2, nullptr, nullptr, nullptr, &online});
  ASSERT_TRUE(shell.start(nullptr));
  // Player one keeps up with every pass player two has sent since it came back.
  auto next_of_one = left_at + host_ahead;
  const auto play = [&] {
    ASSERT_NE(shell.pass().kind, LoopRest::Kind::quit);
    one.take();
    for (; next_of_one < one.keys[1].size(); ++next_of_one) one.send_keys(next_of_one, bits_of(ones[next_of_one % 4]));
  };
  ASSERT_TRUE(until(play, [&] { return one.hashes.size() >= 20; }));
  shell.finish();
  EXPECT_EQ(one.hashes.front().first, left_at) << "digests from where it came back";

  // The match with the same keys stepped straight through.
  HeadlessGame straight(2);
  straight.match.canvas.observer = nullptr;
  std::vector<std::uint64_t> digests;
  for (std::uint32_t frame = 0; frame < one.hashes.back().first + 1; ++frame) {
    step(straight.match, {ones[frame % 4], platform::KeySet::from_bits(one.keys[1][frame])});
    digests.push_back(play_hash(straight.match));
  }
  for (const auto& [frame, hash] : one.hashes) EXPECT_EQ(hash, digests[frame]) << "pass " << frame;
}

// The side that stays waits while the room keeps the other's seat, goes on when it comes back,
// and ends the match, telling who left, when the room gives up on it.
TEST_F(OnlineGameTest, TheSideThatStaysWaitsForTheOtherToComeBackThenEnds) {
  OnlineGame online(link(), OnlineRole::create);
  ASSERT_TRUE(online.wait_for_seat(10));
  GameShell shell({2, nullptr, nullptr, nullptr, &online});
  ASSERT_TRUE(shell.start(nullptr));
  const auto joined = [&](Peer& two, std::uint32_t passes) {
    two.enter(net::ClientKind::join, online.code());
    return until([&] {
      ASSERT_NE(shell.pass().kind, LoopRest::Kind::quit);
      two.take();
      // Player two keeps up with player one; one who came back goes on from the passes its seat
      // kept, whether or not the relay's copy of them has come in yet.
      if (!two.next_frame) return;
      for (std::uint32_t& frame = *two.next_frame; frame < two.keys[0].size(); ++frame) two.send_keys(frame, 0);
    }, [&] { return online.passes() >= passes; });
  };
  {
    Peer two(address_);
    ASSERT_TRUE(joined(two, 20));
  }
  const std::uint32_t stopped = online.passes();
  for (int pass = 0; pass < 20; ++pass) ASSERT_NE(shell.pass().kind, LoopRest::Kind::quit);
  EXPECT_LE(online.passes(), stopped + RollbackMatch::max_ahead) << "went on without the other player";
  {
    Peer back(address_);
    ASSERT_TRUE(joined(back, stopped + 20)) << "did not go on with the player who came back";
  }
  // Past the room's hold, the match ends with the reason.
  LoopRest rest;
  ASSERT_TRUE(until([&] { rest = shell.pass(); }, [&] { return rest.kind == LoopRest::Kind::quit; }, hold + 10s));
  ASSERT_FALSE(screen_.messages().empty());
  EXPECT_EQ(screen_.messages().back().text, "Player two left the match");
  shell.finish();
}

// Two games that went apart (a rule played differently on the other side, here a digest that is
// not this match's) stop at the first confirmed pass whose digests differ, saying so.
TEST_F(OnlineGameTest, TwoGamesThatWentApartStopAtTheFirstPassWhoseDigestsDiffer) {
  Peer one(address_);
  ASSERT_TRUE(made_room(one));
  OnlineGame online(link(), OnlineRole::join, one.code);
  ASSERT_TRUE(online.wait_for_seat(10));
  GameShell shell({2, nullptr, nullptr, nullptr, &online});
  ASSERT_TRUE(shell.start(nullptr));
  constexpr std::uint32_t apart_at = 12;
  std::optional<std::uint32_t> spoiled;
  std::uint32_t next_of_one = 0;
  LoopRest rest;
  ASSERT_TRUE(until([&] {
    rest = shell.pass();
    one.take();
    for (; next_of_one < one.keys[1].size(); ++next_of_one) one.send_keys(next_of_one, bits_of(ones[next_of_one % 4]));
    // Player one's digests are this side's own, but one.
    for (const auto& [frame, hash] : one.hashes) {
      net::ClientMessage digest{net::ClientKind::hash};
      digest.frame = frame;
      digest.hash = hash;
      if (frame >= apart_at && !spoiled) {
        spoiled = frame;
        ++digest.hash;
      }
      one.link.send(digest);
    }
    one.hashes.clear();
  }, [&] { return rest.kind == LoopRest::Kind::quit; }));
  ASSERT_FALSE(screen_.messages().empty());
  ASSERT_TRUE(spoiled);
  EXPECT_EQ(screen_.messages().back().text,
            "the two games went apart at pass " + std::to_string(*spoiled) + "; both recordings are kept");
  shell.finish();
}

}  // namespace
