#include "app/web_online.h"

#include <array>

bool read_page_online(std::optional<PageOnline>& online, std::string& why) {
  using platform::page_address_option;
  const std::optional<std::string> make = page_address_option("online"), join = page_address_option("room"),
                                   watch = page_address_option("watch"), relay = page_address_option("relay");
  const int asked = make.has_value() + join.has_value() + watch.has_value();
  if (asked == 0) {
    if (relay) why = "?relay= is for online play (?online=1, ?room= or ?watch=)";
    return !relay;
  }
  if (asked > 1) {
    why = "?online=, ?room= and ?watch= do not go together";
    return false;
  }
  if (page_address_option("players")) {
    why = "?players= is not for online play: an online match has one player on each side";
    return false;
  }
  if (make && *make != "1") {
    why = "?online= must be 1";
    return false;
  }
  PageOnline asks;
  asks.role = make ? OnlineRole::create : join ? OnlineRole::join : OnlineRole::watch;
  if (!make) {
    asks.room = join ? *join : *watch;
    if (!net::read_room_code(asks.room, why)) return false;
  }
  // The relay of the host that served the page, at the path a proxy in front of it forwards.
  asks.relay = relay ? *relay : platform::page_own_socket_address("/relay");
  if (asks.relay.rfind("ws://", 0) != 0 && asks.relay.rfind("wss://", 0) != 0) {
    why = "?relay= must be a ws:// or wss:// address";
    return false;
  }
  if (!make) asks.relay = net::room_address(asks.relay, asks.room);
  online = std::move(asks);
  return true;
}

WebRelayLink::WebRelayLink(const std::string& address) : socket_(address, connect_seconds) {}

WebRelayLink::~WebRelayLink() = default;

void WebRelayLink::send(const net::ClientMessage& message) {
  net::MessageText text;
  socket_.send(net::encode(message, text));
}

std::optional<net::RelayMessage> WebRelayLink::take() {
  // A text that is not a message of the protocol is passed over, as the desktop's link does; the
  // page writes a zero after the text.
  std::array<char, net::max_message_bytes + 1> text;
  while (const std::optional<std::size_t> length = socket_.take(text)) {
    if (*length == text.size()) continue;
    if (std::optional<net::RelayMessage> message = net::decode_relay({text.data(), *length})) return message;
  }
  return std::nullopt;
}

net::RelayLink::State WebRelayLink::state() const { return static_cast<State>(socket_.state()); }

std::string WebRelayLink::why_closed() const { return socket_.why_closed(); }
