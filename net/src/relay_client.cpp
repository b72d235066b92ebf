#include "net/relay_client.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <deque>
#include <mutex>
#include <thread>

namespace net {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using error_code = boost::system::error_code;
using tcp = asio::ip::tcp;

namespace {
constexpr std::string_view scheme = "ws://";
constexpr const char* default_port = "7777";
}  // namespace

std::optional<RelayAddress> parse_relay_address(const std::string& url, std::string& why) {
  if (url.rfind(scheme, 0) != 0) {
    why = "a relay's address starts with ws:// (a relay behind https is reached by the page, not here)";
    return std::nullopt;
  }
  const std::string rest = url.substr(scheme.size());
  const std::size_t slash = rest.find('/');
  const std::string host_port = rest.substr(0, slash);
  RelayAddress address{host_port, default_port, slash == std::string::npos ? "/" : rest.substr(slash)};
  if (const std::size_t colon = host_port.rfind(':'); colon != std::string::npos && host_port.back() != ']') {
    address.host = host_port.substr(0, colon);
    address.port = host_port.substr(colon + 1);
    if (address.port.empty() || address.port.find_first_not_of("0123456789") != std::string::npos ||
        address.port.size() > 5 || std::stoul(address.port) == 0 || std::stoul(address.port) > 65535) {
      why = "'" + address.port + "' is no port";
      return std::nullopt;
    }
  }
  if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']') {
    address.host = address.host.substr(1, address.host.size() - 2);
  }
  if (address.host.empty()) {
    why = "no host";
    return std::nullopt;
  }
  return address;
}

// Everything runs on the connection's own thread; the game's thread only posts to it and reads
// the inbox under the lock.
struct RelayClient::Connection {
  explicit Connection(const RelayAddress& address) : address(address), resolver(io), ws(io) {}

  void start() {
    resolver.async_resolve(address.host, address.port, [this](error_code error, tcp::resolver::results_type found) {
      if (error) return close_with("cannot find " + address.host + ": " + error.message());
      beast::get_lowest_layer(ws).expires_after(std::chrono::seconds(10));
      beast::get_lowest_layer(ws).async_connect(found, [this](error_code connected, const tcp::endpoint&) {
        if (connected) return close_with("cannot reach " + address.host + ":" + address.port + ": " + connected.message());
        beast::get_lowest_layer(ws).expires_never();
        beast::get_lowest_layer(ws).socket().set_option(tcp::no_delay(true));
        ws.set_option(websocket::stream_base::timeout::suggested(beast::role_type::client));
        ws.async_handshake(address.host, address.path, [this](error_code shaken) {
          if (shaken) return close_with("the relay did not answer as a relay: " + shaken.message());
          set_state(State::open);
          write_next();
          read_next();
        });
      });
    });
  }

  void read_next() {
    ws.async_read(buffer, [this](error_code error, std::size_t) {
      if (error) {
        const auto& reason = ws.reason().reason;
        return close_with(reason.empty() ? error.message() : std::string(reason.data(), reason.size()));
      }
      const std::string text = beast::buffers_to_string(buffer.data());
      buffer.consume(buffer.size());
      if (const std::optional<RelayMessage> message = decode_relay(text)) {
        const std::lock_guard lock(mutex);
        inbox.push_back(*message);
      }
      read_next();
    });
  }

  void write_next() {
    if (writing || outbox.empty() || current_state() != State::open) return;
    writing = true;
    ws.async_write(asio::buffer(outbox.front()), [this](error_code error, std::size_t) {
      writing = false;
      outbox.pop_front();
      if (error) return close_with(error.message());
      write_next();
    });
  }

  void close_with(const std::string& why) {
    {
      const std::lock_guard lock(mutex);
      if (state == State::closed) return;
      state = State::closed;
      reason = why;
    }
    error_code ignored;
    beast::get_lowest_layer(ws).socket().close(ignored);
  }

  void set_state(State now) {
    const std::lock_guard lock(mutex);
    state = now;
  }
  State current_state() {
    const std::lock_guard lock(mutex);
    return state;
  }

  RelayAddress address;
  asio::io_context io;
  tcp::resolver resolver;
  websocket::stream<beast::tcp_stream> ws;
  beast::flat_buffer buffer;
  std::deque<std::string> outbox;  // the connection thread's
  bool writing = false;
  std::mutex mutex;  // guards the three below
  std::deque<RelayMessage> inbox;
  State state = State::connecting;
  std::string reason;
  std::thread thread;
};

RelayClient::RelayClient(const RelayAddress& address) : connection_(std::make_unique<Connection>(address)) {
  Connection& c = *connection_;
  c.start();
  c.thread = std::thread([&c] { c.io.run(); });
}

RelayClient::~RelayClient() {
  Connection& c = *connection_;
  asio::post(c.io, [&c] {
    c.close_with("closed by the game");
    c.resolver.cancel();
    // A handshake's timer outlives its connection, and would hold the thread to its end.
    c.io.stop();
  });
  c.thread.join();
}

void RelayClient::send(const ClientMessage& message) {
  MessageText text;
  std::string bytes(encode(message, text));
  Connection& c = *connection_;
  asio::post(c.io, [&c, bytes = std::move(bytes)]() mutable {
    c.outbox.push_back(std::move(bytes));
    c.write_next();
  });
}

std::optional<RelayMessage> RelayClient::take() {
  const std::lock_guard lock(connection_->mutex);
  if (connection_->inbox.empty()) return std::nullopt;
  RelayMessage message = connection_->inbox.front();
  connection_->inbox.pop_front();
  return message;
}

RelayClient::State RelayClient::state() const { return connection_->current_state(); }

std::string RelayClient::why_closed() const {
  const std::lock_guard lock(connection_->mutex);
  return connection_->reason;
}

}  // namespace net
