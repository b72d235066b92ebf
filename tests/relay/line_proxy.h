#pragma once
// A bad line for tests of online play: a TCP proxy on 127.0.0.1 in front of a port there, which
// forwards both ways, holds each chunk it reads for a delay drawn around a mean, keeps the order
// of each way's bytes, and now and then stalls a way for a while. Its draws come from a seed, so
// that a run is repeated by giving the same one. One thread and one timer per way: no busy wait.

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

namespace relay_testing {

using LineClock = std::chrono::steady_clock;

struct LineShape {
  std::chrono::milliseconds delay{60};    // each way's mean delay
  std::chrono::milliseconds jitter{20};   // a chunk's delay is drawn within delay ± jitter
  std::chrono::milliseconds stall{400};   // how long a stall holds a way
  std::chrono::milliseconds least_between_stalls{2000};
  std::chrono::milliseconds most_between_stalls{6000};
  std::uint32_t seed = 1;
};

// When the chunks of one way go out.
class LineSchedule {
 public:
  LineSchedule(const LineShape& shape, std::uint32_t seed);
  // The time a chunk read at `arrival` is sent on (arrivals come in order): its drawn delay after
  // it arrived, or after the stall it arrived in ended, and never before an earlier chunk's.
  LineClock::time_point departure(LineClock::time_point arrival);
  int stalls() const { return stalls_; }

 private:
  std::chrono::milliseconds draw(std::chrono::milliseconds least, std::chrono::milliseconds most);

  LineShape shape_;
  std::mt19937 random_;
  bool started_ = false;
  LineClock::time_point next_stall_{};
  LineClock::time_point held_until_{};
  LineClock::time_point last_departure_{};
  int stalls_ = 0;
};

class LineProxy {
 public:
  // Listens on 127.0.0.1 and any free port, each connection there going on to `target_port`.
  LineProxy(unsigned short target_port, const LineShape& shape);
  ~LineProxy();  // closes every connection and stops the thread
  LineProxy(const LineProxy&) = delete;
  LineProxy& operator=(const LineProxy&) = delete;

  unsigned short port() const { return port_; }
  // Chunks forwarded, and stalls that held a way, so far (both ways of every connection).
  long chunks() const { return chunks_; }
  int stalls() const { return stalls_; }

 private:
  friend class LineConnection;
  void accept();

  LineShape shape_;
  unsigned short target_port_;
  boost::asio::io_context io_;
  boost::asio::ip::tcp::acceptor acceptor_;
  unsigned short port_ = 0;
  std::uint32_t connections_opened_ = 0;
  std::atomic<long> chunks_{0};
  std::atomic<int> stalls_{0};
  std::thread thread_;
};

}  // namespace relay_testing
