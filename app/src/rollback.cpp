#include "app/rollback.h"

#include <algorithm>
#include <utility>

UnseenPasses::UnseenPasses(Match& match)
    : match_(match),
      cues_(std::exchange(match.cues, nullptr)),
      observer_(std::exchange(match.canvas.observer, nullptr)),
      screen_(std::exchange(match.canvas.screen, nullptr)) {}

UnseenPasses::~UnseenPasses() {
  match_.canvas.screen = screen_;
  match_.canvas.observer = observer_;
  match_.cues = cues_;
}

RollbackMatch::RollbackMatch(Match& shown, int seat, const DisplayContext& display, StepRule rule)
    : shown_(shown), seat_(seat), rule_(rule) {
  for (Match& copy : copies_) copy.canvas = spare_canvas(display);
}

RollbackMatch::~RollbackMatch() {
  for (Match& copy : copies_) release_spare(copy.canvas);
}

void RollbackMatch::go_on_from(std::uint32_t frame, const platform::KeySet& last_remote) {
  next_ = remote_next_ = confirmed_ = taken_ = frame;
  last_remote_ = last_remote;
}

// The other player's keys as received, or as predicted: the last received.
const platform::KeySet& RollbackMatch::remote_keys(std::uint32_t frame) const {
  return frame < remote_next_ ? remote_[frame % ring] : last_remote_;
}

PassKeys RollbackMatch::keys_of(std::uint32_t frame) const {
  const platform::KeySet& local = local_[frame % ring];
  return seat_ == 1 ? PassKeys{local, remote_keys(frame)} : PassKeys{remote_keys(frame), local};
}

// Keeps the match as it stands before FRAME is stepped, and the other player's keys it is stepped with.
void RollbackMatch::save_before(std::uint32_t frame) {
  restore(copies_[frame % kept], shown_);
  predicted_[frame % ring] = remote_keys(frame);
}

PassEnd RollbackMatch::step_local(const platform::KeySet& keys) {
  const std::uint32_t frame = next_++;
  local_[frame % ring] = keys;
  save_before(frame);
  const PassEnd end = rule_(shown_, keys_of(frame));
  confirm_up_to(std::min(next_, remote_next_));
  return end;
}

bool RollbackMatch::receive(std::uint32_t frame, const platform::KeySet& keys) {
  if (frame != remote_next_ || frame >= confirmed_ + ring) return false;
  remote_[frame % ring] = keys;
  last_remote_ = keys;
  ++remote_next_;
  if (frame < next_ && predicted_[frame % ring] != keys) step_again_from(frame);
  confirm_up_to(std::min(next_, remote_next_));
  return true;
}

// Back to the copy from before FRAME, then every pass again to now with what is known now. The
// passes stepped again are neither heard nor shown, but for the last one: the picture it leaves
// is what the player sees next.
void RollbackMatch::step_again_from(std::uint32_t frame) {
  ++rollbacks_;
  restore(shown_, copies_[frame % kept]);
  UnseenPasses unseen(shown_);
  predicted_[frame % ring] = remote_keys(frame);
  for (std::uint32_t pass = frame; pass < next_; ++pass) {
    if (pass != frame) save_before(pass);
    if (pass + 1 == next_) unseen.show_from_here();
    rule_(shown_, keys_of(pass));
    ++passes_stepped_again_;
  }
}

// A pass is confirmed once both players' keys for it are in; the match after it is then the
// copy kept before the next pass, or the shown match itself for the last pass stepped.
void RollbackMatch::confirm_up_to(std::uint32_t frame) {
  for (; confirmed_ < frame; ++confirmed_) {
    const std::uint32_t after = confirmed_ + 1;
    const Match& state = after == next_ ? shown_ : copies_[after % kept];
    confirmed_passes_[confirmed_ % ring] = {confirmed_, joined_keys(keys_of(confirmed_)), play_hash(state)};
  }
}

bool RollbackMatch::take_confirmed(ConfirmedPass& pass) {
  if (taken_ == confirmed_) return false;
  pass = confirmed_passes_[taken_++ % ring];
  return true;
}
