// The listener and the sweep.

#include "server.h"

#include <boost/asio/ip/address.hpp>

namespace relay {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

constexpr std::chrono::milliseconds accept_retry{100};

tcp::endpoint endpoint_of(const Options& options) {
  return {asio::ip::make_address(options.bind), static_cast<unsigned short>(options.port)};
}

}  // namespace

Server::Server(asio::io_context& io, Shared& shared)
    : shared_(shared), acceptor_(io, endpoint_of(shared.options)), sweeper_(io), retry_(io) {}

void Server::start() {
  accept();
  sweep();
}

void Server::stop() {
  boost::system::error_code ignored;
  acceptor_.close(ignored);
  sweeper_.cancel();
  retry_.cancel();
}

void Server::accept() {
  acceptor_.async_accept([this](boost::system::error_code error, tcp::socket socket) {
    if (error == asio::error::operation_aborted) return;
    if (error) {
      // Out of descriptors or memory for a moment: try again later, not in a busy loop.
      retry_.expires_after(accept_retry);
      retry_.async_wait([this](boost::system::error_code waited) {
        if (!waited) accept();
      });
      return;
    }
    // Past the limit a connection is closed at once: it costs the relay nothing more.
    if (shared_.census->open < static_cast<std::size_t>(shared_.options.max_connections)) {
      // A pass's keys are a few bytes that must leave at once, not wait to fill a packet.
      boost::system::error_code ignored;
      socket.set_option(tcp::no_delay(true), ignored);
      serve(std::move(socket), shared_);
    }
    accept();
  });
}

void Server::sweep() {
  sweeper_.expires_after(shared_.hub.sweep_period());
  sweeper_.async_wait([this](boost::system::error_code error) {
    if (error) return;
    shared_.hub.sweep(Clock::now());
    sweep();
  });
}

}  // namespace relay
