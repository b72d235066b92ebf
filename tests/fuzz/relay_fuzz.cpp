// libFuzzer entry for the relay's message reader: each input is a conversation, one message a
// line, whose first byte picks which of four connections sends it. The messages go through the
// relay's own rooms (the hub), as they would from the network. Besides the sanitizers' findings,
// a run stops when the reader or the rooms break their promises: a message the reader takes has
// exactly the spelling its writer gives it back, and everything the relay sends is one message of
// the grammar that reads back to itself and fits the protocol's size.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "hub.h"
#include "net/protocol.h"

namespace {

class FakePeer : public relay::Peer {
 public:
  void wake() override {}
  void close_after_sending(std::optional<net::Refusal>) override { closing = true; }
  // A line that answers no ping: the sweep drops it once it has said nothing for a silence.
  void ping() override {}
  bool closing = false;
};

void check(bool promise) {
  if (!promise) std::abort();
}

// Takes everything the relay would send a connection and checks each message; keeps the code
// of the last room it names.
void drain(relay::Hub& hub, FakePeer& peer, std::string& code) {
  net::MessageText out;
  while (const std::optional<std::string_view> text = hub.next_message(peer, out)) {
    check(text->size() <= net::max_message_bytes);
    const std::optional<net::RelayMessage> message = net::decode_relay(*text);
    check(message.has_value());
    net::MessageText again;
    check(net::encode(*message, again) == *text);
    if (message->kind == net::RelayKind::room) code = net::code_text(message->code);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* quiet = std::fopen("/dev/null", "w");
  relay::Limits limits;
  limits.max_rooms = 3;
  relay::Hub hub(limits, quiet);
  constexpr int peer_count = 4;
  std::unique_ptr<FakePeer> peers[peer_count];
  relay::Clock::time_point now{};
  std::string room;
  for (auto& peer : peers) {
    peer = std::make_unique<FakePeer>();
    hub.arrive(*peer, now);
  }
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (line.empty()) continue;
    // The first byte: which connection, and how many tenths of a second pass before it speaks.
    const auto first = static_cast<unsigned char>(line[0]);
    std::unique_ptr<FakePeer>& peer = peers[first % peer_count];
    now += std::chrono::milliseconds(100 * (first / peer_count % 8));
    // Codes are random: "join *" and "watch *" name the last room the relay named.
    std::string text(line.substr(1));
    if (!room.empty() && (text == "join *" || text == "watch *")) text.replace(text.size() - 1, 1, room);
    if (const auto message = net::decode_client(text)) {
      net::MessageText out;
      check(net::encode(*message, out) == text);
    }
    hub.receive(*peer, text, now);
    hub.sweep(now);
    for (auto& each : peers) drain(hub, *each, room);
    if (peer->closing) {
      hub.leave(*peer, now);
      peer = std::make_unique<FakePeer>();
      hub.arrive(*peer, now);
    }
  }
  for (auto& peer : peers) hub.leave(*peer, now);
  return 0;
}
