// The game's side of online play, over the headless backend and the real relay on 127.0.0.1:
// the other player (or both players) are plain connections the test speaks for.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main_loop.h"
#include "app/online_game.h"
#include "game_fixture.h"
#include "net/relay_client.h"
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
      if (message->kind == net::RelayKind::room) code = std::string(net::code_text(message->code));
      if (message->kind == net::RelayKind::keys) {
        auto& seat = keys[static_cast<std::size_t>(message->seat) - 1];
        seat.insert(seat.end(), message->bits.begin(), message->bits.begin() + static_cast<long>(message->key_count));
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
  std::vector<std::uint16_t> keys[2];
  std::vector<bool> pauses;
};

class OnlineGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(relay_.port(), 0);
    std::string why;
    address_ = *net::parse_relay_address("ws://127.0.0.1:" + std::to_string(relay_.port()), why);
    reset_game(screen_);
  }
  void TearDown() override { platform::use_backend(nullptr); }

  // Polls `done`, 10 s at most, running `between` meanwhile.
  template <class Between, class Done>
  static bool until(Between between, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      between();
      std::this_thread::sleep_for(1ms);
    }
    return done();
  }

  std::unique_ptr<net::RelayLink> link() { return std::make_unique<net::RelayClient>(address_); }

  relay_testing::RelayProcess relay_{RINK_RELAY, {"--max-rate", "1000"}, ::testing::TempDir() + "online-game-relay.log"};
  net::RelayAddress address_;
  platform::HeadlessBackend screen_;
};

// Either player's pause holds both: the other player's stops this side's passes until it
// resumes, and this side standing still is told to the other.
TEST_F(OnlineGameTest, APauseOnEitherSideHoldsBoth) {
  Peer one(address_);
  one.link.send({net::ClientKind::create});
  ASSERT_TRUE(until([&] { one.take(); }, [&] { return !one.code.empty(); }));
  OnlineGame online(link(), OnlineRole::join, one.code);
  ASSERT_TRUE(online.wait_for_seat(10));
  ASSERT_EQ(online.seat(), 2);
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

  one.link.send({net::ClientKind::pause});
  ASSERT_TRUE(until(play, [&] { return online.passes() == one.keys[1].size() && one.keys[1].size() >= 10; }));
  const std::uint32_t paused_at = online.passes();
  for (int pass = 0; pass < 30; ++pass) play();
  EXPECT_EQ(online.passes(), paused_at) << "stepped while player one paused";
  one.link.send({net::ClientKind::resume});
  ASSERT_TRUE(until(play, [&] { return online.passes() >= paused_at + 5; }));

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
  one.link.send({net::ClientKind::create});
  ASSERT_TRUE(until([&] { one.take(); }, [&] { return !one.code.empty(); }));
  two.enter(net::ClientKind::join, one.code);
  constexpr std::uint32_t passes = 150;
  const platform::KeySet ones[] = {{VK_RIGHT}, {VK_SPACE}, {VK_UP, VK_LEFT}, {}};
  const platform::KeySet twos[] = {{VK_P2_LEFT}, {VK_P2_SHOOT}, {}, {VK_P2_DOWN, VK_D}};
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

}  // namespace
