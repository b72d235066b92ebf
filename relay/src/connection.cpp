// One connection: HTTP requests (a site file, or the upgrade), then WebSocket messages to and
// from the hub. Each connection keeps itself alive through its pending operations' handlers.

#include <boost/asio/buffer.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <algorithm>
#include <optional>

#include "server.h"
#include "site.h"

namespace relay {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using error_code = boost::system::error_code;
using Request = http::request<http::empty_body>;

namespace {

// Beast's own string_view (boost's before Boost 1.81) from the standard one, and back.
beast::string_view beast_view(std::string_view text) { return {text.data(), text.size()}; }
std::string_view std_view(beast::string_view text) { return {text.data(), text.size()}; }

// How long a closing connection may take to send its last words and the close.
constexpr std::chrono::seconds closing_grace{5};

// A request's head is a few hundred bytes; a client that sends more is not one of ours.
constexpr std::uint32_t max_request_head = 8192;

// Counts an open connection for as long as it lives.
class Ticket {
 public:
  explicit Ticket(std::shared_ptr<Census> census) : census_(std::move(census)) { ++census_->open; }
  ~Ticket() { --census_->open; }
  Ticket(const Ticket&) = delete;
  Ticket& operator=(const Ticket&) = delete;

 private:
  std::shared_ptr<Census> census_;
};

class Channel : public Peer, public std::enable_shared_from_this<Channel> {
 public:
  Channel(asio::ip::tcp::socket socket, Shared& shared)
      : ws_(std::move(socket)), shared_(shared), ticket_(shared.census) {}

  void start(const Request& request) {
    // The hub's sweep pings quiet connections and drops dead ones: one timer for all of them, not
    // one re-armed on every message.
    websocket::stream_base::timeout timeout = websocket::stream_base::timeout::suggested(beast::role_type::server);
    timeout.idle_timeout = websocket::stream_base::none();
    ws_.set_option(timeout);
    ws_.control_callback([this](websocket::frame_type kind, beast::string_view) {
      if (kind != websocket::frame_type::close) shared_.hub.answer(*this, Clock::now());
    });
    ws_.read_message_max(static_cast<std::size_t>(shared_.options.max_message));
    ws_.text(true);
    ws_.async_accept(request, [self = shared_from_this()](error_code error) {
      if (error) return self->finish();
      self->shared_.hub.arrive(*self, Clock::now());
      self->read();
    });
  }

  void wake() override {
    if (!writing_) write_next();
  }

  void close_after_sending(std::optional<net::Refusal> refusal) override {
    closing_ = true;
    refusal_ = refusal;
    // A line gone dead would hold the last writes forever.
    closing_timer_.expires_after(closing_grace);
    closing_timer_.async_wait([self = shared_from_this()](error_code error) {
      if (!error) self->finish();
    });
    wake();
  }

  void ping() override {
    if (pinging_ || closing_ || finished_) return;
    pinging_ = true;
    ws_.async_ping({}, [self = shared_from_this()](error_code error) {
      self->pinging_ = false;
      if (error) return self->finish();
      if (self->closing_) self->wake();  // the close waited for the ping
    });
  }

 private:
  void read() {
    ws_.async_read(in_, [self = shared_from_this()](error_code error, std::size_t) { self->on_read(error); });
  }

  void on_read(error_code error) {
    if (error) {
      // Beast has closed an oversized message's connection with the WebSocket code for it.
      if (error == websocket::error::message_too_big) shared_.hub.refuse(*this, net::Refusal::too_long, Clock::now());
      return finish();
    }
    if (!ws_.got_text()) {
      shared_.hub.refuse(*this, net::Refusal::not_text, Clock::now());
    } else {
      const auto data = in_.data();
      shared_.hub.receive(*this, {static_cast<const char*>(data.data()), data.size()}, Clock::now());
    }
    in_.consume(in_.size());
    read();
  }

  void write_next() {
    if (finished_ || close_sent_) return;
    const std::optional<std::string_view> text = shared_.hub.next_message(*this, out_);
    if (!text) {
      writing_ = false;
      if (closing_ && !pinging_) send_close();  // not while a ping is on its way
      return;
    }
    writing_ = true;
    ws_.async_write(asio::buffer(text->data(), text->size()),
                    [self = shared_from_this()](error_code error, std::size_t) {
                      if (error) return self->finish();
                      self->write_next();
                    });
  }

  void send_close() {
    close_sent_ = true;
    websocket::close_reason reason(websocket::close_code::normal);
    if (refusal_) {
      reason.code = websocket::close_code::policy_error;
      reason.reason = beast_view(net::refusal_text(*refusal_));
    }
    ws_.async_close(reason, [self = shared_from_this()](error_code) { self->finish(); });
  }

  // The connection has ended, however it did: the hub lets go of it.
  void finish() {
    if (finished_) return;
    finished_ = true;
    closing_timer_.cancel();
    shared_.hub.leave(*this, Clock::now());
    error_code ignored;
    ws_.next_layer().close(ignored);
  }

  websocket::stream<asio::ip::tcp::socket> ws_;
  Shared& shared_;
  Ticket ticket_;
  beast::flat_buffer in_;
  net::MessageText out_{};
  asio::steady_timer closing_timer_{ws_.get_executor()};
  bool writing_ = false;
  bool pinging_ = false;
  bool closing_ = false;
  bool close_sent_ = false;
  bool finished_ = false;
  std::optional<net::Refusal> refusal_;
};

class HttpSession : public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(asio::ip::tcp::socket socket, Shared& shared)
      : stream_(std::move(socket)), shared_(shared), ticket_(shared.census) {}

  void read() {
    parser_.emplace();
    parser_->header_limit(max_request_head);
    parser_->body_limit(0);
    stream_.expires_after(shared_.options.limits.silence);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](error_code error, std::size_t) { self->on_request(error); });
  }

 private:
  void on_request(error_code error) {
    if (error) return close();
    Request request = parser_->release();
    if (websocket::is_upgrade(request)) {
      if (!origin_allowed(request)) return send(plain(request, http::status::forbidden, "origin not allowed\n"));
      std::make_shared<Channel>(stream_.release_socket(), shared_)->start(request);
      return;
    }
    respond(request);
  }

  bool origin_allowed(const Request& request) const {
    const auto& allowed = shared_.options.allowed_origins;
    const auto origin = request.find(http::field::origin);
    if (allowed.empty() || origin == request.end()) return true;
    return std::find(allowed.begin(), allowed.end(), std_view(origin->value())) != allowed.end();
  }

  void respond(const Request& request) {
    const bool head = request.method() == http::verb::head;
    if (!head && request.method() != http::verb::get) {
      auto answer = plain(request, http::status::method_not_allowed, "only GET and HEAD\n");
      answer->set(http::field::allow, "GET, HEAD");
      return send(std::move(answer));
    }
    std::optional<std::filesystem::path> file;
    if (!shared_.site.empty()) file = site_file(shared_.site, std_view(request.target()));
    http::file_body::value_type body;
    error_code opened;
    if (file) body.open(file->c_str(), beast::file_mode::scan, opened);
    if (!file || opened) return send(plain(request, http::status::not_found, "not found\n"));
    const std::uint64_t size = body.size();
    if (head) {
      // The head alone, with the length the file would have.
      auto answer = std::make_shared<http::response<http::empty_body>>(http::status::ok, request.version());
      describe(*answer, request, *file, size);
      return send(std::move(answer));
    }
    auto answer = std::make_shared<http::response<http::file_body>>(
        std::piecewise_construct, std::make_tuple(std::move(body)),
        std::make_tuple(http::status::ok, request.version()));
    describe(*answer, request, *file, size);
    send(std::move(answer));
  }

  template <class Response>
  static void describe(Response& answer, const Request& request, const std::filesystem::path& file,
                       std::uint64_t size) {
    answer.set(http::field::content_type, beast_view(content_type(file)));
    answer.keep_alive(request.keep_alive());
    answer.content_length(size);
  }

  std::shared_ptr<http::response<http::string_body>> plain(const Request& request, http::status status,
                                                           std::string_view text) {
    auto answer = std::make_shared<http::response<http::string_body>>(status, request.version());
    answer->set(http::field::content_type, "text/plain; charset=utf-8");
    answer->keep_alive(request.keep_alive());
    answer->body() = text;
    answer->prepare_payload();
    return answer;
  }

  // Sends a response, then reads the next request or closes.
  template <class Response>
  void send(std::shared_ptr<Response> answer) {
    const bool keep_alive = answer->keep_alive();
    auto done = [self = shared_from_this(), answer, keep_alive](error_code error, std::size_t) {
      if (error || !keep_alive) return self->close();
      self->read();
    };
    http::async_write(stream_, *answer, std::move(done));
  }

  void close() {
    error_code ignored;
    stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    stream_.close();
  }

  beast::tcp_stream stream_;
  Shared& shared_;
  Ticket ticket_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::empty_body>> parser_;
};

}  // namespace

void serve(asio::ip::tcp::socket socket, Shared& shared) {
  std::make_shared<HttpSession>(std::move(socket), shared)->read();
}

}  // namespace relay
