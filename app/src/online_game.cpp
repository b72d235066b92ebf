#include "app/online_game.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <thread>
#include <utility>

#include "online_side.h"
#include "pass_history.h"
#include "app/rollback.h"
#include "display/startup.h"
#include "platform/key_script.h"
#include "platform/overlay.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/window_events.h"

namespace {

using Clock = std::chrono::steady_clock;

// Player one's keys on this keyboard, and the player two's keys they stand for on the joiner's
// side: each player plays with the keys of a one-player game.
constexpr std::array<std::pair<int, int>, 6> player_two_keys{{{VK_LEFT, VK_P2_LEFT},
                                                              {VK_RIGHT, VK_P2_RIGHT},
                                                              {VK_UP, VK_P2_UP},
                                                              {VK_DOWN, VK_P2_DOWN},
                                                              {VK_SPACE, VK_P2_SHOOT},
                                                              {VK_RETURN, VK_P2_CHECK}}};

// This side's player's keys from what this keyboard holds: Escape stays on this machine.
platform::KeySet own_keys(int seat, const PassKeys& held) {
  platform::KeySet own;
  for (const int vk : {VK_D, VK_N}) {
    if (held.held(vk)) own.insert(vk);
  }
  for (const auto& [ones, twos] : player_two_keys) {
    if (held.held(ones) || held.held(twos)) own.insert(seat == 1 ? ones : twos);
  }
  return own;
}

// This side's player's keys in a line of a two-player script: player one's for the one who made
// the room, the P2 keys for the one who joined it, D and N for either.
platform::KeySet scripted_keys(int seat, const platform::KeySet& line) {
  platform::KeySet own;
  for (const int vk : {VK_D, VK_N}) {
    if (line.count(vk) != 0) own.insert(vk);
  }
  for (const auto& [ones, twos] : player_two_keys) {
    const int vk = seat == 1 ? ones : twos;
    if (line.count(vk) != 0) own.insert(vk);
  }
  return own;
}

const char* other_player(int seat) { return seat == 1 ? "Player two" : "Player one"; }

// The digests of the last confirmed passes, by pass, on one side.
class Digests {
 public:
  void put(std::uint32_t frame, std::uint64_t hash) { slots_[frame % slots_.size()] = {frame, hash}; }
  std::optional<std::uint64_t> of(std::uint32_t frame) const {
    const Slot& slot = slots_[frame % slots_.size()];
    return slot.frame == frame ? std::optional(slot.hash) : std::nullopt;
  }

 private:
  struct Slot {
    std::uint32_t frame = UINT32_MAX;
    std::uint64_t hash = 0;
  };
  std::array<Slot, 64> slots_{};
};

}  // namespace

// One online match in progress: the loop's state between its passes.
class OnlineGame::Play final : public Side, private platform::PauseListener {
 public:
  Play(OnlineGame& game, Match& match, LoopObserver* observer)
      : Side(game, match, observer), rollback_(match, game.seat_, *match.canvas.display),
        peer_here_(game.role_ == OnlineRole::join),
        coming_back_(game.kept_passes_ > 0),
        waiting_for_friend_("Room " + game.code_ + " \u00B7 waiting for a friend to join"),
        other_paused_(std::string(other_player(game.seat_)) + " paused the game"),
        other_left_(std::string(other_player(game.seat_)) + " left the match"),
        waiting_for_return_(other_left_ + " \u00B7 waiting for them to come back") {
    platform::listen_for_pause(this);
  }
  ~Play() override { platform::listen_for_pause(nullptr); }

  // One pass: a window message, what came from the relay, then a step when the other player is
  // here and not too far behind; the game's pace after it.
  LoopRest pass() override {
    if (leaving_) return leave_pass();
    if (const std::optional<int> quit = take_window_message()) return leave(*quit);
    if (const auto why = take_messages()) return end(*why);
    if (coming_back_ && !come_back()) {
      tell("Catching up with the match\u2026");
      return pace();
    }
    // A side that plays a script leaves when the script has ended.
    if (game_.script_ != nullptr && game_.script_->ended()) return leave(0);
    if (may_step()) {
      tell("");
      if (const auto why = step_once()) return end(*why);
    } else if (!peer_here_) {
      tell(other_gone_ ? waiting_for_return_.c_str() : waiting_for_friend_.c_str());
    } else {
      tell(paused_by_other_ ? other_paused_.c_str() : "Waiting for the other player\u2026");
    }
    return pace();
  }

 private:
  // The passes confirmed so far go into the recording before the match ends.
  LoopRest end(const std::string& why) {
    confirm();
    return Side::end(why);
  }

  // This side leaves: before it says so, the other player's keys for every pass stepped here
  // come in (for a while at most), so that both recordings end with the same pass.
  LoopRest leave(int exit_code) {
    leaving_ = Clock::now() + std::chrono::seconds(2);
    exit_code_ = exit_code;
    return leave_pass();
  }

  LoopRest leave_pass() {
    if (peer_here_ && rollback_.confirmed() < rollback_.next_frame() && Clock::now() < *leaving_ &&
        !take_messages()) {
      return {LoopRest::Kind::pace, 5};
    }
    confirm();
    link().send({net::ClientKind::bye});
    return {LoopRest::Kind::quit, exit_code_};
  }

  // What came from the relay; an explanation when the match cannot go on.
  std::optional<std::string> take_messages() {
    while (const std::optional<net::RelayMessage> message = link().take()) {
      switch (message->kind) {
        case net::RelayKind::peer_joined:
        case net::RelayKind::peer_back: peer_here_ = true; break;
        case net::RelayKind::peer_left:
          // The room keeps the seat a while for the other player to come back.
          peer_here_ = false;
          other_gone_ = true;
          break;
        case net::RelayKind::keys:
          if (coming_back_) {
            if (!history_.take(*message)) return "the relay sent passes out of order";
            break;
          }
          for (std::size_t i = 0; i < message->key_count; ++i) {
            if (!rollback_.receive(message->frame + static_cast<std::uint32_t>(i),
                                   platform::KeySet::from_bits(message->bits[i]))) {
              return "the other game sent passes out of order";
            }
          }
          break;
        case net::RelayKind::hash:
          theirs_.put(message->frame, message->hash);
          if (const auto why = compare(message->frame)) return why;
          break;
        case net::RelayKind::error:
          if (other_gone_ && message->refusal == net::Refusal::room_closed) return other_left_;
          return "the relay ended the match: " + std::string(net::refusal_text(message->refusal));
        case net::RelayKind::pause:
        case net::RelayKind::resume: paused_by_other_ = message->kind == net::RelayKind::pause; break;
        case net::RelayKind::room: break;
      }
    }
    if (link().state() == net::RelayLink::State::closed) {
      return "the connection to the relay was lost: " + link().why_closed();
    }
    return std::nullopt;
  }

  // One pass of this side: the keys of this keyboard, the step, the keys and digests sent.
  std::optional<std::string> step_once() {
    const PassKeys held = held_keys();
    if (held.held(VK_ESCAPE)) platform::send_message(match_.canvas.display->window, platform::wm_close, 0, 0);
    platform::show_cursor(false);
    const std::uint32_t frame = rollback_.next_frame();
    platform::KeySet line;
    const platform::KeySet own = game_.script_ != nullptr && game_.script_->next_line(platform::KeySource::For::pass, line)
                                     ? scripted_keys(game_.seat_, line)
                                     : own_keys(game_.seat_, held);
    const PassEnd end = rollback_.step_local(own);
    net::ClientMessage keys{net::ClientKind::keys};
    keys.frame = frame;
    keys.bits = static_cast<std::uint16_t>(own.bits());
    link().send(keys);
    show_asked_message(match_.canvas);
    if (end != PassEnd::waiting && observer_ != nullptr) observer_->after_frame(end == PassEnd::frame_done ? 1 : 0);
    game_.rollbacks_ = rollback_.rollbacks();
    game_.passes_stepped_again_ = rollback_.passes_stepped_again();
    game_.passes_ = rollback_.next_frame();
    return confirm();
  }

  // Every pass confirmed since the last: into the recording, its digest to the other side.
  std::optional<std::string> confirm() {
    for (ConfirmedPass pass; rollback_.take_confirmed(pass);) {
      record(pass.keys);
      ours_.put(pass.frame, pass.hash);
      net::ClientMessage digest{net::ClientKind::hash};
      digest.frame = pass.frame;
      digest.hash = pass.hash;
      link().send(digest);
      if (const auto why = compare(pass.frame)) return why;
    }
    return std::nullopt;
  }

  // A player who comes back steps the match again, unheard and unshown, up to where it left (its
  // own keys and the other's, from the relay) and goes on from there; false while keys are missing.
  bool come_back() {
    const std::uint32_t left_at = game_.kept_passes_;
    const int other = 3 - game_.seat_;
    if (history_.passes(game_.seat_) < left_at || history_.passes(other) < left_at) return false;
    catch_up(history_, 0, left_at);
    rollback_.go_on_from(left_at, history_.keys(other, left_at - 1));
    for (std::uint32_t frame = left_at; frame < history_.passes(other); ++frame) {
      rollback_.receive(frame, history_.keys(other, frame));
    }
    coming_back_ = false;
    return true;
  }

  bool may_step() const { return peer_here_ && !paused_by_other_ && rollback_.may_step(); }

  // While this side stands still (its player's pause, a window without the focus), the other
  // stands still too.
  void on_pause(bool standing_still) override {
    link().send({standing_still ? net::ClientKind::pause : net::ClientKind::resume});
  }

  std::optional<std::string> compare(std::uint32_t frame) const {
    const std::optional<std::uint64_t> mine = ours_.of(frame), other = theirs_.of(frame);
    if (!mine || !other || *mine == *other) return std::nullopt;
    char why[160];
    std::snprintf(why, sizeof why, "the two games went apart at pass %" PRIu32 "; both recordings are kept", frame);
    return std::string(why);
  }

  RollbackMatch rollback_;
  bool peer_here_;
  Digests ours_;
  Digests theirs_;
  bool coming_back_;
  bool other_gone_ = false;  // the other player left; the room keeps its seat a while
  PassHistory history_;      // a player who comes back: the passes played before it left
  const std::string waiting_for_friend_;
  const std::string other_paused_;
  const std::string other_left_;
  const std::string waiting_for_return_;
  bool paused_by_other_ = false;
  std::optional<Clock::time_point> leaving_;  // when this side stops waiting for the other's keys
  int exit_code_ = 0;
};

std::optional<int> OnlineGame::Side::take_window_message() {
  platform::Message message;
  if (!platform::peek_message(&message, nullptr, 0, 0, platform::pm_remove)) return std::nullopt;
  if (message.message == platform::wm_quit) return static_cast<int>(message.wparam);
  platform::translate_message(&message);
  platform::dispatch_message(&message);
  return std::nullopt;
}

void OnlineGame::Side::tell(const char* text) {
  if (game_.overlay_ == nullptr || told_ == text) return;
  told_ = text;
  game_.overlay_->set_banner(text);
  present_frame(match_.canvas);
}

LoopRest OnlineGame::Side::pace() {
  next_pass_ = std::max(next_pass_ + std::chrono::milliseconds(frame_pause_ms), Clock::now());
  const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(next_pass_ - Clock::now());
  return {LoopRest::Kind::pace, static_cast<int>(rest.count())};
}

void OnlineGame::Side::record(const platform::KeySet& keys) {
  if (game_.recording_ == nullptr || game_.recording_failed_) return;
  platform::KeyLineBuffer line;
  if (game_.recording_->write(line, platform::key_line_into(line, [&](int vk) { return keys.count(vk) != 0; }))) {
    return;
  }
  game_.recording_failed_ = true;
  std::fprintf(stderr, "rink: cannot write the recording '%s': %s\n", game_.recording_name_,
               game_.recording_->error().c_str());
}

std::uint32_t OnlineGame::Side::catch_up(const PassHistory& history, std::uint32_t from, std::uint32_t to) {
  const UnseenPasses unseen(match_);
  for (; from < to; ++from) {
    record(joined_keys(history.keys_of(from)));
    step(match_, history.keys_of(from));
  }
  return to;
}

LoopRest OnlineGame::Side::end(const std::string& why) {
  show_message(*match_.canvas.display, why.c_str(), "online play");
  link().send({net::ClientKind::bye});
  return {LoopRest::Kind::quit, 0};
}

OnlineGame::OnlineGame(std::unique_ptr<net::RelayLink> link, OnlineRole role, const std::string& room)
    : link_(std::move(link)), role_(role) {
  constexpr net::ClientKind hellos[] = {net::ClientKind::create, net::ClientKind::join, net::ClientKind::watch};
  net::ClientMessage hello{hellos[static_cast<int>(role)]};
  if (role != OnlineRole::create) std::copy_n(room.begin(), std::min(room.size(), hello.code.size()), hello.code.begin());
  link_->send(hello);
}

OnlineGame::~OnlineGame() = default;

OnlineGame::Seat OnlineGame::take_seat() {
  if (seated_) return Seat::given;
  if (!why_.empty()) return Seat::refused;
  while (const std::optional<net::RelayMessage> message = link_->take()) {
    if (message->kind == net::RelayKind::room) {
      code_ = std::string(net::code_text(message->code));
      seat_ = static_cast<int>(message->seat);
      kept_passes_ = message->frame;
      seated_ = (role_ == OnlineRole::watch) == (message->seat == net::Seat::spectator);
      if (seated_) return Seat::given;
      why_ = "the relay gave the wrong seat";
      return Seat::refused;
    }
    if (message->kind == net::RelayKind::error) {
      why_ = "the relay refused: " + std::string(net::refusal_text(message->refusal));
      return Seat::refused;
    }
  }
  if (link_->state() == net::RelayLink::State::closed) {
    why_ = link_->why_closed();
    return Seat::refused;
  }
  return Seat::awaited;
}

bool OnlineGame::wait_for_seat(int seconds) {
  const Clock::time_point until = Clock::now() + std::chrono::seconds(seconds);
  for (Seat seat = take_seat(); seat != Seat::refused; seat = take_seat()) {
    if (seat == Seat::given) return true;
    if (Clock::now() >= until) {
      why_ = "the relay did not answer within " + std::to_string(seconds) + " seconds";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void OnlineGame::record_into(platform::RecordingFile* file, const char* name) {
  recording_ = file;
  recording_name_ = name;
}

LoopRest OnlineGame::pass(Match& match, LoopObserver* observer) {
  if (!play_) {
    switch (take_seat()) {
      case Seat::awaited:
        if (overlay_ != nullptr) {
          overlay_->set_banner("Connecting to the relay\u2026");
          present_frame(match.canvas);
        }
        return {LoopRest::Kind::pace, frame_pause_ms};
      case Seat::refused:
        show_message(*match.canvas.display, why_.c_str(), "online play");
        return {LoopRest::Kind::quit, 1};
      case Seat::given: break;
    }
    if (recording_ != nullptr && !recording_->commit()) {
      recording_failed_ = true;
      std::fprintf(stderr, "rink: cannot write the recording '%s': %s\n", recording_name_, recording_->error().c_str());
    }
    if (role_ == OnlineRole::watch) {
      play_ = watch_side(match, observer);
    } else {
      play_ = std::make_unique<Play>(*this, match, observer);
    }
  }
  return play_->pass();
}
