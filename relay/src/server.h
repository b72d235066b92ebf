#pragma once
// rink-relay's network side on Boost.Asio and Boost.Beast, all on one thread: the listener, the
// HTTP connections (the site's files, and the upgrade to WebSocket), the WebSocket connections
// that are the hub's peers, and the sweep of what has been quiet too long.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <filesystem>
#include <memory>

#include "hub.h"
#include "options.h"

namespace relay {

// How many connections are open, shared by the server and each connection (which may outlive
// the server while the io_context drops its handlers).
struct Census {
  std::size_t open = 0;
};

// What every connection needs to know.
struct Shared {
  Hub& hub;
  const Options& options;
  std::filesystem::path site;  // canonical; empty: no site
  std::shared_ptr<Census> census = std::make_shared<Census>();
};

class Server {
 public:
  // Listens on the options' address and port; throws boost::system::system_error when it cannot.
  Server(boost::asio::io_context& io, Shared& shared);
  unsigned short port() const { return acceptor_.local_endpoint().port(); }
  void start();
  void stop();

 private:
  void accept();
  void sweep();

  Shared& shared_;
  boost::asio::ip::tcp::acceptor acceptor_;
  boost::asio::steady_timer sweeper_;
  boost::asio::steady_timer retry_;
};

// Starts serving one accepted connection (HTTP first, WebSocket after an upgrade).
void serve(boost::asio::ip::tcp::socket socket, Shared& shared);

}  // namespace relay
