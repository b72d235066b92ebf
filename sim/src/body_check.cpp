#include "body_check.h"

#include "cue_report.h"
#include "sim/match_state.h"

namespace {
constexpr std::int32_t contact_distance = 43;

std::int64_t squared_length(std::int64_t dx, std::int64_t dy) { return dx * dx + dy * dy; }

// Comparing squared lengths gives the same order as comparing the lengths.
bool checker_faster(const SkaterFields& checker, const SkaterFields& carrier) {
  return squared_length(checker.dx, checker.dy) > squared_length(carrier.dx, carrier.dy);
}

// The loser of a check lies on the ice and stops striding; the cue names who fell.
void knock_down(const SkaterFields& loser) {
  loser.down_timer = knock_down_frames;
  loser.stride = 0;
  report_cue(CueKind::fall, loser.who);
}
}  // namespace

bool skaters_in_contact() {
  return match.player_x < match.cpu_x + contact_distance && match.player_x + contact_distance > match.cpu_x &&
         match.player_y + contact_distance > match.cpu_y && match.player_y < match.cpu_y + contact_distance;
}

void settle_check(const SkaterFields& checker, const SkaterFields& carrier) {
  if (checker_faster(checker, carrier)) {
    carrier.has_puck = false;
    checker.has_puck = true;
    carrier.windup = 0;
    knock_down(carrier);
  } else {
    knock_down(checker);
  }
}
