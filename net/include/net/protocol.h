#pragma once
// The online protocol between the game's clients and rink-relay. Every message is one WebSocket
// text frame of printable ASCII, words separated by single blanks, numbers in their shortest form
// (decimal frames, lower-case hexadecimal key bits and hashes), so that a message has exactly one
// spelling and a reader can refuse anything else.
//
//   client to relay: create | join CODE | watch CODE | keys FRAME BITS | hash FRAME HEX | pause
//                    | resume | bye
//   relay to client: room CODE SEAT FRAMES | peer joined | peer left | peer back
//                    | keys SEAT FRAME BITS... | hash SEAT FRAME HEX | pause SEAT | resume SEAT
//                    | error REASON
//
// A client's `keys` holds one pass; the relay's may hold the passes FRAME, FRAME+1, ... of one
// seat in one message, so that a spectator who comes late, or a player who comes back, gets the
// match from frame 0 in a few hundred messages rather than one per pass.
// `room` tells a player how many of its seat's passes the room keeps: 0 for a new seat, and for
// one who comes back the pass where it goes on (it gets them all again to catch up).
// A player's `pause` and `resume` reach the other player and the spectators with the seat that
// said it; one who comes into a paused room is told `pause SEAT` after its `room`.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "platform/key_script.h"
#include "platform/keys.h"

namespace net {

// The limits of the protocol, which the relay enforces and the clients keep to.
constexpr std::size_t max_message_bytes = 256;
constexpr int max_messages_per_second = 30;
constexpr int max_watchers = 16;
// A match is at most as long as the longest key script a game plays back.
constexpr std::uint32_t max_frames = platform::max_script_lines;
// The game's keys of a pass, one bit per slot of platform::game_keys.
constexpr std::uint32_t all_key_bits = (1u << platform::game_key_count) - 1;
constexpr std::size_t max_keys_per_message = 40;

// Room codes: read aloud and typed on a phone, so no 0/O, 1/I/L; 31 symbols to the power of 8
// is about 8.5e11 codes.
constexpr std::string_view room_code_alphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
constexpr std::size_t room_code_length = 8;
using RoomCode = std::array<char, room_code_length>;
// A code that begins with START (symbols of the alphabet, fewer than a code has), the rest read
// from the system's secure random source (never the game's generator).
RoomCode new_room_code(std::string_view start = {});
bool is_room_code(std::string_view text);
// TEXT as a room code, typed in either case: upper-cased in place; false, with `why` saying what a
// code is, when it is none.
bool read_room_code(std::string& text, std::string& why);
// A relay's WebSocket address (or its path) for a connection to room CODE: the query names the
// room (room=CODE), so that a proxy in front of several relays can send it to the one that has it.
std::string room_address(const std::string& address, std::string_view code);
inline std::string_view code_text(const RoomCode& code) { return {code.data(), code.size()}; }

// Who a connection is in its room.
enum class Seat : std::uint8_t { spectator = 0, one = 1, two = 2 };

// The key bits of some of the game's keys, one bit per slot.
constexpr std::uint16_t key_bits(std::initializer_list<int> vks) {
  std::uint16_t bits = 0;
  for (const int vk : vks) bits = static_cast<std::uint16_t>(bits | 1u << platform::key_slot(vk));
  return bits;
}
// The keys a seat may send: its own player's, and D and N, which either player may press.
// Escape never leaves a machine.
constexpr std::uint16_t seat_one_key_bits =
    key_bits({platform::vk_left, platform::vk_right, platform::vk_up, platform::vk_down, platform::vk_space,
              platform::vk_return, platform::vk_d, platform::vk_n});
constexpr std::uint16_t seat_two_key_bits =
    key_bits({platform::vk_p2_left, platform::vk_p2_right, platform::vk_p2_up, platform::vk_p2_down,
              platform::vk_p2_shoot, platform::vk_p2_check, platform::vk_d, platform::vk_n});
constexpr std::uint16_t seat_key_bits(Seat seat) {
  return seat == Seat::one ? seat_one_key_bits : seat == Seat::two ? seat_two_key_bits : 0;
}

// Why the relay closes a connection; the word after `error`, and the WebSocket close reason.
enum class Refusal : std::uint8_t {
  bad_message,      // not a message of the grammar, or not one a connection may send now (keys
                    // of the other seat's player, or Escape)
  wrong_frame,      // keys or a hash for another frame than the seat's next one
  too_long,         // a frame longer than max_message_bytes
  not_text,         // a binary frame
  flood,            // more than max_messages_per_second in a second
  no_room,          // no room has that code
  room_full,        // both seats are taken
  too_many_watchers,
  too_many_rooms,
  silent,           // nothing heard for too long
  too_slow,         // reads what it is sent too slowly to keep up
  room_closed,      // the room ended: its hold time or its idle time ran out
};
constexpr std::size_t refusal_count = static_cast<std::size_t>(Refusal::room_closed) + 1;
std::string_view refusal_text(Refusal refusal);

// The three that enter a room come first.
enum class ClientKind : std::uint8_t { create, join, watch, keys, hash, pause, resume, bye };
struct ClientMessage {
  ClientKind kind = ClientKind::create;
  RoomCode code{};           // join, watch
  std::uint32_t frame = 0;   // keys, hash
  std::uint16_t bits = 0;    // keys
  std::uint64_t hash = 0;    // hash
};

enum class RelayKind : std::uint8_t { room, peer_joined, peer_left, peer_back, keys, hash, pause, resume, error };
struct RelayMessage {
  RelayKind kind = RelayKind::room;
  RoomCode code{};                     // room
  Seat seat = Seat::spectator;         // room, keys, hash, pause, resume
  std::uint32_t frame = 0;             // room (the seat's passes kept), keys (the first pass's), hash
  std::array<std::uint16_t, max_keys_per_message> bits{};  // keys
  std::size_t key_count = 0;           // keys: how many of `bits` are passes
  std::uint64_t hash = 0;              // hash
  Refusal refusal = Refusal::bad_message;  // error
};

// Where a message is written: it always fits.
using MessageText = std::array<char, max_message_bytes>;

std::string_view encode(const ClientMessage& message, MessageText& out);
std::string_view encode(const RelayMessage& message, MessageText& out);
// Nothing for text that is not exactly one message of the grammar.
std::optional<ClientMessage> decode_client(std::string_view text);
std::optional<RelayMessage> decode_relay(std::string_view text);

}  // namespace net
