#include "body_check.h"

#include "cue_report.h"

namespace {
// The loser of a check lies on the ice and stops striding; the cue names who fell.
void knock_down(const Match& match, const SkaterFields& loser) {
  loser.down_timer = knock_down_frames;
  loser.stride = 0;
  report_cue(match, CueKind::fall, loser.who);
}
}  // namespace

bool skaters_in_contact(const MatchState& match) {
  return skaters_in_contact(match.player_x, match.player_y, match.cpu_x, match.cpu_y);
}

void settle_check(const Match& match, const SkaterFields& checker, const SkaterFields& carrier) {
  if (checker_faster(checker.dx, checker.dy, carrier.dx, carrier.dy)) {
    carrier.has_puck = false;
    checker.has_puck = true;
    carrier.windup = 0;
    knock_down(match, carrier);
  } else {
    knock_down(match, checker);
  }
}
