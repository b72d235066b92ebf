// A spectator's side of an online match: both players' keys as the relay passes them on, stepped
// at the game's pace a few passes behind the players. A spectator who comes late gets the match
// from its first pass and catches up unheard and unshown.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "online_side.h"
#include "app/rollback.h"
#include "display/display_ops.h"

namespace {

// Further behind than the players may run ahead of each other, a spectator catches up: all but
// the last pass at once, at most `most_caught_up_at_once` in a pass of the loop so that the
// window keeps answering.
constexpr std::uint32_t catch_up_beyond = RollbackMatch::max_ahead;
constexpr std::uint32_t most_caught_up_at_once = 100;
// Room for the keys of an hour of play, had before the first pass.
constexpr std::size_t reserved_passes = 36000;

}  // namespace

class OnlineGame::Watch final : public Side {
 public:
  Watch(OnlineGame& game, Match& match, LoopObserver* observer)
      : Side(game, match, observer), waiting_("Room " + game.code_ + " \u00B7 waiting for the players") {
    for (std::vector<std::uint16_t>& seat : keys_) seat.reserve(reserved_passes);
  }

  LoopRest pass() override {
    if (const std::optional<int> quit = take_window_message()) {
      link().send({net::ClientKind::bye});
      return {LoopRest::Kind::quit, *quit};
    }
    if (const auto why = take_messages()) return end(*why);
    const auto ready = static_cast<std::uint32_t>(std::min(keys_[0].size(), keys_[1].size()));
    if (ready - next_ > catch_up_beyond) catch_up(std::min(ready - next_ - 1, most_caught_up_at_once));
    if (ready > next_) {
      tell("");
      step_shown();
    } else if (next_ == 0) {
      tell(waiting_.c_str());
    }
    return pace();
  }

 private:
  PassKeys keys_of(std::uint32_t frame) const {
    return {platform::KeySet::from_bits(keys_[0][frame]), platform::KeySet::from_bits(keys_[1][frame])};
  }

  void step_shown() {
    record(joined_keys(keys_of(next_)));
    const PassEnd end = step(match_, keys_of(next_++));
    if (end != PassEnd::waiting) show_asked_message(match_.canvas);
    if (end != PassEnd::waiting && observer_ != nullptr) observer_->after_frame(end == PassEnd::frame_done ? 1 : 0);
  }

  void catch_up(std::uint32_t passes) {
    const UnseenPasses unseen(match_);
    for (; passes > 0; --passes) {
      record(joined_keys(keys_of(next_)));
      step(match_, keys_of(next_++));
    }
  }

  // What came from the relay; an explanation when the match cannot be watched any longer.
  std::optional<std::string> take_messages() {
    while (const std::optional<net::RelayMessage> message = link().take()) {
      if (message->kind == net::RelayKind::error) {
        return "the relay ended the match: " + std::string(net::refusal_text(message->refusal));
      }
      if (message->kind != net::RelayKind::keys) continue;
      if (message->seat == net::Seat::spectator) return "the relay sent keys of no player";
      std::vector<std::uint16_t>& seat = keys_[static_cast<std::size_t>(message->seat) - 1];
      if (message->frame != seat.size()) return "the relay sent passes out of order";
      seat.insert(seat.end(), message->bits.begin(),
                  message->bits.begin() + static_cast<std::ptrdiff_t>(message->key_count));
    }
    if (link().state() == net::RelayLink::State::closed) {
      return "the connection to the relay was lost: " + link().why_closed();
    }
    return std::nullopt;
  }

  const std::string waiting_;
  std::array<std::vector<std::uint16_t>, 2> keys_;  // each player's keys, by pass
  std::uint32_t next_ = 0;                          // the next pass to step
};

std::unique_ptr<OnlineGame::Side> OnlineGame::watch_side(Match& match, LoopObserver* observer) {
  return std::make_unique<Watch>(*this, match, observer);
}
