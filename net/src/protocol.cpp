// Writing and reading the protocol's messages: no allocation, and one spelling per message.

#include "net/protocol.h"

#include <charconv>
#include <iterator>
#include <string_view>

namespace net {
namespace {

constexpr std::string_view refusal_texts[]  = {
    "bad-message", "wrong-frame", "too-long", "not-text", "flood", "no-room",
    "room-full", "too-many-watchers", "too-many-rooms", "silent", "too-slow", "room-closed"};

static_assert(std::size(refusal_texts) == refusal_count, "every refusal has its word");

constexpr std::string_view client_words[] = {"create", "join", "watch", "keys", "hash", "pause", "resume", "bye"};
constexpr std::string_view relay_words[] = {"room", "peer", "peer", "peer", "keys", "hash", "pause", "resume", "error"};
static_assert(std::size(client_words) == static_cast<std::size_t>(ClientKind::bye) + 1, "every message has its word");
static_assert(std::size(relay_words) == static_cast<std::size_t>(RelayKind::error) + 1, "every message has its word");
constexpr std::string_view peer_events[] = {"joined", "left", "back"};
constexpr auto first_peer_event = static_cast<std::size_t>(RelayKind::peer_joined);

// Longest spellings: a frame below max_frames, 4 hex digits of key bits, 16 of a hash.
constexpr std::size_t max_frame_digits = 7;
constexpr std::size_t max_bits_digits = 4;
constexpr std::size_t max_hash_digits = 16;
static_assert(max_frames <= 10'000'000, "a frame has at most max_frame_digits digits");
static_assert(all_key_bits <= 0xFFFF, "key bits have at most max_bits_digits digits");
// "keys 2 FRAME" and then each pass's bits after a blank.
static_assert(4 + 2 + 1 + max_frame_digits + max_keys_per_message * (1 + max_bits_digits) <= max_message_bytes,
              "the relay's longest keys message fits in one message");

// Appends words to a MessageText.
class Writer {
 public:
  explicit Writer(MessageText& out) : out_(out) {}
  Writer& word(std::string_view text) {
    if (size_ != 0) out_[size_++] = ' ';
    for (const char c : text) out_[size_++] = c;
    return *this;
  }
  Writer& number(std::uint64_t value, int base) {
    if (size_ != 0) out_[size_++] = ' ';
    size_ = static_cast<std::size_t>(std::to_chars(out_.data() + size_, out_.data() + out_.size(), value, base).ptr -
                                     out_.data());
    return *this;
  }
  std::string_view text() const { return {out_.data(), size_}; }

 private:
  MessageText& out_;
  std::size_t size_ = 0;
};

// Takes a message apart word by word; any deviation from the one spelling fails it.
class Reader {
 public:
  explicit Reader(std::string_view text) : rest_(text) {}
  bool failed() const { return failed_; }
  bool done() const { return !failed_ && !more_; }

  std::string_view word() {
    if (failed_ || !more_) return fail();
    const std::size_t blank = rest_.find(' ');
    const std::string_view word = rest_.substr(0, blank);
    if (blank == std::string_view::npos) {
      more_ = false;
    } else {
      rest_.remove_prefix(blank + 1);
    }
    if (word.empty()) return fail();
    for (const char c : word) {
      if (c < 0x21 || c > 0x7E) return fail();
    }
    return word;
  }
  // A number in its shortest spelling (decimal, or lower-case hexadecimal) of at most `digits`
  // digits, up to `highest`.
  std::uint64_t number(int base, std::size_t digits, std::uint64_t highest) {
    const std::string_view text = word();
    std::uint64_t value = 0;
    if (failed_ || text.size() > digits || (text.size() > 1 && text[0] == '0')) return fail_number();
    for (const char c : text) {
      if (!((c >= '0' && c <= '9') || (base == 16 && c >= 'a' && c <= 'f'))) return fail_number();
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size() || value > highest) return fail_number();
    return value;
  }
  std::uint32_t frame() { return static_cast<std::uint32_t>(number(10, max_frame_digits, max_frames - 1)); }
  std::uint16_t bits() { return static_cast<std::uint16_t>(number(16, max_bits_digits, all_key_bits)); }
  std::uint64_t hash() { return number(16, max_hash_digits, UINT64_MAX); }
  RoomCode code() {
    RoomCode code{};
    const std::string_view text = word();
    if (!is_room_code(text)) {
      fail();
    } else {
      text.copy(code.data(), code.size());
    }
    return code;
  }
  Seat seat(bool spectator_allowed) {
    const std::uint64_t seat = number(10, 1, 2);
    if (seat == 0 && !spectator_allowed) fail();
    return static_cast<Seat>(seat);
  }
  // Which of `words` the next word is; failed when none.
  template <std::size_t count>
  std::size_t choice(const std::string_view (&words)[count]) {
    const std::string_view text = word();
    for (std::size_t index = 0; index < count; ++index) {
      if (text == words[index]) return index;
    }
    fail();
    return 0;
  }

 private:
  std::string_view fail() {
    failed_ = true;
    return {};
  }
  std::uint64_t fail_number() {
    failed_ = true;
    return 0;
  }

  std::string_view rest_;
  bool more_ = true;  // words remain
  bool failed_ = false;
};

}  // namespace

std::string_view refusal_text(Refusal refusal) { return refusal_texts[static_cast<std::size_t>(refusal)]; }

std::string_view encode(const ClientMessage& message, MessageText& out) {
  Writer writer(out);
  writer.word(client_words[static_cast<std::size_t>(message.kind)]);
  switch (message.kind) {
    case ClientKind::join:
    case ClientKind::watch: writer.word(code_text(message.code)); break;
    case ClientKind::keys: writer.number(message.frame, 10).number(message.bits, 16); break;
    case ClientKind::hash: writer.number(message.frame, 10).number(message.hash, 16); break;
    case ClientKind::create:
    case ClientKind::pause:
    case ClientKind::resume:
    case ClientKind::bye: break;
  }
  return writer.text();
}

std::string_view encode(const RelayMessage& message, MessageText& out) {
  Writer writer(out);
  writer.word(relay_words[static_cast<std::size_t>(message.kind)]);
  const auto seat = static_cast<std::uint64_t>(message.seat);
  switch (message.kind) {
    case RelayKind::room: writer.word(code_text(message.code)).number(seat, 10).number(message.frame, 10); break;
    case RelayKind::peer_joined:
    case RelayKind::peer_left:
    case RelayKind::peer_back:
      writer.word(peer_events[static_cast<std::size_t>(message.kind) - first_peer_event]);
      break;
    case RelayKind::keys:
      writer.number(seat, 10).number(message.frame, 10);
      for (std::size_t pass = 0; pass < message.key_count; ++pass) writer.number(message.bits[pass], 16);
      break;
    case RelayKind::hash: writer.number(seat, 10).number(message.frame, 10).number(message.hash, 16); break;
    case RelayKind::pause:
    case RelayKind::resume: writer.number(seat, 10); break;
    case RelayKind::error: writer.word(refusal_text(message.refusal)); break;
  }
  return writer.text();
}

std::optional<ClientMessage> decode_client(std::string_view text) {
  if (text.size() > max_message_bytes) return std::nullopt;
  Reader reader(text);
  ClientMessage message;
  message.kind = static_cast<ClientKind>(reader.choice(client_words));
  switch (message.kind) {
    case ClientKind::join:
    case ClientKind::watch: message.code = reader.code(); break;
    case ClientKind::keys:
      message.frame = reader.frame();
      message.bits = reader.bits();
      break;
    case ClientKind::hash:
      message.frame = reader.frame();
      message.hash = reader.hash();
      break;
    case ClientKind::create:
    case ClientKind::pause:
    case ClientKind::resume:
    case ClientKind::bye: break;
  }
  if (!reader.done()) return std::nullopt;
  return message;
}

std::optional<RelayMessage> decode_relay(std::string_view text) {
  if (text.size() > max_message_bytes) return std::nullopt;
  Reader reader(text);
  RelayMessage message;
  message.kind = static_cast<RelayKind>(reader.choice(relay_words));
  switch (message.kind) {
    case RelayKind::room:
      message.code = reader.code();
      message.seat = reader.seat(true);
      message.frame = reader.frame();
      break;
    case RelayKind::peer_joined:
    case RelayKind::peer_left:
    case RelayKind::peer_back:
      message.kind = static_cast<RelayKind>(first_peer_event + reader.choice(peer_events));
      break;
    case RelayKind::keys:
      message.seat = reader.seat(false);
      message.frame = reader.frame();
      do {
        if (message.key_count == max_keys_per_message) return std::nullopt;
        message.bits[message.key_count++] = reader.bits();
      } while (!reader.done() && !reader.failed());
      if (message.frame + message.key_count > max_frames) return std::nullopt;
      break;
    case RelayKind::hash:
      message.seat = reader.seat(false);
      message.frame = reader.frame();
      message.hash = reader.hash();
      break;
    case RelayKind::pause:
    case RelayKind::resume: message.seat = reader.seat(false); break;
    case RelayKind::error: {
      const std::size_t refusal = reader.choice(refusal_texts);
      message.refusal = static_cast<Refusal>(refusal);
      break;
    }
  }
  if (!reader.done()) return std::nullopt;
  return message;
}

}  // namespace net
