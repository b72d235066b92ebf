#pragma once
// The game's connection to rink-relay: a WebSocket over TCP, run by a thread of its own so that
// the game's loop never waits on the network. The loop hands messages over to be sent and takes
// the ones that came, and neither call blocks.

#include <memory>
#include <optional>
#include <string>

#include "net/protocol.h"

namespace net {

// Where a relay is: "ws://HOST[:PORT][/PATH]", the port 7777 when none is given. Empty when the
// address is no such thing; `why` then says what is wrong.
struct RelayAddress {
  std::string host;
  std::string port;
  std::string path;
};
std::optional<RelayAddress> parse_relay_address(const std::string& url, std::string& why);

class RelayClient {
 public:
  enum class State { connecting, open, closed };

  // Starts connecting at once.
  explicit RelayClient(const RelayAddress& address);
  // Closes the connection and waits for its thread.
  ~RelayClient();
  RelayClient(const RelayClient&) = delete;
  RelayClient& operator=(const RelayClient&) = delete;

  // Sent in the order handed over, once the connection is open.
  void send(const ClientMessage& message);
  // The next message that came, or none yet.
  std::optional<RelayMessage> take();
  State state() const;
  // Why the connection closed: the relay's reason, or what failed.
  std::string why_closed() const;

 private:
  struct Connection;
  std::unique_ptr<Connection> connection_;
};

}  // namespace net
