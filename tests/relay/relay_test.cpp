// The real rink-relay on 127.0.0.1, driven by real WebSocket clients: rooms made, joined and
// watched; each seat's keys passed on in order, from frame 0 to whoever comes late or comes back;
// and every kind of bad message closing its own connection while the other rooms play on.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "net/protocol.h"
#include "relay_process.h"
#include "test_client.h"

namespace {

using relay_testing::RelayProcess;
using relay_testing::TestClient;

class Relay : public ::testing::Test {
 protected:
  void start(const std::vector<std::string>& arguments = {}) {
    relay_ = std::make_unique<RelayProcess>(RINK_RELAY, arguments, log_file_);
    ASSERT_NE(relay_->port(), 0) << "rink-relay did not start";
  }
  void TearDown() override {
    relay_.reset();
    std::filesystem::remove(log_file_);
  }
  std::unique_ptr<TestClient> connect() {
    auto client = std::make_unique<TestClient>(relay_->port());
    EXPECT_TRUE(client->connected());
    return client;
  }
  std::string log() {
    std::ifstream file(log_file_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  const std::string log_file_ = ::testing::TempDir() + "relay-test-" + std::to_string(getpid()) + ".log";
  std::unique_ptr<RelayProcess> relay_;
};

// The code of a "room CODE SEAT FRAMES" reply, after checking its seat.
std::string room_code(TestClient& client, net::Seat seat) {
  const std::optional<std::string> reply = client.receive();
  const auto message = reply ? net::decode_relay(*reply) : std::nullopt;
  EXPECT_TRUE(message && message->kind == net::RelayKind::room && message->seat == seat) << reply.value_or("(none)");
  return message ? std::string(net::code_text(message->code)) : std::string();
}

std::string hex(std::uint32_t value) { return (std::stringstream() << std::hex << value).str(); }

void send_keys(TestClient& client, std::uint32_t first, std::uint32_t count, std::uint16_t (*bits)(std::uint32_t)) {
  for (std::uint32_t frame = first; frame < first + count; ++frame) {
    client.send("keys " + std::to_string(frame) + " " + hex(bits(frame)));
  }
}
// Keys of each seat's own, different from pass to pass.
std::uint16_t one_bits(std::uint32_t frame) { return static_cast<std::uint16_t>(frame * 37 % 0x200 & net::seat_one_key_bits); }
std::uint16_t two_bits(std::uint32_t frame) { return static_cast<std::uint16_t>(frame * 11 % 64 << 9 & net::seat_two_key_bits); }

// What a client is sent until it holds `one` and `two` passes of seats one and two: the passes by
// seat, each message checked to continue its seat's passes without a gap (from `first_one` and
// `first_two`); other messages in `others`.
struct Received {
  std::vector<std::uint16_t> passes[2];
  std::vector<std::string> others;
};
Received receive_passes(TestClient& client, std::size_t one, std::size_t two, std::uint32_t first_one = 0,
                        std::uint32_t first_two = 0) {
  Received received;
  const std::uint32_t first[2] = {first_one, first_two};
  while (received.passes[0].size() < one || received.passes[1].size() < two) {
    const std::optional<std::string> text = client.receive();
    if (!text) break;
    const auto message = net::decode_relay(*text);
    if (!message || message->kind != net::RelayKind::keys) {
      received.others.push_back(*text);
      continue;
    }
    auto& passes = received.passes[static_cast<int>(message->seat) - 1];
    EXPECT_EQ(message->frame, first[static_cast<int>(message->seat) - 1] + passes.size()) << *text;
    passes.insert(passes.end(), message->bits.begin(), message->bits.begin() + message->key_count);
  }
  return received;
}

std::vector<std::uint16_t> expected(std::uint32_t count, std::uint16_t (*bits)(std::uint32_t)) {
  std::vector<std::uint16_t> passes;
  for (std::uint32_t frame = 0; frame < count; ++frame) passes.push_back(bits(frame));
  return passes;
}

// Whether the client is closed by the relay with `reason` (as error message and close reason).
void expect_refused(TestClient& client, const std::string& reason) {
  const std::optional<std::string> error = client.receive();
  EXPECT_EQ(error.value_or("(none)"), "error " + reason);
  EXPECT_FALSE(client.receive());
  EXPECT_TRUE(client.closed());
  EXPECT_EQ(client.close_reason(), reason);
}

TEST_F(Relay, PlayersAndSpectatorsGetEachSeatsKeysInOrder) {
  start();
  auto host = connect();
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  auto guest = connect();
  guest->send("join " + code);
  room_code(*guest, net::Seat::two);
  EXPECT_EQ(host->receive().value_or(""), "peer joined");
  auto watcher = connect();
  watcher->send("watch " + code);
  room_code(*watcher, net::Seat::spectator);

  send_keys(*host, 0, 25, one_bits);
  send_keys(*guest, 0, 20, two_bits);
  host->send("hash 24 abc123");
  EXPECT_EQ(receive_passes(*guest, 25, 0).passes[0], expected(25, one_bits));
  EXPECT_EQ(guest->receive().value_or(""), "hash 1 24 abc123");
  EXPECT_EQ(receive_passes(*host, 0, 20).passes[1], expected(20, two_bits));
  const Received watched = receive_passes(*watcher, 25, 20);
  EXPECT_EQ(watched.passes[0], expected(25, one_bits));
  EXPECT_EQ(watched.passes[1], expected(20, two_bits));
  EXPECT_TRUE(watched.others.empty());
  // A player is never sent its own keys back, nor a spectator a hash.
  EXPECT_FALSE(host->receive(std::chrono::milliseconds(300)));
  EXPECT_FALSE(watcher->receive(std::chrono::milliseconds(300)));
  EXPECT_FALSE(host->closed());
  EXPECT_NE(log().find("room " + code + " created"), std::string::npos) << log();
}

TEST_F(Relay, ALateSpectatorGetsTheMatchFromFrameZero) {
  start({"--max-rate", "1000"});
  auto host = connect();
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  auto guest = connect();
  guest->send("join " + code);
  room_code(*guest, net::Seat::two);
  send_keys(*host, 0, 500, one_bits);
  send_keys(*guest, 0, 430, two_bits);
  receive_passes(*host, 0, 430);
  auto watcher = connect();
  watcher->send("watch " + code);
  room_code(*watcher, net::Seat::spectator);
  const Received watched = receive_passes(*watcher, 500, 430);
  EXPECT_EQ(watched.passes[0], expected(500, one_bits));
  EXPECT_EQ(watched.passes[1], expected(430, two_bits));
}

// Behind a proxy that routes by the code, each relay makes codes of its own prefix, and takes
// games that name their room in the address they connect to.
TEST_F(Relay, ARelaysCodesBeginWithItsPrefixAndAJoinMayNameItsRoomInTheAddress) {
  start({"--code-prefix", "k3"});
  auto host = connect();
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  EXPECT_EQ(code.substr(0, 2), "K3");
  TestClient guest(relay_->port(), "", "/relay?room=" + code);
  ASSERT_TRUE(guest.connected());
  guest.send("join " + code);
  room_code(guest, net::Seat::two);
  EXPECT_EQ(host->receive().value_or(""), "peer joined");
}

TEST_F(Relay, APlayerWhoLeftComesBackToTheWholeMatchAndGoesOn) {
  start({"--hold", "3"});
  auto host = connect();
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  auto guest = connect();
  guest->send("join " + code);
  room_code(*guest, net::Seat::two);
  EXPECT_EQ(host->receive().value_or(""), "peer joined");
  send_keys(*host, 0, 6, one_bits);
  send_keys(*guest, 0, 4, two_bits);
  receive_passes(*host, 0, 4);
  guest->close();
  EXPECT_EQ(host->receive().value_or(""), "peer left");

  auto back = connect();
  back->send("join " + code);
  room_code(*back, net::Seat::two);
  EXPECT_EQ(host->receive().value_or(""), "peer back");
  const Received caught_up = receive_passes(*back, 6, 4);
  EXPECT_EQ(caught_up.passes[0], expected(6, one_bits));
  EXPECT_EQ(caught_up.passes[1], expected(4, two_bits));
  send_keys(*back, 4, 1, two_bits);
  EXPECT_EQ(receive_passes(*host, 0, 1, 0, 4).passes[1], std::vector<std::uint16_t>{two_bits(4)});
  // Keys of a frame already sent are refused.
  back->send("keys 2 0");
  expect_refused(*back, "wrong-frame");
  EXPECT_EQ(host->receive().value_or(""), "peer left");
  // Past the hold time the room is gone, and whoever was still in it is told so.
  expect_refused(*host, "room-closed");
  auto late = connect();
  late->send("join " + code);
  expect_refused(*late, "no-room");
  const std::string events = log();
  for (const char* event : {" seat 2 joined", " seat 2 left", " seat 2 back", " closed: "}) {
    EXPECT_NE(events.find("room " + code + event), std::string::npos) << event << " in:\n" << events;
  }
}

// A room whose host's keys still reach its guest.
struct Match {
  std::unique_ptr<TestClient> host, guest;
  std::uint32_t frame = 0;
  std::string code;
  void play_one() {
    send_keys(*host, frame, 1, one_bits);
    const Received received = receive_passes(*guest, 1, 0, frame);
    EXPECT_EQ(received.passes[0], std::vector<std::uint16_t>{one_bits(frame)}) << "frame " << frame;
    ++frame;
  }
};

// Makes a room and takes both its seats.
Match pair_up(std::unique_ptr<TestClient> host, std::unique_ptr<TestClient> guest) {
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  guest->send("join " + code);
  room_code(*guest, net::Seat::two);
  EXPECT_EQ(host->receive().value_or(""), "peer joined");
  return Match{std::move(host), std::move(guest), 0, code};
}

TEST_F(Relay, ABadMessageClosesItsConnectionWithAReasonAndNothingElse) {
  start();
  Match match = pair_up(connect(), connect());
  match.play_one();

  const std::pair<const char*, const char*> refused[] = {
      {"keys 0 1", "bad-message"},       // keys from no seat
      {"hello", "bad-message"},
      {"join 23456789", "no-room"},
      {"create\x01", "bad-message"},
  };
  for (const auto& [text, reason] : refused) {
    auto stranger = connect();
    stranger->send(text);
    expect_refused(*stranger, reason);
    match.play_one();
  }
  auto binary = connect();
  binary->send("create", true);
  expect_refused(*binary, "not-text");
  match.play_one();
  // An oversized message is refused by the WebSocket layer with its own code for it (1009).
  auto oversized = connect();
  oversized->send("create " + std::string(net::max_message_bytes, 'x'));
  EXPECT_FALSE(oversized->receive());
  EXPECT_TRUE(oversized->closed());
  EXPECT_EQ(oversized->close_code(), 1009);
  match.play_one();
  // Another room's host that skips a frame, or hashes a frame it has not sent; one that floods.
  for (const std::vector<std::string>& misdeed : {std::vector<std::string>{"keys 1 0"}, {"keys 0 0", "hash 1 ff"}}) {
    auto other = connect();
    other->send("create");
    room_code(*other, net::Seat::one);
    for (const std::string& text : misdeed) other->send(text);
    expect_refused(*other, "wrong-frame");
    match.play_one();
  }
  // What a line that stalled delivers at once, two seconds' worth, is no flood.
  auto burst = connect();
  burst->send("create");
  room_code(*burst, net::Seat::one);
  for (std::uint32_t frame = 0; frame + 1 < 2u * net::max_messages_per_second; ++frame) {
    burst->send("keys " + std::to_string(frame) + " 0");
  }
  EXPECT_FALSE(burst->receive(std::chrono::milliseconds(300)));
  EXPECT_FALSE(burst->closed());
  match.play_one();
  auto flooder = connect();
  flooder->send("create");
  room_code(*flooder, net::Seat::one);
  // More than two seconds' allowance and what three more seconds earn, should the sends be spread
  // over three seconds.
  for (std::uint32_t frame = 0; frame < 6u * net::max_messages_per_second; ++frame) {
    flooder->send("keys " + std::to_string(frame) + " 0");
  }
  expect_refused(*flooder, "flood");
  match.play_one();
  EXPECT_FALSE(match.host->closed());
  EXPECT_FALSE(match.guest->closed());
}

// Each seat sends its own player's keys and D and N; a key of the other player, or Escape, closes
// the connection that sent it, and the other player of its room hears that it left.
TEST_F(Relay, ASeatSendsOnlyItsOwnKeys) {
  start();
  Match match = pair_up(connect(), connect());
  match.host->send("keys 0 " + hex(net::seat_one_key_bits));
  match.guest->send("keys 0 " + hex(net::seat_two_key_bits));
  EXPECT_EQ(receive_passes(*match.guest, 1, 0).passes[0], std::vector<std::uint16_t>{net::seat_one_key_bits});
  EXPECT_EQ(receive_passes(*match.host, 0, 1).passes[1], std::vector<std::uint16_t>{net::seat_two_key_bits});
  match.frame = 1;
  const std::pair<net::Seat, int> foreign[] = {{net::Seat::one, platform::vk_p2_left},
                                               {net::Seat::one, platform::vk_escape},
                                               {net::Seat::two, platform::vk_return},
                                               {net::Seat::two, platform::vk_escape}};
  for (const auto& [seat, vk] : foreign) {
    Match other = pair_up(connect(), connect());
    TestClient& sender = seat == net::Seat::one ? *other.host : *other.guest;
    TestClient& partner = seat == net::Seat::one ? *other.guest : *other.host;
    sender.send("keys 0 " + hex(net::seat_key_bits(seat) | net::key_bits({vk})));
    expect_refused(sender, "bad-message");
    EXPECT_EQ(partner.receive().value_or(""), "peer left") << "key " << vk;
    EXPECT_NE(log().find("room " + other.code + " seat " + std::to_string(static_cast<int>(seat)) + " refused: bad-message"),
              std::string::npos)
        << log();
    match.play_one();
  }
  EXPECT_FALSE(match.host->closed());
  EXPECT_FALSE(match.guest->closed());
}

// Either player pauses and resumes the match for both: the other player and the spectators hear
// who did, and one who comes in while it is paused hears it after its seat.
TEST_F(Relay, APauseAndAResumeReachTheOtherPlayerAndTheSpectators) {
  start();
  Match match = pair_up(connect(), connect());
  auto watcher = connect();
  watcher->send("watch " + match.code);
  room_code(*watcher, net::Seat::spectator);
  match.play_one();
  EXPECT_EQ(receive_passes(*watcher, 1, 0).passes[0], expected(1, one_bits));
  const std::pair<TestClient*, std::string> said[] = {
      {match.host.get(), "pause 1"}, {match.guest.get(), "resume 2"}, {match.guest.get(), "pause 2"}};
  for (const auto& [speaker, heard] : said) {
    speaker->send(heard.substr(0, heard.find(' ')));
    TestClient& partner = speaker == match.host.get() ? *match.guest : *match.host;
    EXPECT_EQ(partner.receive().value_or(""), heard);
    EXPECT_EQ(watcher->receive().value_or(""), heard);
  }
  EXPECT_FALSE(match.host->receive(std::chrono::milliseconds(200))) << "the one who paused hears nothing back";
  auto late = connect();
  late->send("watch " + match.code);
  room_code(*late, net::Seat::spectator);
  EXPECT_EQ(late->receive().value_or(""), "pause 2");
  EXPECT_EQ(receive_passes(*late, 1, 0).passes[0], expected(1, one_bits));
  // From no seat, or in another spelling: refused, and the match goes on.
  late->send("resume");
  expect_refused(*late, "bad-message");
  for (const char* text : {"pause", "resume 1", "pause now"}) {
    auto stranger = connect();
    if (std::string_view(text) != "pause") {
      stranger->send("create");
      room_code(*stranger, net::Seat::one);
    }
    stranger->send(text);
    expect_refused(*stranger, "bad-message");
  }
  match.guest->send("resume");
  EXPECT_EQ(match.host->receive().value_or(""), "resume 2");
  match.play_one();
  EXPECT_FALSE(match.host->closed());
  EXPECT_FALSE(match.guest->closed());
}

TEST_F(Relay, RoomsSeatsWatchersAndConnectionsAreLimited) {
  start({"--max-rooms", "1", "--max-connections", "20"});
  auto host = connect();
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  auto second = connect();
  second->send("create");
  expect_refused(*second, "too-many-rooms");
  auto guest = connect();
  guest->send("join " + code);
  room_code(*guest, net::Seat::two);
  auto third = connect();
  third->send("join " + code);
  expect_refused(*third, "room-full");
  std::vector<std::unique_ptr<TestClient>> watchers;
  for (int count = 0; count < net::max_watchers; ++count) {
    watchers.push_back(connect());
    watchers.back()->send("watch " + code);
    room_code(*watchers.back(), net::Seat::spectator);
  }
  auto one_too_many = connect();
  one_too_many->send("watch " + code);
  expect_refused(*one_too_many, "too-many-watchers");
  // 2 players and 16 watchers: of 20 connections, room for two more, then none.
  auto nineteenth = connect();
  auto twentieth = connect();
  TestClient refused(relay_->port());
  EXPECT_FALSE(refused.connected());
  EXPECT_TRUE(twentieth->connected());
}

TEST_F(Relay, SilentPlayersAreDroppedWhileAnswerersOfPingsStay) {
  start({"--silence", "2"});
  auto host = connect();
  host->send("create");
  const std::string code = room_code(*host, net::Seat::one);
  auto watcher = connect();
  watcher->send("watch " + code);
  room_code(*watcher, net::Seat::spectator);
  // A spectator whose line went dead: it reads nothing, so its pings go unanswered.
  auto dead = connect();
  dead->send("watch " + code);
  // Alone, a host waits for its guest as long as it answers pings, and so does a spectator.
  for (int slice = 0; slice < 50; ++slice) {
    EXPECT_FALSE(host->receive(std::chrono::milliseconds(50)));
    EXPECT_FALSE(watcher->receive(std::chrono::milliseconds(50)));
  }
  EXPECT_FALSE(host->closed());
  EXPECT_FALSE(watcher->closed());
  room_code(*dead, net::Seat::spectator);
  expect_refused(*dead, "silent");
  auto guest = connect();
  guest->send("join " + code);
  room_code(*guest, net::Seat::two);
  // With a guest that keeps sending, the host that says nothing is dropped.
  std::vector<std::string> heard;
  for (std::uint32_t frame = 0; frame < 100 && !host->closed(); ++frame) {
    guest->send("keys " + std::to_string(frame) + " 0");
    while (const auto text = host->receive(std::chrono::milliseconds(100))) {
      if (text->rfind("keys ", 0) != 0) heard.push_back(*text);
    }
  }
  EXPECT_EQ(heard, (std::vector<std::string>{"peer joined", "error silent"}));
  EXPECT_EQ(host->close_reason(), "silent");
  EXPECT_EQ(guest->receive().value_or(""), "peer left");
  // A connection that never says what it came for is dropped too.
  auto mute = connect();
  expect_refused(*mute, "silent");
}

// The players of a paused match may say nothing for as long as it lasts (their connections still
// answer pings); once it goes on, one that says nothing is dropped again.
TEST_F(Relay, APausedMatchsPlayersMayBeSilent) {
  start({"--silence", "2"});
  Match match = pair_up(connect(), connect());
  match.host->send("pause");
  EXPECT_EQ(match.guest->receive().value_or(""), "pause 1");
  for (int slice = 0; slice < 60; ++slice) {  // half as long again as the silence
    EXPECT_FALSE(match.host->receive(std::chrono::milliseconds(50)));
    EXPECT_FALSE(match.guest->receive(std::chrono::milliseconds(50)));
  }
  ASSERT_FALSE(match.host->closed());
  ASSERT_FALSE(match.guest->closed());
  match.host->send("resume");
  std::vector<std::string> heard;
  for (std::uint32_t frame = 0; frame < 100 && !match.guest->closed(); ++frame) {
    match.host->send("keys " + std::to_string(frame) + " 0");
    while (const auto text = match.guest->receive(std::chrono::milliseconds(100))) {
      if (text->rfind("keys ", 0) != 0) heard.push_back(*text);
    }
  }
  EXPECT_EQ(heard, (std::vector<std::string>{"resume 1", "error silent"}));
}

TEST_F(Relay, SiteFilesAreServedWithTheirTypesAndNothingOutsideTheFolder) {
  const std::string base = ::testing::TempDir() + "relay-site-" + std::to_string(getpid());
  std::filesystem::create_directories(base + "/site/sub");
  std::ofstream(base + "/site/index.html") << "<p>rink</p>";
  std::ofstream(base + "/site/rink.wasm") << "wasm";
  std::ofstream(base + "/site/sub/a.js") << "let a;";
  std::ofstream(base + "/site/.hidden") << "no";
  std::ofstream(base + "/secret.txt") << "secret";
  std::filesystem::remove(base + "/site/out.txt");
  std::filesystem::create_symlink(base + "/secret.txt", base + "/site/out.txt");
  start({"--site", base + "/site"});
  const unsigned short port = relay_->port();

  const auto page = relay_testing::fetch(port, "GET", "/");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.content_type, "text/html; charset=utf-8");
  EXPECT_EQ(page.body, "<p>rink</p>");
  EXPECT_EQ(relay_testing::fetch(port, "GET", "/rink.wasm").content_type, "application/wasm");
  EXPECT_EQ(relay_testing::fetch(port, "GET", "/sub/a.js?v=2").body, "let a;");
  const auto head = relay_testing::fetch(port, "HEAD", "/sub/%61.js");
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.body, "");
  for (const char* escape : {"/../secret.txt", "/sub/../../secret.txt", "/%2e%2e/secret.txt", "/out.txt", "/.hidden",
                             "/sub", "/sub/", "/nothing", "/sub//a.js", "/%00", "/sub%5ca.js", "/%"}) {
    EXPECT_EQ(relay_testing::fetch(port, "GET", escape).status, 404) << escape;
  }
  EXPECT_EQ(relay_testing::fetch(port, "POST", "/").status, 405);
  // WebSocket on the same port still works.
  auto host = connect();
  host->send("create");
  room_code(*host, net::Seat::one);
  std::filesystem::remove_all(base);
}

TEST_F(Relay, PagesOfOriginsNotAllowedCannotConnect) {
  start({"--allow-origin", "https://rink.example", "--allow-origin", "http://127.0.0.1:8000"});
  EXPECT_FALSE(TestClient(relay_->port(), "https://elsewhere.example").connected());
  EXPECT_FALSE(TestClient(relay_->port(), "https://rink.example.evil").connected());
  for (const char* origin : {"https://rink.example", "http://127.0.0.1:8000", ""}) {
    TestClient client(relay_->port(), origin);
    ASSERT_TRUE(client.connected()) << origin;
    client.send("create");
    room_code(client, net::Seat::one);
  }
}

TEST(RelayCommandLine, MistakesNameTheArgumentAndExitWithStatusTwo) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--port", "65536"}, {"--hold", "0"}, {"--max-message", "16"}, {"--bogus"}, {"--bind", "nowhere"},
        {"--site", "/nonexistent-folder-of-the-relay-test"}, {"--port"}, {"--code-prefix", "B0"},
        {"--code-prefix", "ABC"}, {"--code-prefix", ""}}) {
    std::string error;
    EXPECT_EQ(relay_testing::run_program(RINK_RELAY, arguments, error), 2) << arguments[0];
    EXPECT_NE(error.find("rink-relay: "), std::string::npos) << error;
    EXPECT_NE(error.find(arguments[0]), std::string::npos) << error;
    EXPECT_NE(error.find("Try 'rink-relay --help'."), std::string::npos) << error;
  }
  std::string error;
  EXPECT_EQ(relay_testing::run_program(RINK_RELAY, {"--help"}, error), 0);
  EXPECT_EQ(relay_testing::run_program(RINK_RELAY, {"--version"}, error), 0);
  EXPECT_EQ(error, "");
}

}  // namespace
