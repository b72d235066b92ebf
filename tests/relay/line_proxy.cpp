#include "line_proxy.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace relay_testing {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using error_code = boost::system::error_code;

LineSchedule::LineSchedule(const LineShape& shape, std::uint32_t seed) : shape_(shape), random_(seed) {}

std::chrono::milliseconds LineSchedule::draw(std::chrono::milliseconds least, std::chrono::milliseconds most) {
  return std::chrono::milliseconds(std::uniform_int_distribution<long>(least.count(), most.count())(random_));
}

LineClock::time_point LineSchedule::departure(LineClock::time_point arrival) {
  if (!started_) {
    started_ = true;
    next_stall_ = arrival + draw(shape_.least_between_stalls, shape_.most_between_stalls);
  }
  while (arrival >= next_stall_) {
    held_until_ = next_stall_ + shape_.stall;
    next_stall_ = held_until_ + draw(shape_.least_between_stalls, shape_.most_between_stalls);
    // Counted when it holds a chunk: a stall of a way that carries nothing then goes unnoticed.
    if (arrival < held_until_) ++stalls_;
  }
  const LineClock::time_point sent = std::max(arrival, held_until_) + draw(shape_.delay - shape_.jitter,
                                                                           shape_.delay + shape_.jitter);
  last_departure_ = std::max(last_departure_, sent);
  return last_departure_;
}

namespace {

// Far more than a test's line carries in a stall; past it a way stops reading until it drains.
constexpr std::size_t max_held_chunks = 1024;

}  // namespace

// One proxied connection: its two ways, each reading from one socket and writing the chunks to
// the other when they are due. Kept alive by its pending operations' handlers.
class LineConnection : public std::enable_shared_from_this<LineConnection> {
 public:
  LineConnection(LineProxy& proxy, tcp::socket client)
      : proxy_(proxy), sockets_{std::move(client), tcp::socket(proxy.io_)},
        ways_{Way(proxy, 0), Way(proxy, 1)} {}

  void start() {
    const tcp::endpoint target(asio::ip::make_address("127.0.0.1"), proxy_.target_port_);
    sockets_[1].async_connect(target, [self = shared_from_this()](error_code error) {
      if (error) return self->close();
      for (tcp::socket& socket : self->sockets_) socket.set_option(tcp::no_delay(true));
      self->read(0);
      self->read(1);
    });
  }

 private:
  struct Chunk {
    LineClock::time_point due;
    std::vector<char> bytes;
  };
  // Way 0 reads the client and writes to the target; way 1 the other way round.
  struct Way {
    Way(LineProxy& proxy, int way)
        : schedule(proxy.shape_, proxy.shape_.seed + 2 * proxy.connections_opened_ + static_cast<std::uint32_t>(way)),
          timer(proxy.io_) {}
    LineSchedule schedule;
    asio::steady_timer timer;
    std::array<char, 4096> buffer{};
    std::deque<Chunk> held;
    bool reading = false;
    bool sending = false;
    bool ended = false;  // its reading side has closed
  };

  void read(int way) {
    Way& w = ways_[way];
    if (w.ended || w.reading || w.held.size() >= max_held_chunks) return;
    w.reading = true;
    sockets_[way].async_read_some(asio::buffer(w.buffer), [self = shared_from_this(), way](error_code error,
                                                                                           std::size_t size) {
      Way& w = self->ways_[way];
      w.reading = false;
      if (error) {
        w.ended = true;
      } else {
        const int stalls = w.schedule.stalls();
        w.held.push_back({w.schedule.departure(LineClock::now()), {w.buffer.begin(), w.buffer.begin() + size}});
        self->proxy_.stalls_ += w.schedule.stalls() - stalls;
        self->read(way);
      }
      self->send(way);
    });
  }

  // Writes the next chunk when it is due; when the way has ended and nothing is held, passes the
  // end on.
  void send(int way) {
    Way& w = ways_[way];
    if (w.sending) return;
    tcp::socket& out = sockets_[1 - way];
    if (w.held.empty()) {
      error_code ignored;
      if (w.ended) out.shutdown(tcp::socket::shutdown_send, ignored);
      if (ways_[0].ended && ways_[1].ended) close();
      return;
    }
    w.sending = true;
    w.timer.expires_at(w.held.front().due);
    w.timer.async_wait([self = shared_from_this(), way, &out](error_code waited) {
      Way& w = self->ways_[way];
      if (waited) return self->close();
      asio::async_write(out, asio::buffer(w.held.front().bytes), [self, way](error_code error, std::size_t) {
        Way& w = self->ways_[way];
        w.sending = false;
        if (error) return self->close();
        w.held.pop_front();
        ++self->proxy_.chunks_;
        self->read(way);
        self->send(way);
      });
    });
  }

  void close() {
    for (tcp::socket& socket : sockets_) {
      error_code ignored;
      socket.close(ignored);
    }
    for (Way& w : ways_) w.timer.cancel();
  }

  LineProxy& proxy_;
  std::array<tcp::socket, 2> sockets_;
  std::array<Way, 2> ways_;
};

LineProxy::LineProxy(unsigned short target_port, const LineShape& shape)
    : shape_(shape), target_port_(target_port), io_(1),
      acceptor_(io_, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)),
      port_(acceptor_.local_endpoint().port()) {
  accept();
  thread_ = std::thread([this] { io_.run(); });
}

LineProxy::~LineProxy() {
  io_.stop();
  thread_.join();
}

void LineProxy::accept() {
  acceptor_.async_accept([this](error_code error, tcp::socket client) {
    if (error) return;
    auto connection = std::make_shared<LineConnection>(*this, std::move(client));
    connections_opened_ += 1;
    connection->start();
    accept();
  });
}

}  // namespace relay_testing
