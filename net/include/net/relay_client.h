#pragma once
// The game's connection to rink-relay: a WebSocket over TCP, run by a thread of its own so that
// the game's loop never waits on the network. The loop hands messages over to be sent and takes
// the ones that came, and neither call blocks.

#include <memory>
#include <optional>
#include <string>

#include "net/relay_link.h"

namespace net {

// Where a relay is: "ws://HOST[:PORT][/PATH]", the port 7777 when none is given. Empty when the
// address is no such thing; `why` then says what is wrong.
struct RelayAddress {
  std::string host;
  std::string port;
  std::string path;
};
std::optional<RelayAddress> parse_relay_address(const std::string& url, std::string& why);

class RelayClient final : public RelayLink {
 public:
  // Starts connecting at once.
  explicit RelayClient(const RelayAddress& address);
  // Closes the connection and waits for its thread.
  ~RelayClient() override;
  RelayClient(const RelayClient&) = delete;
  RelayClient& operator=(const RelayClient&) = delete;

  void send(const ClientMessage& message) override;
  std::optional<RelayMessage> take() override;
  State state() const override;
  std::string why_closed() const override;

 private:
  struct Connection;
  std::unique_ptr<Connection> connection_;
};

}  // namespace net
