#pragma once
// A game's connection to rink-relay as the game's loop sees it: messages handed over to be sent
// and the ones that came taken, neither call blocking. The desktop's is a WebSocket on a thread
// of its own (relay_client.h); a web page's is the browser's WebSocket.

#include <optional>
#include <string>

#include "net/protocol.h"

namespace net {

class RelayLink {
 public:
  enum class State { connecting, open, closed };

  virtual ~RelayLink() = default;
  // Sent in the order handed over, once the connection is open.
  virtual void send(const ClientMessage& message) = 0;
  // The next message that came, or none yet.
  virtual std::optional<RelayMessage> take() = 0;
  virtual State state() const = 0;
  // Why the connection closed: the relay's reason, or what failed.
  virtual std::string why_closed() const = 0;
};

}  // namespace net
