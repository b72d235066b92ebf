#pragma once
// One match played on two machines: each side steps the same match with both players' keys.
// This side's player's keys act in the very next pass; the other player's are predicted (as last
// received) and, when they arrive different, the match goes back to its copy from before the
// first pass that was wrong and is stepped again to now. Both sides number the passes alike,
// waiting passes included, so that a pass is known by its number on both.

#include <array>
#include <cstdint>

#include "display/startup.h"
#include "sim/match.h"

// A pass whose keys both sides know: both players' keys in one line (the line the shared
// recording holds) and the digest of the match after it, which both sides compare.
struct ConfirmedPass {
  std::uint32_t frame = 0;
  platform::KeySet keys;
  std::uint64_t hash = 0;
};

// While it lives, the match's passes are neither heard nor shown (passes stepped again, or a
// spectator catching up), until show_from_here().
class UnseenPasses {
 public:
  explicit UnseenPasses(Match& match);
  ~UnseenPasses();
  UnseenPasses(const UnseenPasses&) = delete;
  UnseenPasses& operator=(const UnseenPasses&) = delete;
  // The passes from here on are presented (still unheard): the last leaves the picture seen next.
  void show_from_here() { match_.canvas.screen = screen_; }

 private:
  Match& match_;
  CueObserver* cues_;
  DrawObserver* observer_;
  platform::Surface* screen_;
};

// How a pass is stepped: the game's rules (step), unless a test plays a side by others.
using StepRule = PassEnd (*)(Match& match, const PassKeys& keys);

class RollbackMatch {
 public:
  // The most passes this side steps beyond the last one whose keys it has from both players.
  static constexpr std::uint32_t max_ahead = 8;

  // Plays SEAT (1: player one, 2: player two) on `shown`, the match that is presented and heard;
  // the copies it goes back to draw on canvases of their own, made on `display`.
  RollbackMatch(Match& shown, int seat, const DisplayContext& display, StepRule rule = step);
  ~RollbackMatch();
  RollbackMatch(const RollbackMatch&) = delete;
  RollbackMatch& operator=(const RollbackMatch&) = delete;

  // Goes on from FRAME, the match having been stepped to it already with both players' keys,
  // the other player's last being LAST_REMOTE: a player who comes back. Before the first step only.
  void go_on_from(std::uint32_t frame, const platform::KeySet& last_remote);
  // Whether the next pass may be stepped: false while it would run too far ahead of the other player.
  bool may_step() const { return next_ - confirmed_ < max_ahead; }
  // Steps the next pass with this side's player's keys (player two's own keys for seat 2).
  PassEnd step_local(const platform::KeySet& keys);
  // The other player's keys for pass FRAME, which must be the next one it has not sent; a
  // prediction they prove wrong is put right at once. False for any other frame.
  bool receive(std::uint32_t frame, const platform::KeySet& keys);
  // The next pass confirmed since the last call, oldest first; false when there is none.
  bool take_confirmed(ConfirmedPass& pass);

  std::uint32_t next_frame() const { return next_; }
  std::uint32_t confirmed() const { return confirmed_; }
  int rollbacks() const { return rollbacks_; }
  long passes_stepped_again() const { return passes_stepped_again_; }

 private:
  static constexpr std::uint32_t kept = max_ahead + 1;  // copies: from the last confirmed pass to now
  static constexpr std::uint32_t ring = 32;             // keys: beyond both sides' reach

  const platform::KeySet& remote_keys(std::uint32_t frame) const;
  PassKeys keys_of(std::uint32_t frame) const;
  void save_before(std::uint32_t frame);
  void step_again_from(std::uint32_t frame);
  void confirm_up_to(std::uint32_t frame);

  Match& shown_;
  int seat_;
  StepRule rule_;
  std::array<Match, kept> copies_;  // copies_[f % kept]: the match before pass f
  std::array<platform::KeySet, ring> local_{};
  std::array<platform::KeySet, ring> remote_{};     // received, for frames below remote_next_
  std::array<platform::KeySet, ring> predicted_{};  // what stood for the remote keys when stepped
  std::array<ConfirmedPass, ring> confirmed_passes_{};
  platform::KeySet last_remote_;
  std::uint32_t next_ = 0;         // the next pass to step
  std::uint32_t remote_next_ = 0;  // the next pass whose remote keys are awaited
  std::uint32_t confirmed_ = 0;    // passes below this have both players' keys and were stepped so
  std::uint32_t taken_ = 0;        // confirmed passes handed out
  int rollbacks_ = 0;
  long passes_stepped_again_ = 0;
};
