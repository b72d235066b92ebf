// A spectator's side of an online match: both players' keys as the relay passes them on, stepped
// at the game's pace a few passes behind the players. A spectator who comes late gets the match
// from its first pass and catches up unheard and unshown.

#include <algorithm>
#include <cstdint>

#include "online_side.h"
#include "pass_history.h"
#include "app/rollback.h"
#include "display/display_ops.h"

namespace {

// Further behind than the players may run ahead of each other, a spectator catches up: all but
// the last pass at once, at most `most_caught_up_at_once` in a pass of the loop so that the
// window keeps answering.
constexpr std::uint32_t catch_up_beyond = RollbackMatch::max_ahead;
constexpr std::uint32_t most_caught_up_at_once = 100;

}  // namespace

class OnlineGame::Watch final : public Side {
 public:
  Watch(OnlineGame& game, Match& match, LoopObserver* observer)
      : Side(game, match, observer), waiting_("Room " + game.code_ + " \u00B7 waiting for the players") {}

  LoopRest pass() override {
    if (const std::optional<int> quit = take_window_message()) {
      link().send({net::ClientKind::bye});
      return {LoopRest::Kind::quit, *quit};
    }
    if (const auto why = take_messages()) return end(*why);
    const std::uint32_t ready = history_.both();
    if (ready - next_ > catch_up_beyond) {
      next_ = catch_up(history_, next_, next_ + std::min(ready - next_ - 1, most_caught_up_at_once));
    }
    if (ready > next_) {
      tell("");
      step_shown();
    } else if (next_ == 0) {
      tell(waiting_.c_str());
    }
    return pace();
  }

 private:
  void step_shown() {
    record(joined_keys(history_.keys_of(next_)));
    const PassEnd end = step(match_, history_.keys_of(next_++));
    if (end != PassEnd::waiting) show_asked_message(match_.canvas);
    if (end != PassEnd::waiting && observer_ != nullptr) observer_->after_frame(end == PassEnd::frame_done ? 1 : 0);
  }

  // What came from the relay; an explanation when the match cannot be watched any longer.
  std::optional<std::string> take_messages() {
    while (const std::optional<net::RelayMessage> message = link().take()) {
      if (message->kind == net::RelayKind::error) {
        return "the relay ended the match: " + std::string(net::refusal_text(message->refusal));
      }
      if (message->kind == net::RelayKind::keys && !history_.take(*message)) return "the relay sent passes out of order";
    }
    if (link().state() == net::RelayLink::State::closed) {
      return "the connection to the relay was lost: " + link().why_closed();
    }
    return std::nullopt;
  }

  const std::string waiting_;
  PassHistory history_;
  std::uint32_t next_ = 0;  // the next pass to step
};

std::unique_ptr<OnlineGame::Side> OnlineGame::watch_side(Match& match, LoopObserver* observer) {
  return std::make_unique<Watch>(*this, match, observer);
}
