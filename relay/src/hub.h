#pragma once
// The relay's rooms, apart from the network: what each message does, what each connection is sent
// next, and when a room or a connection has been quiet too long. A connection is a Peer; the hub
// never waits on one, it only tells it that it has something to send or that it must close.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "net/protocol.h"

namespace relay {

using Clock = std::chrono::steady_clock;

struct Limits {
  std::size_t max_rooms = 2000;
  int max_rate = net::max_messages_per_second;  // messages a second from one connection
  std::chrono::seconds hold{30};        // a left player's seat is kept for them this long
  std::chrono::seconds silence{10};     // a player (or a connection in no room) that says nothing
  std::chrono::seconds room_idle{600};  // a room whose players send no keys for this long ends
  // The symbols every code of this relay's rooms begins with: a proxy in front of several relays
  // sends each room's players to the relay whose codes begin so.
  std::string code_prefix;
};

// A connection may send Limits::max_rate messages a second on average, and this many seconds'
// worth at once: what a line that stalled for a while delivers when it goes on.
constexpr int burst_seconds = 2;

// Notices (room, peer, hash, error) waiting for a slow reader beyond this close it: a reader
// that keeps up has at most a few.
constexpr std::size_t max_pending_notices = 64;

struct Room;

// A connection as the hub sees it.
class Peer {
 public:
  virtual ~Peer() = default;
  // There is something new to send: take it with Hub::next_message until there is none.
  virtual void wake() = 0;
  // Send what is pending, then close, with `refusal` as the reason (nothing: a normal close).
  virtual void close_after_sending(std::optional<net::Refusal> refusal) = 0;
  // Send a ping; its pong comes back as Hub::answer.
  virtual void ping() = 0;

 private:
  friend class Hub;
  Room* room_ = nullptr;
  net::Seat seat_ = net::Seat::spectator;
  bool ended_ = false;
  std::deque<net::RelayMessage> notices_;
  // Per seat (one, two): the passes sent so far, and how many to send at most.
  std::array<std::uint32_t, 2> sent_{};
  std::array<std::uint32_t, 2> send_until_{};
  Clock::time_point heard_{};     // its last message (or when it was given a fresh start)
  Clock::time_point answered_{};  // the last sign of life on the line: a message or a pong
  Clock::time_point pinged_{};
  Clock::time_point rated_{};  // when allowance_ was last brought up to date
  double allowance_ = 0;       // how many messages it may send at once now
};

struct Room {
  net::RoomCode code{};
  std::array<Peer*, 2> players{};          // by seat one, two; null: empty
  std::array<bool, 2> seated{};            // the seat was ever taken
  std::array<Clock::time_point, 2> left{};  // when a taken seat was left
  std::vector<Peer*> watchers;
  std::array<std::vector<std::uint16_t>, 2> history;  // each seat's key bits by frame
  Clock::time_point active{};
  net::Seat paused_by = net::Seat::spectator;  // the seat that paused the match; spectator: not paused
};

class Hub {
 public:
  // Room events are logged, one line each, on `log`.
  Hub(Limits limits, std::FILE* log) : limits_(limits), log_(log) {}

  // A new connection, and one that has gone (closed or failed, by either side).
  void arrive(Peer& peer, Clock::time_point now);
  void leave(Peer& peer, Clock::time_point now);
  // One text message from a connection.
  void receive(Peer& peer, std::string_view text, Clock::time_point now);
  // A connection broke a rule of the transport (a binary or oversized frame).
  void refuse(Peer& peer, net::Refusal refusal, Clock::time_point now);
  // A pong (or a ping) came from a connection: the line still carries.
  void answer(Peer& peer, Clock::time_point now);
  // Pings connections quiet for half the silence and closes what has been quiet too long; call
  // it every sweep_period.
  void sweep(Clock::time_point now);
  // Often enough that a ping goes out, and its pong comes back, well within the silence.
  Clock::duration sweep_period() const {
    return std::min<Clock::duration>(std::chrono::seconds(1), Clock::duration(limits_.silence) / 4);
  }
  // The next message for `peer`, written into `out`; nothing when it is up to date.
  std::optional<std::string_view> next_message(Peer& peer, net::MessageText& out);

  std::size_t room_count() const { return rooms_.size(); }

 private:
  void create(Peer& peer, Clock::time_point now);
  void join(Peer& peer, const net::RoomCode& code, Clock::time_point now);
  void watch(Peer& peer, const net::RoomCode& code, Clock::time_point now);
  void keys(Peer& peer, const net::ClientMessage& message, Clock::time_point now);
  void hash(Peer& peer, const net::ClientMessage& message, Clock::time_point now);
  void pause(Peer& peer, net::ClientKind kind, Clock::time_point now);
  static bool within_rate(Peer& peer, Clock::time_point now, int max_rate);
  void seat(Peer& peer, Room& room, net::Seat seat, Clock::time_point now);
  void notify(Peer& peer, const net::RelayMessage& message, Clock::time_point now);
  void notify_peer(Room& room, net::Seat from, net::RelayKind kind, Clock::time_point now);
  void detach(Peer& peer, Clock::time_point now);
  void end(Peer& peer, std::optional<net::Refusal> refusal, Clock::time_point now);
  void remove_room(const std::string& key, const char* why, Clock::time_point now);
  std::vector<Peer*> connections() const;
  Room* find(const net::RoomCode& code);

  void log_room(const Room& room, const char* event, int seat = 0) const;

  Limits limits_;
  std::FILE* log_;
  std::unordered_map<std::string, std::unique_ptr<Room>> rooms_;
  std::unordered_set<Peer*> lobby_;  // connections in no room yet
};

}  // namespace relay
