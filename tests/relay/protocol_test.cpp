// The protocol's messages: each has one spelling, which decodes to what was encoded, and the
// readers refuse every other text; room codes are readable and spread over the whole alphabet.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "net/protocol.h"

namespace {

using net::ClientKind;
using net::RelayKind;

std::string client_text(const net::ClientMessage& message) {
  net::MessageText out;
  return std::string(net::encode(message, out));
}

std::string relay_text(const net::RelayMessage& message) {
  net::MessageText out;
  return std::string(net::encode(message, out));
}

const net::RoomCode code{'A', 'B', 'C', '2', '3', '4', 'Z', '9'};

TEST(RelayProtocol, ClientMessagesHaveOneSpellingThatReadsBack) {
  net::ClientMessage keys{ClientKind::keys, {}, 1234, 0x7fff, 0};
  net::ClientMessage hash{ClientKind::hash, {}, 0, 0, 0xdeadbeef00c0ffee};
  net::ClientMessage join{ClientKind::join, code, 0, 0, 0};
  EXPECT_EQ(client_text(keys), "keys 1234 7fff");
  EXPECT_EQ(client_text(hash), "hash 0 deadbeef00c0ffee");
  EXPECT_EQ(client_text(join), "join ABC234Z9");
  EXPECT_EQ(client_text({ClientKind::create}), "create");
  EXPECT_EQ(client_text({ClientKind::pause}), "pause");
  EXPECT_EQ(client_text({ClientKind::resume}), "resume");
  for (const auto& message : {keys, hash, join, net::ClientMessage{ClientKind::watch, code}, net::ClientMessage{},
                              net::ClientMessage{ClientKind::pause}, net::ClientMessage{ClientKind::resume},
                              net::ClientMessage{ClientKind::bye}}) {
    const auto read = net::decode_client(client_text(message));
    ASSERT_TRUE(read) << client_text(message);
    EXPECT_EQ(client_text(*read), client_text(message));
    EXPECT_EQ(read->frame, message.frame);
    EXPECT_EQ(read->bits, message.bits);
    EXPECT_EQ(read->hash, message.hash);
    EXPECT_EQ(read->code, message.code);
  }
}

TEST(RelayProtocol, ReadersRefuseEveryOtherSpelling) {
  for (const char* text :
       {"", " create", "create ", "create  ", "Create", "keys 1", "keys 1 2 3", "keys  1 2", "keys 01 2", "keys 1 02",
        "keys 1 A", "keys 1 8000", "keys -1 2", "keys +1 2", "keys 1000000 0", "keys 99999999 0", "hash 1",
        "hash 1 00", "hash 1 10000000000000000", "join", "join ABC234Z", "join ABC234Z9X", "join abc234z9",
        "join ABC234O9", "join ABC2341I", "join ABC234L9", "watch ABC234Z9 1", "bye now", "create\n",
        "keys 1\t2", "keys 1 2\r", "pause 1", "pause ", "Pause", "resume 2", "resumed", "paused"}) {
    EXPECT_FALSE(net::decode_client(text)) << '"' << text << '"';
  }
  for (const char* text : {"keys 0 0 1", "keys 3 0 1", "keys 1 999999 1 2", "hash 0 1 1", "room ABC234Z9 3 0", "room ABC234Z9 1",
                           "peer", "peer gone", "error", "error nonsense", "room ABC234Z9", "pause", "pause 0",
                           "pause 3", "resume", "resume 01", "resume 1 2"}) {
    EXPECT_FALSE(net::decode_relay(text)) << '"' << text << '"';
  }
  EXPECT_FALSE(net::decode_client(std::string(net::max_message_bytes + 1, 'a')));
}

TEST(RelayProtocol, RelayMessagesReadBackUpToTheLongestKeysMessage) {
  net::RelayMessage keys;
  keys.kind = RelayKind::keys;
  keys.seat = net::Seat::two;
  keys.frame = net::max_frames - static_cast<std::uint32_t>(net::max_keys_per_message);
  keys.key_count = net::max_keys_per_message;
  keys.bits.fill(net::all_key_bits);
  keys.bits[3] = 0;
  const std::string longest = relay_text(keys);
  EXPECT_LE(longest.size(), net::max_message_bytes);
  const auto read = net::decode_relay(longest);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->key_count, keys.key_count);
  EXPECT_EQ(read->bits, keys.bits);
  EXPECT_EQ(read->frame, keys.frame);
  EXPECT_EQ(read->seat, net::Seat::two);

  net::RelayMessage room;
  room.code = code;
  EXPECT_EQ(relay_text(room), "room ABC234Z9 0 0");
  room.seat = net::Seat::two;
  room.frame = 412;
  EXPECT_EQ(net::decode_relay("room ABC234Z9 2 412")->frame, 412u);
  net::RelayMessage error;
  error.kind = RelayKind::error;
  for (std::size_t refusal = 0; refusal < net::refusal_count; ++refusal) {
    error.refusal = static_cast<net::Refusal>(refusal);
    const auto read_error = net::decode_relay(relay_text(error));
    ASSERT_TRUE(read_error) << relay_text(error);
    EXPECT_EQ(read_error->refusal, error.refusal);
  }
  for (const char* text : {"peer joined", "peer left", "peer back", "hash 1 7 0", "keys 2 0 0 7fff 1", "pause 1",
                           "resume 2"}) {
    const auto read_text = net::decode_relay(text);
    ASSERT_TRUE(read_text) << text;
    EXPECT_EQ(relay_text(*read_text), text);
  }
  EXPECT_EQ(net::decode_relay("pause 2").value_or(net::RelayMessage{}).kind, RelayKind::pause);
  EXPECT_EQ(net::decode_relay("resume 1").value_or(net::RelayMessage{}).seat, net::Seat::one);
}

TEST(RelayProtocol, RoomCodesAreReadableDistinctAndUseEverySymbol) {
  std::set<std::string> codes;
  std::set<char> symbols;
  for (int count = 0; count < 2000; ++count) {
    const net::RoomCode made = net::new_room_code();
    ASSERT_TRUE(net::is_room_code(net::code_text(made)));
    codes.emplace(net::code_text(made));
    symbols.insert(made.begin(), made.end());
  }
  EXPECT_EQ(codes.size(), 2000u);
  EXPECT_EQ(symbols.size(), net::room_code_alphabet.size());
  for (const char unclear : {'0', 'O', '1', 'I', 'L'}) EXPECT_EQ(symbols.count(unclear), 0u);
}

// A relay of several behind one proxy begins its codes with its own symbols; a code is typed in
// either case, and names its room in the address a game connects to.
TEST(RelayProtocol, CodesBeginWithTheRelaysPrefixAreReadInEitherCaseAndNameTheirRoomInTheAddress) {
  std::set<char> drawn;
  for (int count = 0; count < 500; ++count) {
    const net::RoomCode made = net::new_room_code("B7");
    ASSERT_TRUE(net::is_room_code(net::code_text(made)));
    ASSERT_EQ(net::code_text(made).substr(0, 2), "B7");
    drawn.insert(made.begin() + 2, made.end());
  }
  EXPECT_EQ(drawn.size(), net::room_code_alphabet.size()) << "the rest of a code is still drawn";

  std::string typed = "ab2cd3ef", why;
  EXPECT_TRUE(net::read_room_code(typed, why));
  EXPECT_EQ(typed, "AB2CD3EF");
  for (std::string wrong : {"AB2CD3E", "AB2CD3EF9", "AB2CD3E0", "AB CD3EF", ""}) {
    EXPECT_FALSE(net::read_room_code(wrong, why)) << wrong;
    EXPECT_EQ(why, "'" + wrong + "' is not a room code: a code has 8 of the letters and digits " +
                       std::string(net::room_code_alphabet));
  }
  EXPECT_EQ(net::room_address("/relay", "AB2CD3EF"), "/relay?room=AB2CD3EF");
  EXPECT_EQ(net::room_address("wss://rink.example.org/relay?v=1", "AB2CD3EF"),
            "wss://rink.example.org/relay?v=1&room=AB2CD3EF");
}

}  // namespace
