#include "test_client.h"

#include <boost/asio/connect.hpp>
#include <boost/beast/http.hpp>

namespace relay_testing {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using error_code = boost::system::error_code;
using tcp = asio::ip::tcp;

namespace {
const tcp::endpoint endpoint_of(unsigned short port) { return {asio::ip::make_address("127.0.0.1"), port}; }
}  // namespace

TestClient::TestClient(unsigned short port, const std::string& origin, const std::string& target) : ws_(io_) {
  if (!origin.empty()) {
    ws_.set_option(websocket::stream_base::decorator(
        [origin](websocket::request_type& request) { request.set(http::field::origin, origin); }));
  }
  bool done = false;
  error_code result;
  beast::get_lowest_layer(ws_).async_connect(endpoint_of(port), [&](error_code error) {
    if (error) {
      result = error;
      done = true;
      return;
    }
    ws_.async_handshake("127.0.0.1", target, [&](error_code shaken) {
      result = shaken;
      done = true;
    });
  });
  connected_ = run_until(done, default_wait) && !result;
}

bool TestClient::run_until(const bool& done, std::chrono::milliseconds wait) {
  // A connecting, writing or closing that takes this long has failed.
  io_.restart();
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!done && std::chrono::steady_clock::now() < deadline) io_.run_one_until(deadline);
  if (done) return true;
  // Given up: cancel what is pending and let its handler run, so nothing refers to this call.
  beast::get_lowest_layer(ws_).cancel();
  io_.restart();
  while (!done) io_.run_one();
  return false;
}

void TestClient::send(std::string_view bytes, bool binary) {
  bool done = false;
  ws_.binary(binary);
  ws_.async_write(asio::buffer(bytes.data(), bytes.size()), [&](error_code, std::size_t) { done = true; });
  run_until(done, default_wait);
}

std::optional<std::string> TestClient::receive(std::chrono::milliseconds wait) {
  if (closed_) return std::nullopt;
  // A read that did not finish within its wait stays pending for the next call: cancelling it
  // would break the WebSocket stream. While it is pending, pings are answered.
  if (!reading_) {
    reading_ = true;
    read_done_ = false;
    ws_.async_read(buffer_, [this](error_code error, std::size_t) {
      read_error_ = error;
      read_done_ = true;
    });
  }
  io_.restart();
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!read_done_ && std::chrono::steady_clock::now() < deadline) io_.run_one_until(deadline);
  if (!read_done_) return std::nullopt;
  reading_ = false;
  if (read_error_) {
    closed_ = true;
    close_code_ = ws_.reason().code;
    close_reason_ = std::string(ws_.reason().reason.data(), ws_.reason().reason.size());
    return std::nullopt;
  }
  std::string text = beast::buffers_to_string(buffer_.data());
  buffer_.consume(buffer_.size());
  return text;
}

void TestClient::close() {
  bool done = false;
  ws_.async_close(websocket::close_code::normal, [&](error_code) { done = true; });
  run_until(done, default_wait);
  closed_ = true;
}

Fetched fetch(unsigned short port, const std::string& method, const std::string& target) {
  asio::io_context io;
  beast::tcp_stream stream(io);
  stream.expires_after(default_wait);
  Fetched fetched;
  http::request<http::empty_body> request(http::string_to_verb(method), target, 11);
  request.set(http::field::host, "127.0.0.1");
  http::response_parser<http::string_body> parser;
  parser.skip(method == "HEAD");
  beast::flat_buffer buffer;
  stream.async_connect(endpoint_of(port), [&](error_code error) {
    if (error) return;
    http::async_write(stream, request, [&](error_code written, std::size_t) {
      if (written) return;
      http::async_read(stream, buffer, parser, [&](error_code read, std::size_t) {
        if (read) return;
        fetched.status = static_cast<int>(parser.get().result_int());
        fetched.content_type = std::string(parser.get()[http::field::content_type]);
        fetched.body = parser.get().body();
      });
    });
  });
  io.run();
  return fetched;
}

}  // namespace relay_testing
