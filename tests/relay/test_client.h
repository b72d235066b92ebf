#pragma once
// A WebSocket client of the relay for tests, on Beast's own client, talking to 127.0.0.1 only.
// Every wait is bounded: a message that does not come within its wait is reported as none.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace relay_testing {

// Long enough for a relay on a loaded machine under the sanitizers; a test waits this long only
// when something it expects does not come.
constexpr std::chrono::milliseconds default_wait{10000};

class TestClient {
 public:
  // Connects and shakes hands for `target`, as a page of `origin` when one is given; connected()
  // tells whether that worked.
  explicit TestClient(unsigned short port, const std::string& origin = "", const std::string& target = "/");
  bool connected() const { return connected_; }

  // A message in a text frame, or a binary one.
  void send(std::string_view bytes, bool binary = false);
  // The next message; none when the connection closed (closed() then says so) or none came.
  std::optional<std::string> receive(std::chrono::milliseconds wait = default_wait);
  bool closed() const { return closed_; }
  // The code and reason the relay closed with.
  int close_code() const { return close_code_; }
  std::string close_reason() const { return close_reason_; }
  void close();

 private:
  // Runs the io_context until `done` or `wait` has passed; false when it timed out.
  bool run_until(const bool& done, std::chrono::milliseconds wait);

  boost::asio::io_context io_;
  boost::beast::websocket::stream<boost::beast::tcp_stream> ws_;
  boost::beast::flat_buffer buffer_;
  bool reading_ = false;
  bool read_done_ = false;
  boost::system::error_code read_error_;
  bool connected_ = false;
  bool closed_ = false;
  int close_code_ = 0;
  std::string close_reason_;
};

// A plain HTTP request to the relay: the status (0 when none came) and the response's
// content type and body.
struct Fetched {
  int status = 0;
  std::string content_type;
  std::string body;
};
Fetched fetch(unsigned short port, const std::string& method, const std::string& target);

}  // namespace relay_testing
