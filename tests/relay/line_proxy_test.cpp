// The bad line that online play is tested through: its schedule keeps each way's order, delays
// every chunk within its bounds, stalls now and then and repeats itself from its seed; and the
// proxy carries a real relay's conversation both ways, and its end.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "line_proxy.h"
#include "net/protocol.h"
#include "relay_process.h"
#include "test_client.h"

namespace {

using namespace std::chrono_literals;
using relay_testing::LineClock;
using relay_testing::LineSchedule;
using relay_testing::LineShape;

// Departures of chunks arriving every 100 ms (three at once every tenth time) for a minute.
std::vector<LineClock::time_point> departures(LineSchedule& schedule, LineClock::time_point start) {
  std::vector<LineClock::time_point> sent;
  for (int chunk = 0; chunk < 600; ++chunk) {
    for (int burst = chunk % 10 == 0 ? 3 : 1; burst > 0; --burst) {
      sent.push_back(schedule.departure(start + chunk * 100ms));
    }
  }
  return sent;
}

TEST(LineSchedule, DelaysEveryChunkInOrderStallsNowAndThenAndRepeatsItsSeed) {
  const LineShape shape;
  const LineClock::time_point start{};
  LineSchedule schedule(shape, 7);
  const std::vector<LineClock::time_point> sent = departures(schedule, start);
  // 60 s of traffic at least two and at most six seconds between stalls, each holding chunks.
  EXPECT_GE(schedule.stalls(), 60 / 8);
  EXPECT_LE(schedule.stalls(), 60 / 2);
  std::size_t index = 0;
  std::set<LineClock::duration> delays;
  int held = 0;
  for (int chunk = 0; chunk < 600; ++chunk) {
    const LineClock::time_point arrival = start + chunk * 100ms;
    for (int burst = chunk % 10 == 0 ? 3 : 1; burst > 0; --burst, ++index) {
      if (index > 0) {
        ASSERT_GE(sent[index], sent[index - 1]) << "chunk " << index << " overtakes";
      }
      const LineClock::duration delay = sent[index] - arrival;
      ASSERT_GE(delay, shape.delay - shape.jitter) << "chunk " << index;
      ASSERT_LE(delay, shape.stall + shape.delay + shape.jitter) << "chunk " << index;
      delays.insert(delay);
      if (delay > shape.delay + shape.jitter) ++held;
    }
  }
  EXPECT_GE(held, schedule.stalls()) << "each stall holds a chunk past the longest delay";
  EXPECT_GT(delays.size(), 30u) << "the delays are drawn, not fixed";

  LineSchedule again(shape, 7);
  EXPECT_EQ(departures(again, start), sent);
  LineSchedule other(shape, 8);
  EXPECT_NE(departures(other, start), sent);
}

// The key bits of seat `seat` that `client` is sent, in order, until it holds `count` of them.
std::vector<std::uint16_t> passes_of(relay_testing::TestClient& client, net::Seat seat, std::size_t count) {
  std::vector<std::uint16_t> passes;
  while (passes.size() < count) {
    const std::optional<std::string> text = client.receive();
    if (!text) break;
    const std::optional<net::RelayMessage> message = net::decode_relay(*text);
    if (!message || message->kind != net::RelayKind::keys || message->seat != seat) continue;
    EXPECT_EQ(message->frame, passes.size()) << *text;
    passes.insert(passes.end(), message->bits.begin(), message->bits.begin() + message->key_count);
  }
  return passes;
}

TEST(LineProxy, CarriesARelaysConversationBothWaysAndItsEnd) {
  const std::string log_file = ::testing::TempDir() + "line-proxy-" + std::to_string(getpid()) + ".log";
  relay_testing::RelayProcess relay(RINK_RELAY, {"--max-rate", "1000"}, log_file);
  ASSERT_NE(relay.port(), 0);
  LineShape shape;
  shape.least_between_stalls = 300ms;
  shape.most_between_stalls = 600ms;
  relay_testing::LineProxy line(relay.port(), shape);
  relay_testing::TestClient host(line.port());
  relay_testing::TestClient guest(line.port());
  ASSERT_TRUE(host.connected() && guest.connected());
  host.send("create");
  const std::optional<net::RelayMessage> room = net::decode_relay(host.receive().value_or(""));
  ASSERT_TRUE(room && room->kind == net::RelayKind::room);
  guest.send("join " + std::string(net::code_text(room->code)));
  EXPECT_EQ(guest.receive().value_or(""), "room " + std::string(net::code_text(room->code)) + " 2 0");
  EXPECT_EQ(host.receive().value_or(""), "peer joined");
  // Keys both ways for a while longer than stalls are apart; each way's come in order.
  constexpr std::uint16_t guest_keys = 0x200;
  std::vector<std::uint16_t> host_keys;
  for (std::uint32_t frame = 0; frame < 60; ++frame) {
    host_keys.push_back(frame % 3 == 0 ? 1 : 0);
    net::MessageText out;
    host.send(net::encode(net::ClientMessage{net::ClientKind::keys, {}, frame, host_keys.back(), 0}, out));
    guest.send(net::encode(net::ClientMessage{net::ClientKind::keys, {}, frame, guest_keys, 0}, out));
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(passes_of(guest, net::Seat::one, host_keys.size()), host_keys);
  EXPECT_EQ(passes_of(host, net::Seat::two, host_keys.size()), std::vector<std::uint16_t>(host_keys.size(), guest_keys));
  EXPECT_GT(line.stalls(), 0);
  // A close passes through: the relay hears the guest go and tells the host.
  guest.close();
  EXPECT_EQ(host.receive().value_or(""), "peer left");
  std::remove(log_file.c_str());
}

}  // namespace
