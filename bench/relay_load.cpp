// Load on rink-relay: MATCHES matches on 127.0.0.1 at once, each of two connections sending one
// `keys` message every 100 ms, for SECONDS. Reports how long a pass takes from its sender to the
// other player (50th, 99th percentile, most), the relay's processor use over the run (from
// /proc/PID/stat) and its resident memory per room, and how loaded the machine was.
//   relay_load [MATCHES [SECONDS]]        (defaults: 1000 matches, 30 seconds)

#include <unistd.h>

#include <algorithm>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <cstdio>
#include <deque>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "descriptors.h"
#include "net/protocol.h"
#include "relay_process.h"

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using error_code = boost::system::error_code;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds pass_period{100};  // the game's 10 passes a second
constexpr int connecting_at_once = 64;

// One player's connection: it sends its keys on its own schedule and times the other's.
struct Player : std::enable_shared_from_this<Player> {
  Player(asio::io_context& io, int frames)
      : ws(io), timer(io), sent_at(static_cast<std::size_t>(frames)) {}

  websocket::stream<beast::tcp_stream> ws;
  asio::steady_timer timer;
  beast::flat_buffer in;
  std::vector<Clock::time_point> sent_at;  // by frame
  std::shared_ptr<Player> partner;
  std::string code;  // the room's, once the relay named it
  std::uint16_t own_keys = 0;  // the keys its seat may send
  std::deque<std::string> outgoing;  // the first is being written

  std::uint32_t next_frame = 0;
  bool failed = false;
};

struct Load {
  asio::io_context io{1};
  std::vector<std::shared_ptr<Player>> players;  // host, guest, host, guest...
  std::vector<double> latencies_ms;
  int frames = 0;
  int ready = 0;     // players seated
  int failures = 0;
  bool measuring = false;
};

void fail(Load& load, Player& player, const char* what, error_code error) {
  if (!player.failed && error != asio::error::operation_aborted) {
    player.failed = true;
    if (++load.failures <= 5) std::fprintf(stderr, "relay_load: %s: %s\n", what, error.message().c_str());
  }
}

// Reads what the relay sends: the room's code, then the partner's passes, each timed.
void read(Load& load, const std::shared_ptr<Player>& player) {
  player->ws.async_read(player->in, [&load, player](error_code error, std::size_t) {
    if (error) return fail(load, *player, "read", error);
    const auto data = player->in.data();
    const auto message = net::decode_relay({static_cast<const char*>(data.data()), data.size()});
    player->in.consume(player->in.size());
    const Clock::time_point now = Clock::now();
    if (message && message->kind == net::RelayKind::room) {
      player->code = net::code_text(message->code);
      ++load.ready;
    } else if (message && message->kind == net::RelayKind::keys && load.measuring) {
      for (std::size_t pass = 0; pass < message->key_count; ++pass) {
        const Clock::time_point sent = player->partner->sent_at[message->frame + pass];
        load.latencies_ms.push_back(std::chrono::duration<double, std::milli>(now - sent).count());
      }
    }
    read(load, player);
  });
}

// Writes the first queued message, then the next, one at a time as WebSocket requires.
void write_next(Load& load, const std::shared_ptr<Player>& player) {
  const std::string& text = player->outgoing.front();
  player->ws.async_write(asio::buffer(text), [&load, player](error_code error, std::size_t) {
    if (error) return fail(load, *player, "write", error);
    player->outgoing.pop_front();
    if (!player->outgoing.empty()) write_next(load, player);
  });
}

void send_text(Load& load, const std::shared_ptr<Player>& player, std::string text) {
  player->outgoing.push_back(std::move(text));
  if (player->outgoing.size() == 1) write_next(load, player);
}

// Sends a pass's keys every period from `start`, until the player's frames are done.
void play(Load& load, const std::shared_ptr<Player>& player, Clock::time_point start) {
  player->timer.expires_at(start + pass_period * player->next_frame);
  player->timer.async_wait([&load, player, start](error_code error) {
    if (error || player->failed || player->next_frame >= player->sent_at.size()) return;
    const std::uint32_t frame = player->next_frame++;
    net::ClientMessage keys{net::ClientKind::keys, {}, frame, static_cast<std::uint16_t>(frame % 512 & player->own_keys), 0};
    net::MessageText out;
    player->sent_at[frame] = Clock::now();
    send_text(load, player, std::string(net::encode(keys, out)));
    play(load, player, start);
  });
}

void connect(Load& load, const std::shared_ptr<Player>& player, unsigned short port, std::function<void()> done) {
  const asio::ip::tcp::endpoint relay{asio::ip::make_address("127.0.0.1"), port};
  beast::get_lowest_layer(player->ws).async_connect(relay, [&load, player, done](error_code error) {
    if (error) {
      fail(load, *player, "connect", error);
      return done();
    }
    beast::get_lowest_layer(player->ws).socket().set_option(asio::ip::tcp::no_delay(true));
    player->ws.async_handshake("127.0.0.1", "/", [&load, player, done](error_code shaken) {
      if (shaken) fail(load, *player, "handshake", shaken);
      player->ws.text(true);
      done();
    });
  });
}

// Runs the io_context until `ready` or the wait is over.
bool run_until(Load& load, const std::function<bool()>& ready, std::chrono::seconds wait) {
  const Clock::time_point deadline = Clock::now() + wait;
  while (!ready() && Clock::now() < deadline) load.io.run_one_until(deadline);
  return ready();
}

// Connects every player, a few at a time; a host creates a room, its guest joins it.
bool seat_everyone(Load& load, unsigned short port, int matches) {
  for (int index = 0; index < 2 * matches; ++index) {
    load.players.push_back(std::make_shared<Player>(load.io, load.frames));
  }
  for (int match = 0; match < matches; ++match) {
    load.players[2 * match]->partner = load.players[2 * match + 1];
    load.players[2 * match + 1]->partner = load.players[2 * match];
  }
  int connected = 0;
  int started = 0;
  for (int seat = 0; seat < 2; ++seat) {
    for (int match = 0; match < matches; ++match) {
      const std::shared_ptr<Player>& player = load.players[2 * match + seat];
      if (!run_until(load, [&] { return started - connected < connecting_at_once; }, std::chrono::seconds(30))) {
        return false;
      }
      ++started;
      connect(load, player, port, [&load, player, &connected, seat] {
        ++connected;
        if (player->failed) return;
        read(load, player);
        send_text(load, player, seat == 0 ? std::string("create") : "join " + player->partner->code);
      });
    }
    // The guests join once every host has its room's code.
    const int seated = (seat + 1) * matches;
    const auto all_seated = [&] { return load.ready + load.failures >= seated; };
    if (!run_until(load, all_seated, std::chrono::seconds(60))) return false;
  }
  return load.failures == 0;
}

// The relay's processor time so far, in seconds (user and system, from /proc/PID/stat).
double processor_seconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long user = 0, system = 0;
  for (int index = 3; index <= 15 && fields >> field; ++index) {
    if (index == 14) user = std::stoull(field);
    if (index == 15) system = std::stoull(field);
  }
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The relay's resident memory in kilobytes (VmRSS).
long resident_kb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

std::string load_average() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

double percentile(const std::vector<double>& sorted, double share) {
  if (sorted.empty()) return 0;
  return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(share * static_cast<double>(sorted.size())))];
}

}  // namespace

int main(int argc, char** argv) {
  const int matches = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  if (matches < 1 || seconds < 1) {
    std::fprintf(stderr, "usage: relay_load [MATCHES [SECONDS]]\n");
    return 2;
  }
  const std::size_t descriptors = relay::raise_descriptor_limit();
  std::printf("relay_load: %d matches (%d connections) for %d s; open files allowed: %zu; load average %s\n", matches,
              2 * matches, seconds, descriptors, load_average().c_str());
  if (descriptors < static_cast<std::size_t>(2 * matches + 64)) {
    std::fprintf(stderr, "relay_load: %zu open files are too few for %d connections\n", descriptors, 2 * matches);
    return 1;
  }
  const std::string log = "/tmp/relay_load-" + std::to_string(getpid()) + ".log";
  relay_testing::RelayProcess relay(RINK_RELAY,
                                    {"--max-connections", std::to_string(2 * matches + 16), "--max-rooms",
                                     std::to_string(matches)},
                                    log);
  if (relay.port() == 0) {
    std::fprintf(stderr, "relay_load: rink-relay did not start\n");
    return 1;
  }
  Load load;
  load.frames = seconds * static_cast<int>(std::chrono::seconds(1) / pass_period);
  const long rss_before = resident_kb(relay.pid());
  if (!seat_everyone(load, relay.port(), matches)) {
    std::fprintf(stderr, "relay_load: only %d of %d players were seated\n", load.ready, 2 * matches);
    return 1;
  }
  // Every player starts at its own moment within the first period, as real clients would.
  const Clock::time_point start = Clock::now() + pass_period;
  for (std::size_t index = 0; index < load.players.size(); ++index) {
    play(load, load.players[index], start + pass_period * index / load.players.size());
  }
  load.measuring = true;
  const double cpu_before = processor_seconds(relay.pid());
  const double own_before = processor_seconds(getpid());
  const Clock::time_point began = Clock::now();
  const std::size_t expected = static_cast<std::size_t>(2 * matches) * static_cast<std::size_t>(load.frames);
  // On a busy machine the last passes may come late; they are still timed, not lost.
  run_until(load, [&] { return load.latencies_ms.size() >= expected; }, std::chrono::seconds(seconds + 30));
  const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
  const double cpu = processor_seconds(relay.pid()) - cpu_before;
  const double own = processor_seconds(getpid()) - own_before;
  const long rss_after = resident_kb(relay.pid());
  unlink(log.c_str());

  std::sort(load.latencies_ms.begin(), load.latencies_ms.end());
  std::printf("passes passed on: %zu of %zu; failed connections: %d\n", load.latencies_ms.size(), expected,
              load.failures);
  std::printf("latency ms: p50 %.3f  p99 %.3f  max %.3f  (goal: p99 <= 5)\n", percentile(load.latencies_ms, 0.50),
              percentile(load.latencies_ms, 0.99), load.latencies_ms.empty() ? 0.0 : load.latencies_ms.back());
  std::printf("relay processor: %.1f %% of one core over %.1f s  (goal: <= 30 %%)\n", 100 * cpu / elapsed, elapsed);
  std::printf("load generator processor: %.1f %% of one core\n", 100 * own / elapsed);
  std::printf("relay memory: %ld kB before, %ld kB with %d rooms: %.1f kB a room\n", rss_before, rss_after, matches,
              static_cast<double>(rss_after - rss_before) / matches);
  std::printf("load average after: %s\n", load_average().c_str());
  return load.failures == 0 && load.latencies_ms.size() == expected ? 0 : 1;
}
