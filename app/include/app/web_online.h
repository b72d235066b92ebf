#pragma once
// Online play in a web page. The page's address asks for it: ?online=1 makes a room, ?room=CODE
// joins one, ?watch=CODE watches one, and ?relay=ws://HOST[:PORT] names the relay (by default the
// host that served the page, ws: for a page over http:, wss: over https:). The link to the relay
// is the browser's WebSocket, and the page is told the room's code once the relay has given it.

#include <optional>
#include <string>

#include "app/online_game.h"
#include "net/relay_link.h"
#include "platform/web_socket.h"

// What the page's address asks of online play.
struct PageOnline {
  OnlineRole role = OnlineRole::create;
  std::string room;   // join, watch: the room's code, in capitals
  std::string relay;  // the relay's WebSocket address, naming the room to join or watch
};

// Nothing when the address asks for no online play; false with `why` when it asks for it wrongly.
bool read_page_online(std::optional<PageOnline>& online, std::string& why);

// A connection to rink-relay over the browser's WebSocket (web_socket.h), each message read into
// a buffer of the protocol's size.
class WebRelayLink final : public net::RelayLink {
 public:
  // Starts connecting at once; gives up when the relay has not answered within connect_seconds.
  explicit WebRelayLink(const std::string& address);
  ~WebRelayLink() override;  // closes the connection
  WebRelayLink(const WebRelayLink&) = delete;
  WebRelayLink& operator=(const WebRelayLink&) = delete;

  static constexpr int connect_seconds = 10;

  void send(const net::ClientMessage& message) override;
  std::optional<net::RelayMessage> take() override;
  State state() const override;
  std::string why_closed() const override;

 private:
  platform::WebSocketText socket_;
};
