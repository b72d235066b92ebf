// The rooms: pairing by code, each seat's keys kept and passed on, seats held for a player who
// comes back, and the limits of each connection. One line on standard error per room event.

#include "hub.h"

#include <algorithm>
#include <cstdio>

namespace relay {
namespace {

using net::RelayKind;
using net::Refusal;
using net::Seat;

std::size_t index_of(Seat seat) { return static_cast<std::size_t>(seat) - 1; }
Seat seat_of(std::size_t index) { return static_cast<Seat>(index + 1); }
Seat other(Seat seat) { return seat == Seat::one ? Seat::two : Seat::one; }
std::string key_of(const net::RoomCode& code) { return std::string(net::code_text(code)); }

}  // namespace

void Hub::log_room(const Room& room, const char* event, int seat) const {
  const std::string_view code = net::code_text(room.code);
  if (seat == 0) {
    std::fprintf(log_, "rink-relay: room %.*s %s\n", static_cast<int>(code.size()), code.data(), event);
  } else {
    std::fprintf(log_, "rink-relay: room %.*s seat %d %s\n", static_cast<int>(code.size()), code.data(), seat, event);
  }
}

void Hub::arrive(Peer& peer, Clock::time_point now) {
  peer.heard_ = now;
  peer.answered_ = now;
  peer.rated_ = now;
  peer.allowance_ = burst_seconds * limits_.max_rate;
  lobby_.insert(&peer);
}

void Hub::leave(Peer& peer, Clock::time_point now) {
  detach(peer, now);
  peer.ended_ = true;
}

void Hub::refuse(Peer& peer, Refusal refusal, Clock::time_point now) {
  if (!peer.ended_) end(peer, refusal, now);
}

void Hub::answer(Peer& peer, Clock::time_point now) { peer.answered_ = now; }

void Hub::receive(Peer& peer, std::string_view text, Clock::time_point now) {
  if (peer.ended_) return;
  peer.answered_ = now;
  if (!within_rate(peer, now, limits_.max_rate)) return end(peer, Refusal::flood, now);
  const std::optional<net::ClientMessage> message = net::decode_client(text);
  if (!message) return end(peer, Refusal::bad_message, now);
  peer.heard_ = now;
  const bool in_room = peer.room_ != nullptr;
  const bool player = in_room && peer.seat_ != Seat::spectator;
  // create, join and watch only before a room; keys and hash only from a player.
  const bool allowed = message->kind == net::ClientKind::bye ||
                       (message->kind <= net::ClientKind::watch ? !in_room : player);
  if (!allowed) return end(peer, Refusal::bad_message, now);
  switch (message->kind) {
    case net::ClientKind::create: return create(peer, now);
    case net::ClientKind::join: return join(peer, message->code, now);
    case net::ClientKind::watch: return watch(peer, message->code, now);
    case net::ClientKind::keys: return keys(peer, *message, now);
    case net::ClientKind::hash: return hash(peer, *message, now);
    case net::ClientKind::pause:
    case net::ClientKind::resume: return pause(peer, message->kind, now);
    case net::ClientKind::bye: return end(peer, std::nullopt, now);
  }
}

bool Hub::within_rate(Peer& peer, Clock::time_point now, int max_rate) {
  const double earned = std::chrono::duration<double>(now - peer.rated_).count() * max_rate;
  peer.allowance_ = std::min<double>(burst_seconds * max_rate, peer.allowance_ + earned);
  peer.rated_ = now;
  if (peer.allowance_ < 1) return false;
  peer.allowance_ -= 1;
  return true;
}

void Hub::create(Peer& peer, Clock::time_point now) {
  if (rooms_.size() >= limits_.max_rooms) return end(peer, Refusal::too_many_rooms, now);
  auto room = std::make_unique<Room>();
  do {
    room->code = net::new_room_code(limits_.code_prefix);
  } while (rooms_.count(key_of(room->code)) != 0);
  room->active = now;
  Room& placed = *rooms_.emplace(key_of(room->code), std::move(room)).first->second;
  log_room(placed, "created");
  seat(peer, placed, Seat::one, now);
}

void Hub::join(Peer& peer, const net::RoomCode& code, Clock::time_point now) {
  Room* room = find(code);
  if (room == nullptr) return end(peer, Refusal::no_room, now);
  // A seat never taken first; else one whose player left and may come back.
  std::optional<Seat> free;
  if (!room->seated[index_of(Seat::two)]) {
    free = Seat::two;
  } else {
    for (const Seat candidate : {Seat::one, Seat::two}) {
      if (!free && room->players[index_of(candidate)] == nullptr) free = candidate;
    }
  }
  if (!free) return end(peer, Refusal::room_full, now);
  const bool back = room->seated[index_of(*free)];
  seat(peer, *room, *free, now);
  log_room(*room, back ? "back" : "joined", static_cast<int>(*free));
  notify_peer(*room, *free, back ? RelayKind::peer_back : RelayKind::peer_joined, now);
  // A silent player is counted from the moment it has someone to play with.
  if (Peer* waiting = room->players[index_of(other(*free))]) waiting->heard_ = now;
}

void Hub::watch(Peer& peer, const net::RoomCode& code, Clock::time_point now) {
  Room* room = find(code);
  if (room == nullptr) return end(peer, Refusal::no_room, now);
  if (room->watchers.size() >= static_cast<std::size_t>(net::max_watchers)) {
    return end(peer, Refusal::too_many_watchers, now);
  }
  seat(peer, *room, Seat::spectator, now);
  log_room(*room, "watched");
}

// Places a connection in a room: it is told its seat, then sent every pass kept so far, of both
// seats (a player who comes back has lost its own too), and from then on the passes of the seats
// it does not play.
void Hub::seat(Peer& peer, Room& room, Seat seat, Clock::time_point now) {
  lobby_.erase(&peer);
  peer.room_ = &room;
  peer.seat_ = seat;
  for (std::size_t index = 0; index < 2; ++index) {
    peer.sent_[index] = 0;
    peer.send_until_[index] = net::max_frames;
  }
  if (seat == Seat::spectator) {
    room.watchers.push_back(&peer);
  } else {
    room.players[index_of(seat)] = &peer;
    room.seated[index_of(seat)] = true;
    peer.send_until_[index_of(seat)] = static_cast<std::uint32_t>(room.history[index_of(seat)].size());
  }
  net::RelayMessage told;
  told.kind = RelayKind::room;
  told.code = room.code;
  told.seat = seat;
  if (seat != Seat::spectator) told.frame = static_cast<std::uint32_t>(room.history[index_of(seat)].size());
  notify(peer, told, now);
  if (room.paused_by != Seat::spectator) {
    net::RelayMessage paused;
    paused.kind = RelayKind::pause;
    paused.seat = room.paused_by;
    notify(peer, paused, now);
  }
}

void Hub::keys(Peer& peer, const net::ClientMessage& message, Clock::time_point now) {
  Room& room = *peer.room_;
  std::vector<std::uint16_t>& history = room.history[index_of(peer.seat_)];
  if ((message.bits & ~net::seat_key_bits(peer.seat_)) != 0) return end(peer, Refusal::bad_message, now);
  if (message.frame != history.size()) return end(peer, Refusal::wrong_frame, now);
  history.push_back(message.bits);
  room.active = now;
  if (Peer* partner = room.players[index_of(other(peer.seat_))]) partner->wake();
  for (Peer* watcher : room.watchers) watcher->wake();
}

// A hash is of a frame whose keys the seat has sent.
void Hub::hash(Peer& peer, const net::ClientMessage& message, Clock::time_point now) {
  Room& room = *peer.room_;
  if (message.frame >= room.history[index_of(peer.seat_)].size()) return end(peer, Refusal::wrong_frame, now);
  if (Peer* partner = room.players[index_of(other(peer.seat_))]) {
    net::RelayMessage passed;
    passed.kind = RelayKind::hash;
    passed.seat = peer.seat_;
    passed.frame = message.frame;
    passed.hash = message.hash;
    notify(*partner, passed, now);
  }
}

// A player's pause or resume, to the other player and the spectators. A paused room's players
// say nothing for as long as it lasts; when it ends, each has a whole silence to start again in.
void Hub::pause(Peer& peer, net::ClientKind kind, Clock::time_point now) {
  Room& room = *peer.room_;
  const bool pausing = kind == net::ClientKind::pause;
  room.paused_by = pausing ? peer.seat_ : Seat::spectator;
  room.active = now;
  net::RelayMessage told;
  told.kind = pausing ? RelayKind::pause : RelayKind::resume;
  told.seat = peer.seat_;
  Peer* partner = room.players[index_of(other(peer.seat_))];
  if (partner != nullptr && !pausing) partner->heard_ = now;
  // Telling one may end it (too slow), which takes it out of the room's lists.
  std::vector<Peer*> told_ones(room.watchers);
  if (partner != nullptr) told_ones.push_back(partner);
  for (Peer* member : told_ones) notify(*member, told, now);
}

void Hub::notify(Peer& peer, const net::RelayMessage& message, Clock::time_point now) {
  // One that reads too slowly to keep up would lose what it has not read.
  if (peer.notices_.size() >= max_pending_notices) return end(peer, Refusal::too_slow, now);
  peer.notices_.push_back(message);
  peer.wake();
}

void Hub::notify_peer(Room& room, Seat from, RelayKind kind, Clock::time_point now) {
  if (Peer* partner = room.players[index_of(other(from))]) {
    net::RelayMessage event;
    event.kind = kind;
    notify(*partner, event, now);
  }
}

// Takes a connection out of its room (or the lobby); the other player hears that it left.
void Hub::detach(Peer& peer, Clock::time_point now) {
  lobby_.erase(&peer);
  Room* room = peer.room_;
  peer.room_ = nullptr;
  if (room == nullptr) return;
  if (peer.seat_ == Seat::spectator) {
    std::erase(room->watchers, &peer);
    return;
  }
  room->players[index_of(peer.seat_)] = nullptr;
  room->left[index_of(peer.seat_)] = now;
  log_room(*room, "left", static_cast<int>(peer.seat_));
  notify_peer(*room, peer.seat_, RelayKind::peer_left, now);
}

void Hub::end(Peer& peer, std::optional<Refusal> refusal, Clock::time_point now) {
  // Why a player was closed: the other player is only told that it left.
  if (refusal && peer.room_ != nullptr && peer.seat_ != Seat::spectator) {
    const std::string event = "refused: " + std::string(net::refusal_text(*refusal));
    log_room(*peer.room_, event.c_str(), static_cast<int>(peer.seat_));
  }
  detach(peer, now);
  peer.ended_ = true;
  peer.notices_.clear();
  if (refusal) {
    net::RelayMessage error;
    error.kind = RelayKind::error;
    error.refusal = *refusal;
    peer.notices_.push_back(error);
  }
  peer.close_after_sending(refusal);
}

// Players of a match going on must send keys; every connection must answer its pings. The
// pings keep a waiting player's line open through proxies and find lines that went dead.
void Hub::sweep(Clock::time_point now) {
  const Clock::duration ping_after = Clock::duration(limits_.silence) / 2;
  std::vector<Peer*> silent;
  for (Peer* peer : connections()) {
    const bool in_match = peer->room_ != nullptr && peer->seat_ != Seat::spectator &&
                          peer->room_->players[1 - index_of(peer->seat_)] != nullptr &&
                          peer->room_->paused_by == Seat::spectator;
    const bool must_speak = peer->room_ == nullptr || in_match;
    if ((must_speak && now - peer->heard_ >= limits_.silence) || now - peer->answered_ >= limits_.silence) {
      silent.push_back(peer);
    } else if (now - peer->answered_ >= ping_after && now - peer->pinged_ >= ping_after) {
      peer->pinged_ = now;
      peer->ping();
    }
  }
  std::vector<std::pair<std::string, const char*>> over;
  for (auto& [key, room] : rooms_) {
    for (std::size_t index = 0; index < 2; ++index) {
      if (room->seated[index] && room->players[index] == nullptr && now - room->left[index] >= limits_.hold) {
        over.emplace_back(key, "closed: its seat was not taken again in time");
      }
    }
    if (now - room->active >= limits_.room_idle) over.emplace_back(key, "closed: no keys for too long");
  }
  for (Peer* peer : silent) {
    if (!peer->ended_) end(*peer, Refusal::silent, now);  // ending one may have ended another
  }
  for (const auto& [key, why] : over) remove_room(key, why, now);
}

std::vector<Peer*> Hub::connections() const {
  std::vector<Peer*> all(lobby_.begin(), lobby_.end());
  for (const auto& [key, room] : rooms_) {
    for (Peer* player : room->players) {
      if (player != nullptr) all.push_back(player);
    }
    all.insert(all.end(), room->watchers.begin(), room->watchers.end());
  }
  return all;
}

void Hub::remove_room(const std::string& key, const char* why, Clock::time_point now) {
  const auto found = rooms_.find(key);
  if (found == rooms_.end()) return;
  Room& room = *found->second;
  log_room(room, why);
  std::vector<Peer*> members(room.watchers);
  for (Peer* player : room.players) {
    if (player != nullptr) members.push_back(player);
  }
  for (Peer* member : members) {
    member->room_ = nullptr;
    end(*member, Refusal::room_closed, now);
  }
  rooms_.erase(found);
}

Room* Hub::find(const net::RoomCode& code) {
  const auto found = rooms_.find(key_of(code));
  return found == rooms_.end() ? nullptr : found->second.get();
}

std::optional<std::string_view> Hub::next_message(Peer& peer, net::MessageText& out) {
  if (!peer.notices_.empty()) {
    const std::string_view text = net::encode(peer.notices_.front(), out);
    peer.notices_.pop_front();
    return text;
  }
  if (peer.room_ == nullptr) return std::nullopt;
  for (std::size_t index = 0; index < 2; ++index) {
    const std::vector<std::uint16_t>& history = peer.room_->history[index];
    const std::size_t until = std::min<std::size_t>(peer.send_until_[index], history.size());
    std::uint32_t& sent = peer.sent_[index];
    if (sent >= until) continue;
    net::RelayMessage keys;
    keys.kind = RelayKind::keys;
    keys.seat = seat_of(index);
    keys.frame = sent;
    keys.key_count = std::min(net::max_keys_per_message, until - sent);
    std::copy_n(history.begin() + sent, keys.key_count, keys.bits.begin());
    sent += static_cast<std::uint32_t>(keys.key_count);
    return net::encode(keys, out);
  }
  return std::nullopt;
}

}  // namespace relay
